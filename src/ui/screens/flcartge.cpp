#include "ui/screens/flcartge.h"

#include "battery/ascolto.h"
#include "battery/geography/cartgecontent.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/rowpane.h"

#include <QFont>
#include <QPixmap>
#include <cmath>

namespace qv::ui {

namespace {
constexpr unsigned kGrigio = 0xE0E0E0;
constexpr unsigned kRosso = 0x0000FF;

// Right-hand column: Frame2 from x 626, 382 wide.
constexpr int kFrame2X = 626, kFrame2W = 382, kFrame2H = 644;
// The map's picture: 605 × 700 at (10, 10); "Ascolta" on its south-west corner.
constexpr int kMapW = 605, kMapH = 700;
const QRect kAscolta(16, 656, 150, 48);
// At larger text the map is drawn at this share of its size, so that the column beside it
// is wider and reaches the bottom; the two buttons go under the map.
constexpr double kMappaPiccola = 0.8;

// Where the right-hand column and what it holds lie.
struct Column {
    int x, w, h;    // Frame2
    int numberW;    // the red number
    int questionW;  // the "?" after it
    int inner() const { return w - 12; }
    int answerX() const { return 6 + numberW + 2 + questionW + 4; }
    int answerW() const { return w - answerX() - 6; }
};
constexpr Column kColonna{kFrame2X, kFrame2W, kFrame2H, 64, 32};

QLabel *answerLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(sans(15, true));
    l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    l->setIndent(8);
    l->setStyleSheet(QStringLiteral("QLabel { background: #ffffff; border: 1px solid #7a7a7a; color: #10305a; }"));
    return l;
}

QListWidget *list(QWidget *parent, const char *name)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(sans(14));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setUniformItemSizes(true);
    l->setStyleSheet(QStringLiteral("QListWidget { background: #fffef8; }"
                                    "QListWidget::item { padding: 1px 4px; }"
                                    "QListWidget::item:selected { background: #2f6db5; color: white; }")
                    + scrollBarSheet());
    return l;
}

void fill(QListWidget *w, const QStringList &entries)
{
    QStringList now;
    for (int i = 0; i < w->count(); ++i)
        now << w->item(i)->text();
    if (now == entries)
        return;
    w->clear();
    w->addItems(entries);
    w->scrollToTop();
}

void select(QListWidget *w, int index)
{
    if (index < 0 || index >= w->count()) {
        w->clearSelection();
        w->setCurrentRow(-1);
    } else {
        w->setCurrentRow(index);
    }
}
} // namespace

FLcartge::FLcartge(Application &app) : ScreenBase(app, QStringLiteral("GEOGRAFIA  (carte)  ")), model_(app.session())
{
    setBackColor(this, vbColor(kGrigio));

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    Image1 = new QLabel(Frame1);
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setWordWrap(true);
    Image1->setFont(sans(14));

    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setFrameShape(QFrame::Box);

    Label4 = new QLabel(QStringLiteral("Devi abbinare i NOMI ai NUMERI.  Guarda in basso il numero rosso, cerca quel numero "
                                       "sulla carta, e clicca sul nome collegato nell'elenco. Per continuare. clicca su "
                                       "Elementi seguenti."),
                        Frame2);
    Label4->setObjectName("Label4");
    Label4->setWordWrap(true);
    Label4->setFont(sans(13));
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Labnumero = new QLabel(Frame2);
    Labnumero->setObjectName("Labnumero");
    Labnumero->setFont(sans(34, true));
    Labnumero->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextColor(Labnumero, vbColor(kRosso));
    Label3 = new QLabel(QStringLiteral("?"), Frame2);
    Label3->setObjectName("Label3");
    Label3->setFont(sans(34, true));
    setTextColor(Label3, vbColor(kRosso));

    Label1 = answerLabel(Frame2, "Label1");
    Label2 = answerLabel(Frame2, "Label2");

    headRegioni_ = new QLabel(QStringLiteral("Regioni"), Frame2);
    headRegioni_->setFont(sans(13, true));
    headCapoluoghi_ = new QLabel(QStringLiteral("Capoluoghi"), Frame2);
    headCapoluoghi_->setFont(sans(13, true));

    List2 = list(Frame2, "List2");
    List1 = list(Frame2, "List1");

    cmdelemseg = new QPushButton(QStringLiteral("Elemento seguente"), this);
    cmdelemseg->setObjectName("cmdelemseg");
    cmdelemseg->setFont(sans(16, true));

    Frame3 = new QFrame(this);
    Frame3->setObjectName("Frame3");
    Frame3->setFrameShape(QFrame::Box);
    cmdesco = new QPushButton(QStringLiteral("Esco"), Frame3);
    cmdesco->setObjectName("cmdesco");
    cmdesco->setFont(sans(16, true));

    Labascolta = listenButton(QStringLiteral("Labascolta"), QStringLiteral("Ascolta"), kAscolta,
                              [this] { return ascolto::luogo(model_); });
    arrange(false);
    // Larger text asks for the other arrangement.
    connect(&app, &Application::presentationChanged, this, [this] { arrange(model_.political()); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(300);

    List1->setAccessibleName(QStringLiteral("Capoluoghi"));
    onRowChosen(List2, [this](QListWidgetItem *item) { List2_Click(item); });
    onRowChosen(List1, [this](QListWidgetItem *item) { List1_Click(item); });
    setTabChain({Labascolta, List2, List1, cmdelemseg, cmdesco});

    connect(List2, &QListWidget::itemClicked, this, &FLcartge::List2_Click);
    connect(List1, &QListWidget::itemClicked, this, &FLcartge::List1_Click);
    connect(cmdelemseg, &QPushButton::clicked, this, &FLcartge::cmdelemseg_Click);
    connect(cmdesco, &QPushButton::clicked, this, &FLcartge::cmdesco_Click);
    connect(Timer1, &QTimer::timeout, this, &FLcartge::Timer1_Timer);
}

void FLcartge::activate()
{
    move(0, 0);
    loadBackground();
    model_.load();
    shownMap_.clear();
    redraw();
    Timer1->start();
}

void FLcartge::prepare()
{
    QPixmap political;
    loadPicture(session().dataFile(mappaPolitica()), &political); // kept in the picture cache
    showMap(mappaFisica());
}

// The instruction's height is measured at the display's size.
void FLcartge::resizeEvent(QResizeEvent *e)
{
    ScreenBase::resizeEvent(e);
    arrange(model_.political());
}

void FLcartge::hideEvent(QHideEvent *e)
{
    Timer1->stop();
    ScreenBase::hideEvent(e);
}

// The map with "Ascolta" on its corner, the column beside it and the two buttons: below the
// column as designed, below the map at larger text. Physical map: instructions on top, one
// list of features in two columns. Political map: the chosen chief town above the chosen
// region, the lists of regions and chief towns side by side.
void FLcartge::arrange(bool political)
{
    const bool larger = scaler_->presentation().largerText();
    const double k = larger ? kMappaPiccola : 1.0;
    const int mapW = int(std::lround(kMapW * k)), mapH = int(std::lround(kMapH * k));
    Frame1->setGeometry(8, 8, mapW + 4, mapH + 4);
    Image1->setGeometry(2, 2, mapW, mapH);
    // As far from the map's left and bottom edges as designed, in proportion.
    const int bottom = 10 + mapH - int(std::lround((10 + kMapH - kAscolta.bottom() - 1) * k));
    Labascolta->setGeometry(10 + int(std::lround((kAscolta.x() - 10) * k)), bottom - kAscolta.height(),
                            kAscolta.width(), kAscolta.height());
    const int right = 8 + mapW + 4;
    const Column c = larger ? Column{right + 8, 1008 - right - 8, 714, 96, 48} : kColonna;
    Frame2->setGeometry(c.x, 8, c.w, c.h);
    // At larger text one above the other under the map's frame.
    const int below = 8 + mapH + 4;
    const QRect esco = larger ? QRect(8, below + 78, 200, 64) : QRect(kFrame2X + 244, 658, kFrame2W - 244, 64);
    cmdelemseg->setGeometry(larger ? QRect(8, below + 10, 400, 60) : QRect(kFrame2X, 660, 236, 60));
    Frame3->setGeometry(esco);
    cmdesco->setGeometry(4, 4, esco.width() - 8, 56);

    // The instruction as tall as its text needs at larger text.
    const int instruction = larger ? std::max(92, int(std::ceil(scaler_->textHeight(Label4, c.inner())))) : 92;
    Label4->setGeometry(6, 8, c.inner(), instruction);
    const int top = political ? 6 : 8 + instruction + 2;
    const int number = larger ? 108 : 88; // the readable face's lines are half as tall again
    Labnumero->setGeometry(6, top, c.numberW, number);
    Label3->setGeometry(8 + c.numberW, top, c.questionW, number);
    const int answer = larger ? 50 : 40;
    // The region's box also holds the prompt of the first place, on two lines if need be.
    const int block = political && larger ? 140 : number;
    if (political) {
        Label1->setGeometry(c.answerX(), top, c.answerW(), answer);
        Label2->setGeometry(c.answerX(), top + answer + 8, c.answerW(), block - answer - 8);
    } else {
        Label2->setGeometry(c.answerX(), top + (number - answer) / 2, c.answerW(), answer);
    }
    const int listTop = top + block + 12;
    const int head = larger ? 40 : 24;
    const int inner = c.inner();
    const int half = (inner - 6) / 2;
    if (political) {
        headRegioni_->setGeometry(6, listTop, half, head);
        headCapoluoghi_->setGeometry(12 + half, listTop, half, head);
        List2->setWrapping(false);
        List2->setFlow(QListView::TopToBottom);
        List2->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        List2->setGridSize(QSize());
        List2->setGeometry(6, listTop + head + 2, half, c.h - listTop - head - 8);
        List1->setGeometry(12 + half, listTop + head + 2, half, c.h - listTop - head - 8);
    } else {
        // Two columns, so that all 22 names are in sight at once, where the names keep (nine
        // tenths of) their size there; else, in the readable face, one column that scrolls.
        // The eleven rows leave room for the list's frame, which does not shrink with the
        // display, and for the cells' rounding there: on a display smaller than the design
        // (down to about six tenths of it) no name goes to a third column, out of sight.
        const int height = c.h - listTop - 6;
        const QSize cell((inner - 8) / 2, (height - 12) / 11);
        QSizeF name;
        for (const QString &n : model_.List2)
            name = name.expandedTo(scaler_->textSize(List2, n));
        const bool two = !larger || (0.9 * name.width() + 12 <= cell.width() && 0.9 * name.height() + 2 <= cell.height());
        List2->setFlow(QListView::TopToBottom);
        List2->setWrapping(two);
        List2->setResizeMode(QListView::Adjust);
        List2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        List2->setVerticalScrollBarPolicy(two ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn);
        List2->setGridSize(two ? cell : QSize(inner - 40, int(std::ceil(name.height())) + 6));
        List2->setGeometry(6, listTop, inner, height);
    }
    List2->setAccessibleName(political ? QStringLiteral("Regioni") : QStringLiteral("Nomi della carta fisica"));
    headRegioni_->setVisible(political);
    headCapoluoghi_->setVisible(political);
}

void FLcartge::showMap(const QString &file)
{
    if (file == shownMap_)
        return;
    shownMap_ = file;
    QPixmap p;
    if (loadPicture(session().dataFile(file), &p)) {
        Image1->setPixmap(p);
    } else {
        Image1->setPixmap(QPixmap());
        Image1->setText(QStringLiteral("Non trovo la carta geografica (%1 nella cartella Perquorvane).").arg(file));
    }
}

void FLcartge::redraw()
{
    const bool political = model_.political();
    showMap(model_.mapFile());
    arrange(political);
    Label4->setVisible(model_.Label4Visible);
    Labnumero->setText(QString::number(model_.numero));
    Labnumero->setVisible(model_.LabnumeroVisible);
    Label1->setVisible(political);
    Label1->setText(model_.Label1);
    Label2->setText(model_.Label2);
    // The prompt of the first political place is smaller than an answer, so it fits.
    Label2->setFont(model_.label2IsPrompt() ? sans(11, false) : sans(15, true));
    fill(List2, model_.List2);
    fill(List1, model_.List1);
    List1->setVisible(model_.List1Visible);
    select(List2, model_.indicelista2);
    select(List1, model_.indicelista1);
}

void FLcartge::List2_Click(QListWidgetItem *item)
{
    model_.clickList2(List2->row(item));
    redraw();
}

void FLcartge::List1_Click(QListWidgetItem *item)
{
    model_.clickList1(List1->row(item));
    redraw();
}

void FLcartge::cmdelemseg_Click()
{
    model_.elementoSeguente();
    redraw();
}

void FLcartge::cmdesco_Click()
{
    model_.esco();
    redraw();
}

void FLcartge::Timer1_Timer()
{
    model_.tick();
    Labnumero->setVisible(model_.LabnumeroVisible);
}

} // namespace qv::ui
