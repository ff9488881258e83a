#include "ui/screens/flcartge.h"

#include "battery/ascolto.h"
#include "battery/geography/cartgecontent.h"
#include "ui/access/contrastcolours.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPixmapCache>
#include <algorithm>

namespace qv::ui {

namespace {
constexpr unsigned kGrigio = 0xE0E0E0;
constexpr unsigned kRosso = 0x0000FF;

// The map's picture as designed, 605 × 700; at larger text it is drawn at this share of
// its size, so that the column beside it is wider and reaches the bottom, and the two
// buttons go under the map.
constexpr int kMapW = 605, kMapH = 700;
constexpr double kMappaPiccola = 0.8;

// The column's lengths: the red number and the "?" after it, the number's and an answer's
// height, the lists' headings. The readable face's lines are half as tall again.
struct Column {
    int numberW, questionW, numberH, answerH, headH;
};
constexpr Column kColonna{64, 32, 88, 40, 24};
constexpr Column kColonnaGrande{96, 48, 108, 50, 40};

const QColor kCarta(0xff, 0xff, 0xff), kInchiostro(0x10, 0x30, 0x5a), kBordo(0x7a, 0x7a, 0x7a);
const QColor kElenco(0xff, 0xfe, 0xf8), kScelto(0x2f, 0x6d, 0xb5);

// The frames' lines, stronger in high contrast.
int frameLine(const Look &look)
{
    return look.px(look.presentation.highContrast ? 2 : 1);
}

QLabel *answerLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    setDesignText(l, 15, true);
    l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    // The prompt of the first political place takes two lines at larger text.
    l->setWordWrap(true);
    l->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return l;
}

QString answerSheet(const Look &look, const QString &name)
{
    const QColor back = look.back(kCarta);
    return QStringLiteral("QLabel#%1 { background: %2; border: %3px solid %4; color: %5; }")
        .arg(name, back.name())
        .arg(look.px(look.presentation.highContrast ? 3 : 1))
        .arg((look.presentation.highContrast ? contrastBorder(back) : kBordo).name(), look.ink(back, kInchiostro).name());
}

QListWidget *list(QWidget *parent, const char *name)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(name));
    setDesignText(l, 14);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setUniformItemSizes(true);
    // The column shares its width out; the list scrolls below a few rows.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    return l;
}

// The lists' colours, the chosen name's and the house's wide scroll bar, at the look's size.
QString listSheet(const Look &look)
{
    const QColor back = look.back(kElenco), chosen = look.back(kScelto);
    return QStringLiteral("QListWidget { background: %1; color: %2; }"
                          "QListWidget::item { padding: %3px %4px; }"
                          "QListWidget::item:selected { background: %5; color: %6; }")
               .arg(back.name(), look.ink(back, Qt::black).name())
               .arg(look.px(1))
               .arg(look.px(4))
               .arg(chosen.name(), look.ink(chosen, Qt::white).name())
        + scrollBarSheet(look);
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
    QWidget *page = makeBody();

    Frame1 = new QFrame(page);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    Image1 = new QLabel(Frame1);
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setWordWrap(true);
    setDesignText(Image1, 14);
    mapBox_ = new QVBoxLayout(Frame1);
    mapBox_->addWidget(Image1);

    Frame2 = new QFrame(page);
    Frame2->setObjectName("Frame2");
    Frame2->setFrameShape(QFrame::Box);

    Label4 = new QLabel(QStringLiteral("Devi abbinare i NOMI ai NUMERI.  Guarda in basso il numero rosso, cerca quel numero "
                                       "sulla carta, e clicca sul nome collegato nell'elenco. Per continuare. clicca su "
                                       "Elementi seguenti."),
                        Frame2);
    Label4->setObjectName("Label4");
    Label4->setWordWrap(true);
    setDesignText(Label4, 13);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Labnumero = new QLabel(Frame2);
    Labnumero->setObjectName("Labnumero");
    setDesignText(Labnumero, 34, true);
    Labnumero->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setDesignInk(Labnumero, vbColor(kRosso));
    keepsRoom(Labnumero); // the blinking number leaves the "?" where it is
    Label3 = new QLabel(QStringLiteral("?"), Frame2);
    Label3->setObjectName("Label3");
    setDesignText(Label3, 34, true);
    setDesignInk(Label3, vbColor(kRosso));

    Label1 = answerLabel(Frame2, "Label1");
    Label2 = answerLabel(Frame2, "Label2");

    headRegioni_ = new QLabel(QStringLiteral("Regioni"), Frame2);
    setDesignText(headRegioni_, 13, true);
    headCapoluoghi_ = new QLabel(QStringLiteral("Capoluoghi"), Frame2);
    setDesignText(headCapoluoghi_, 13, true);

    List2 = list(Frame2, "List2");
    List1 = list(Frame2, "List1");
    // The physical map's cells follow the list's size.
    List2->installEventFilter(this);

    cmdelemseg = new QPushButton(QStringLiteral("Elemento seguente"), page);
    cmdelemseg->setObjectName("cmdelemseg");
    setDesignText(cmdelemseg, 16, true);

    Frame3 = new QFrame(page);
    Frame3->setObjectName("Frame3");
    Frame3->setFrameShape(QFrame::Box);
    cmdesco = new QPushButton(QStringLiteral("Esco"), Frame3);
    cmdesco->setObjectName("cmdesco");
    setDesignText(cmdesco, 16, true);
    esco_ = new QVBoxLayout(Frame3);
    esco_->addWidget(cmdesco);

    Labascolta = listenButton(QStringLiteral("Labascolta"), QStringLiteral("Ascolta"),
                              [this] { return ascolto::luogo(model_); });
    // On the map's south-west corner, the African coast, where no place is numbered.
    Labascolta->setParent(page);
    listenBox_ = new QVBoxLayout;
    listenBox_->addStretch(1);
    listenBox_->addWidget(Labascolta, 0, Qt::AlignLeft);
    // The frame and the button's box in one cell, as large as the frame; below, what the
    // column beside leaves.
    mapCell_ = new QGridLayout;
    mapCell_->setContentsMargins(0, 0, 0, 0);
    mapCell_->setSpacing(0);
    mapCell_->addWidget(Frame1, 0, 0);
    mapCell_->addLayout(listenBox_, 0, 0);
    mapCell_->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 1, 0);
    mapCell_->setRowStretch(1, 1);
    Labascolta->raise();

    buttons_ = new QBoxLayout(QBoxLayout::LeftToRight);
    buttons_->addWidget(cmdelemseg);
    buttons_->addWidget(Frame3, 1);
    page_ = new QGridLayout(page);
    page_->setColumnStretch(1, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
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

bool FLcartge::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List2 && event->type() == QEvent::Resize)
        fitNames();
    return ScreenBase::eventFilter(watched, event);
}

// The map with "Ascolta" on its corner, the column beside it and the two buttons: side by
// side below the column as designed, one above the other below the map at larger text.
void FLcartge::layOut(const Look &look)
{
    const bool larger = look.presentation.largerText();
    const int line = frameLine(look);
    for (QFrame *f : {Frame1, Frame2, Frame3})
        f->setLineWidth(line);
    // The layouts start inside the frames' lines: the map a pixel in from its frame's line,
    // "Esco" four from its frame's outer edge.
    const int inMap = look.px(2) - line, inEsco = look.px(4) - line;
    mapBox_->setContentsMargins(inMap, inMap, inMap, inMap);
    esco_->setContentsMargins(inEsco, inEsco, inEsco, inEsco);
    scaleMap();
    listenBox_->setContentsMargins(look.px(8), 0, 0, look.px(8));
    Labascolta->setMinimumSize(look.px(150), look.px(48));
    Labascolta->setLineWidth(look.px(2));

    page_->setContentsMargins(look.px(8), look.px(8), look.px(8), look.px(8));
    page_->setHorizontalSpacing(look.px(larger ? 8 : 9));
    page_->setVerticalSpacing(look.px(larger ? 10 : 6));
    page_->removeItem(mapCell_);
    page_->removeItem(buttons_);
    page_->removeWidget(Frame2);
    buttons_->setSpacing(look.px(8));
    if (larger) {
        page_->addLayout(mapCell_, 0, 0);
        page_->addLayout(buttons_, 1, 0);
        page_->addWidget(Frame2, 0, 1, 2, 1);
        page_->setRowStretch(0, 0);
        page_->setRowStretch(1, 1);
        buttons_->setDirection(QBoxLayout::TopToBottom);
        buttons_->setAlignment(Qt::AlignTop | Qt::AlignLeft); // at their own size
        buttons_->setAlignment(cmdelemseg, Qt::AlignLeft);
        buttons_->setAlignment(Frame3, Qt::AlignLeft);
        buttons_->setStretchFactor(Frame3, 0);
        cmdelemseg->setMinimumSize(look.px(400), look.px(60));
        Frame3->setMinimumSize(look.px(200), look.px(64));
    } else {
        page_->addLayout(mapCell_, 0, 0, 2, 1);
        page_->addWidget(Frame2, 0, 1);
        page_->addLayout(buttons_, 1, 1);
        page_->setRowStretch(0, 1);
        page_->setRowStretch(1, 0);
        buttons_->setDirection(QBoxLayout::LeftToRight);
        buttons_->setAlignment(Qt::Alignment());
        buttons_->setAlignment(cmdelemseg, Qt::AlignVCenter);
        buttons_->setAlignment(Frame3, Qt::Alignment());
        buttons_->setStretchFactor(Frame3, 1);
        cmdelemseg->setMinimumSize(look.px(236), look.px(60));
        Frame3->setMinimumSize(look.px(138), look.px(64));
    }
    cmdesco->setMinimumHeight(look.px(56));

    for (QLabel *l : {Label1, Label2}) {
        l->setStyleSheet(answerSheet(look, l->objectName()));
        l->setIndent(look.px(8));
    }
    const QString sheet = listSheet(look);
    for (QListWidget *l : {List1, List2}) {
        l->setStyleSheet(sheet);
        // A few rows at least: below that the screen scrolls.
        l->setMinimumHeight(3 * QFontMetrics(l->font()).height() + look.px(12));
    }
    arrange(model_.political());
}

// Physical map: instructions on top, one list of features in two columns. Political map:
// the chosen chief town above the chosen region, the lists of regions and chief towns side
// by side under their headings.
void FLcartge::arrange(bool political)
{
    const Look l = look();
    const Column &c = l.presentation.largerText() ? kColonnaGrande : kColonna;
    const int line = frameLine(l);
    delete column_; // the controls stay on Frame2
    column_ = new QVBoxLayout(Frame2);
    column_->setContentsMargins(l.px(6) - line, l.px(political ? 6 : 8) - line, l.px(6) - line, l.px(6) - line);
    column_->setSpacing(0);
    if (!political) {
        Label4->setMinimumHeight(l.px(92));
        column_->addWidget(Label4);
        column_->addSpacing(l.px(2));
    }
    auto *number = new QHBoxLayout;
    number->setSpacing(0);
    number->addWidget(Labnumero);
    number->addSpacing(l.px(2));
    number->addWidget(Label3);
    number->addSpacing(l.px(4));
    Labnumero->setMinimumSize(l.px(c.numberW), l.px(c.numberH));
    Label3->setMinimumSize(l.px(c.questionW), l.px(c.numberH));
    // The answers in the middle of the number's height: the region's box also holds the
    // prompt of the first place, on two lines if need be.
    auto *answers = new QVBoxLayout;
    answers->setSpacing(l.px(8));
    answers->addStretch(1);
    if (political)
        answers->addWidget(Label1);
    answers->addWidget(Label2);
    answers->addStretch(1);
    for (QLabel *a : {Label1, Label2})
        a->setMinimumHeight(l.px(c.answerH));
    number->addLayout(answers, 1);
    column_->addLayout(number);
    column_->addSpacing(l.px(12));
    if (political) {
        auto *lists = new QGridLayout;
        lists->setHorizontalSpacing(l.px(6));
        lists->setVerticalSpacing(l.px(2));
        // Side by side, unless a name would lose its end there: then one above the other,
        // each as wide as the column.
        const bool beside = namesFitBeside(l);
        lists->addWidget(headRegioni_, 0, 0);
        lists->addWidget(headCapoluoghi_, beside ? 0 : 3, beside ? 1 : 0);
        lists->addWidget(List2, 1, 0);
        lists->addWidget(List1, beside ? 1 : 4, beside ? 1 : 0);
        lists->setColumnStretch(0, 1);
        lists->setColumnStretch(1, beside ? 1 : 0);
        lists->setRowStretch(1, 1);
        lists->setRowStretch(4, beside ? 0 : 1);
        lists->setRowMinimumHeight(2, beside ? 0 : l.px(10));
        for (QLabel *h : {headRegioni_, headCapoluoghi_}) {
            h->setMinimumHeight(l.px(c.headH));
            h->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
        column_->addLayout(lists, 1);
    } else {
        column_->addWidget(List2, 1);
    }
    headRegioni_->setVisible(political);
    headCapoluoghi_->setVisible(political);
    Label4->setVisible(!political && model_.Label4Visible);
    Label1->setVisible(political);
    List1->setVisible(political && model_.List1Visible);
    List2->setAccessibleName(political ? QStringLiteral("Regioni") : QStringLiteral("Nomi della carta fisica"));
    arranged_ = political ? 1 : 0;
    fitNames();
}

bool FLcartge::namesFitBeside(const Look &l) const
{
    // The column's width on this display: the canvas less the margins, the map's frame and
    // the gap; half of it, less the gap, each list's frame, its bar and the item's padding.
    const bool larger = l.presentation.largerText();
    const int map = l.px(kMapW * (larger ? kMappaPiccola : 1.0)) + 2 * l.px(2);
    const int column = qRound(kScreenWidth * l.factor) - 3 * l.px(8) - l.px(larger ? 0 : 1) - map;
    const int room = (column - 2 * l.px(6) - l.px(6)) / 2 - 2 * List1->frameWidth() - l.px(20) - 2 * l.px(4) - 4;
    const QFontMetrics fm(List1->font());
    return std::all_of(model_.List1.cbegin(), model_.List1.cend(), [&](const QString &n) { return fm.horizontalAdvance(n) <= room; })
           && std::all_of(model_.List2.cbegin(), model_.List2.cend(), [&](const QString &n) { return fm.horizontalAdvance(n) <= room; });
}

void FLcartge::fitNames()
{
    if (arranged_ != 0) {
        List2->setWrapping(false);
        List2->setFlow(QListView::TopToBottom);
        List2->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        List2->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        List2->setGridSize(QSize());
        return;
    }
    // Two columns, so that all 22 names are in sight at once, where every name fits its
    // cell at its size with the item's padding; the eleven rows leave room for the list's
    // frame, so that no name goes to a third column, out of sight. Else one column that
    // scrolls.
    const Look l = look();
    const QFontMetrics fm(List2->font());
    QSize name;
    for (const QString &n : model_.List2)
        name = name.expandedTo(QSize(fm.horizontalAdvance(n), fm.height()));
    const QSize cell((List2->width() - 8) / 2, (List2->height() - 12) / (kElementiFisici / 2));
    const bool two = name.width() + 2 * l.px(4) + 4 <= cell.width() && name.height() + 2 * l.px(1) + 2 <= cell.height();
    List2->setFlow(QListView::TopToBottom);
    List2->setWrapping(two);
    List2->setResizeMode(QListView::Adjust);
    List2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List2->setVerticalScrollBarPolicy(two ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn);
    List2->setGridSize(two ? cell : QSize());
}

void FLcartge::showMap(const QString &file)
{
    if (file == shownMap_)
        return;
    shownMap_ = file;
    if (!loadPicture(session().dataFile(file), &map_)) {
        map_ = QPixmap();
        Image1->setPixmap(QPixmap());
        Image1->setText(QStringLiteral("Non trovo la carta geografica (%1 nella cartella Perquorvane).").arg(file));
    }
    scaleMap();
}

void FLcartge::scaleMap()
{
    const Look l = look();
    const double k = l.presentation.largerText() ? kMappaPiccola : 1.0;
    const QSize box(l.px(kMapW * k), l.px(kMapH * k));
    Image1->setFixedSize(box);
    if (map_.isNull())
        return;
    // As many pixels as the display shows there, so that the map is never enlarged again
    // when painted; the same copy for every pupil at this size.
    const qreal ratio = Image1->devicePixelRatioF();
    const QSize pixels = (QSizeF(map_.size().scaled(box, Qt::KeepAspectRatio)) * ratio).toSize();
    const QString key =
        QStringLiteral("carta:%1:%2x%3@%4").arg(map_.cacheKey()).arg(pixels.width()).arg(pixels.height()).arg(ratio);
    QPixmap shown;
    if (!QPixmapCache::find(key, &shown)) {
        shown = map_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        shown.setDevicePixelRatio(ratio);
        QPixmapCache::insert(key, shown);
    }
    if (Image1->pixmap().cacheKey() != shown.cacheKey())
        Image1->setPixmap(shown);
}

void FLcartge::redraw()
{
    const bool political = model_.political();
    showMap(model_.mapFile());
    if (arranged_ != int(political))
        arrange(political);
    Label4->setVisible(model_.Label4Visible);
    Labnumero->setText(QString::number(model_.numero));
    Labnumero->setVisible(model_.LabnumeroVisible);
    Label1->setVisible(political);
    Label1->setText(model_.Label1);
    Label2->setText(model_.Label2);
    // The prompt of the first political place is smaller than an answer, so it fits.
    const QFont answer = model_.label2IsPrompt() ? designFont(11) : designFont(15, true);
    if (designTextOf(Label2) != answer) {
        setDesignText(Label2, answer);
        applyLook(Label2, look());
    }
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
