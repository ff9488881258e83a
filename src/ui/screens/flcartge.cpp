#include "ui/screens/flcartge.h"

#include "battery/ascolto.h"
#include "battery/geography/cartgecontent.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"

#include <QFont>
#include <QPixmap>

namespace qv::ui {

namespace {
constexpr unsigned kGrigio = 0xE0E0E0;
constexpr unsigned kRosso = 0x0000FF;

// Right-hand column: Frame2 from x 626, 382 wide.
constexpr int kFrame2X = 626, kFrame2W = 382, kFrame2H = 644;
constexpr int kInner = kFrame2W - 12;  // usable width inside Frame2
constexpr int kAnswerX = 108;          // answer labels, right of the number
constexpr int kAnswerW = kFrame2W - kAnswerX - 6;

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
                                    "QListWidget::item:selected { background: #2f6db5; color: white; }"));
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
    Frame1->setGeometry(8, 8, 609, 704);
    Image1 = new QLabel(Frame1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(2, 2, 605, 700);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setWordWrap(true);
    Image1->setFont(sans(14));

    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setFrameShape(QFrame::Box);
    Frame2->setGeometry(kFrame2X, 8, kFrame2W, kFrame2H);

    Label4 = new QLabel(QStringLiteral("Devi abbinare i NOMI ai NUMERI.  Guarda in basso il numero rosso, cerca quel numero "
                                       "sulla carta, e clicca sul nome collegato nell'elenco. Per continuare. clicca su "
                                       "Elementi seguenti."),
                        Frame2);
    Label4->setObjectName("Label4");
    Label4->setWordWrap(true);
    Label4->setFont(sans(13));
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setGeometry(6, 8, kInner, 92);

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
    cmdelemseg->setGeometry(kFrame2X, 660, 236, 60);

    Frame3 = new QFrame(this);
    Frame3->setObjectName("Frame3");
    Frame3->setFrameShape(QFrame::Box);
    Frame3->setGeometry(kFrame2X + 244, 658, kFrame2W - 244, 64);
    cmdesco = new QPushButton(QStringLiteral("Esco"), Frame3);
    cmdesco->setObjectName("cmdesco");
    cmdesco->setFont(sans(16, true));
    cmdesco->setGeometry(4, 4, kFrame2W - 244 - 8, 56);

    Labascolta = listenButton(QStringLiteral("Labascolta"), QStringLiteral("Ascolta"), QRect(16, 656, 150, 48),
                              [this] { return ascolto::luogo(model_); });

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

void FLcartge::hideEvent(QHideEvent *e)
{
    Timer1->stop();
    ScreenBase::hideEvent(e);
}

// Physical map: instructions on top, one list of features in two columns. Political map:
// the chosen chief town above the chosen region, the lists of regions and chief towns
// side by side.
void FLcartge::arrange(bool political)
{
    const int top = political ? 6 : 102;
    Labnumero->setGeometry(6, top, 64, 88);
    Label3->setGeometry(72, top, 32, 88);
    if (political) {
        Label1->setGeometry(kAnswerX, top, kAnswerW, 40);
        Label2->setGeometry(kAnswerX, top + 48, kAnswerW, 40);
    } else {
        Label2->setGeometry(kAnswerX, top + 24, kAnswerW, 40);
    }
    const int listTop = top + 100;
    const int half = (kInner - 6) / 2;
    if (political) {
        headRegioni_->setGeometry(6, listTop, half, 24);
        headCapoluoghi_->setGeometry(12 + half, listTop, half, 24);
        List2->setWrapping(false);
        List2->setFlow(QListView::TopToBottom);
        List2->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        List2->setGridSize(QSize());
        List2->setGeometry(6, listTop + 26, half, kFrame2H - listTop - 32);
        List1->setGeometry(12 + half, listTop + 26, half, kFrame2H - listTop - 32);
    } else {
        // Two columns, so that all 22 names are in sight at once.
        List2->setFlow(QListView::TopToBottom);
        List2->setWrapping(true);
        List2->setResizeMode(QListView::Adjust);
        List2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const int height = kFrame2H - listTop - 6;
        List2->setGridSize(QSize((kInner - 8) / 2, (height - 6) / 11));
        List2->setGeometry(6, listTop, kInner, height);
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
