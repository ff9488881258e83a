#include "ui/screens/flstoria2.h"

#include "battery/ascolto.h"
#include "startup/datafolder.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/rowpane.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QScrollBar>
#include <QSpacerItem>
#include <algorithm>

namespace qv::ui {

namespace {

const QColor kGialloChiaro(255, 255, 128);
const QColor kGiallo(255, 255, 0);
const QColor kMagenta(255, 0, 255);
const QColor kGrigio(192, 192, 192);

// The pale background of each event row (decoration only).
const std::array<QColor, 10> kRighe = {
    QColor(224, 240, 255), QColor(224, 255, 232), QColor(255, 236, 224), QColor(240, 228, 255),
    QColor(255, 248, 220), QColor(220, 248, 248), QColor(255, 228, 240), QColor(236, 248, 220),
    QColor(232, 236, 255), QColor(248, 240, 228)};

// Design lengths: a row's least height and the gap to the next, the columns' least widths,
// the gap before the dates (the scroll bar's place), the boxes' frames.
constexpr int kRigaH = 54, kRigaGap = 4, kDataW = 176, kCasellaW = 180, kGap = 22, kCornice = 2, kMargine = 4;

} // namespace

FLstoria2::FLstoria2(Application &app)
    : ScreenBase(app, QStringLiteral("CRONOLOGIA DEI FATTI IMPORTANTI: clicca sulle date e trascinale sulle "
                                     "caselle a sinistra.")),
      model_(app.session())
{
    QWidget *page = makeBody();
    Labtitolo = new QLabel(windowTitle(), page);
    Labtitolo->setObjectName("Labtitolo");
    setDesignText(Labtitolo, 14, true);
    Labtitolo->setWordWrap(true);
    Labtitolo->setAlignment(Qt::AlignCenter);

    // Each event beside its box in a grid row as tall as the event's text needs.
    eventi = new RowPane(QStringLiteral("Riquadrofatti"), QStringLiteral("Fatti"), page);
    rows_ = new QGridLayout(eventi->rows());
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setColumnStretch(0, 1);
    dates_ = new QVBoxLayout;
    board = new DragDropBoard(this);
    for (int r = 0; r < 10; ++r) {
        auto *e = new QLabel(eventi->rows());
        e->setObjectName(QStringLiteral("Label1_%1").arg(r));
        setDesignText(e, 13);
        e->setWordWrap(true);
        e->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        e->setFrameStyle(QFrame::Box | QFrame::Plain);
        setDesignBack(e, kRighe[size_t(r)]);
        Label1[size_t(r)] = e;
        rows_->addWidget(e, r, 0);

        auto *c = new QLabel(eventi->rows());
        c->setObjectName(QStringLiteral("Label2_%1").arg(r));
        setDesignText(c, 14, true);
        c->setWordWrap(true); // a long date on two lines, rather than narrower events
        c->setAlignment(Qt::AlignCenter);
        c->setFrameStyle(QFrame::Box | QFrame::Plain);
        setDesignBack(c, kGialloChiaro);
        Label2[size_t(r)] = c;
        rows_->addWidget(c, r, 1);
        board->addTarget(c, r);

        auto *d = new QLabel(page);
        d->setObjectName(QStringLiteral("Label3_%1").arg(r));
        setDesignText(d, 14, true);
        d->setAlignment(Qt::AlignCenter);
        d->setFrameStyle(QFrame::Box | QFrame::Plain);
        setDesignBack(d, kGiallo);
        Label3[size_t(r)] = d;
        dates_->addWidget(d);
        board->addSource(d, r);
    }
    dates_->addStretch();

    Labseguente =
        raisedButton(QStringLiteral("Labseguente"), QStringLiteral("Date seguenti"), 18, 3, kGrigio);
    Labesco = raisedButton(QStringLiteral("Labesco"), QStringLiteral("Esco"), 18, 3, kGrigio);
    Labascolta = listenButton(QStringLiteral("Labascolta"), QStringLiteral("Ascolta i fatti"),
                              [this] { return ascolto::eventi(model_); });
    buttons_ = std::make_unique<ButtonRow>(Labascolta, Labseguente, Labesco);

    page_ = new QGridLayout(page);
    page_->addWidget(eventi, 1, 0);
    page_->addLayout(buttons_->layout(), 2, 0, 1, 2);
    page_->setColumnStretch(0, 1);
    page_->setRowStretch(1, 1);
    arrange(false);
    connect(eventi->verticalScrollBar(), &QScrollBar::rangeChanged, this, &FLstoria2::fitGap);

    // Tab: the dates, the boxes, the listen button, then the two buttons.
    QList<QWidget *> chain(Label3.begin(), Label3.end());
    chain.append(QList<QWidget *>(Label2.begin(), Label2.end()));
    setTabChain(chain << Labascolta << Labseguente << Labesco);

    connect(board, &DragDropBoard::dropped, this, &FLstoria2::Label2_DragDrop);
    connect(board, &DragDropBoard::dragStarted, eventi, [this] { eventi->followDrag(true); });
    connect(board, &DragDropBoard::dragEnded, eventi, [this] { eventi->followDrag(false); });
    connect(Labseguente, &ClickLabel::clicked, this, &FLstoria2::Labseguente_Click);
    connect(Labesco, &ClickLabel::clicked, this, [this] { model_.esco(); });
}

void FLstoria2::arrange(bool larger)
{
    if (arranged_ == int(larger))
        return;
    arranged_ = int(larger);
    page_->removeWidget(Labtitolo);
    page_->removeItem(dates_);
    dates_->setParent(nullptr); // free to be added again
    page_->addWidget(Labtitolo, 0, 0, 1, larger ? 1 : 2);
    page_->addLayout(dates_, larger ? 0 : 1, 1, larger ? 2 : 1, 1);
}

void FLstoria2::layOut(const Look &look)
{
    arrange(look.presentation.largerText());
    page_->setContentsMargins(look.px(10), look.px(4), look.px(10), look.px(24));
    page_->setVerticalSpacing(look.px(4));
    Labtitolo->setMinimumHeight(look.px(42));
    rows_->setHorizontalSpacing(look.px(8));
    rows_->setVerticalSpacing(look.px(kRigaGap));
    dates_->setSpacing(look.px(kRigaGap));
    // In high contrast every box's frame is at least 2 wide: black, it parts neighbouring boxes.
    const int linea = look.px(look.presentation.highContrast ? 2 : 1);
    for (int r = 0; r < 10; ++r) {
        rows_->setRowMinimumHeight(r, look.px(kRigaH));
        Label1[size_t(r)]->setLineWidth(linea);
        Label1[size_t(r)]->setMargin(look.px(kMargine));
        Label2[size_t(r)]->setLineWidth(look.px(kCornice));
        Label3[size_t(r)]->setLineWidth(linea);
        Label3[size_t(r)]->setMinimumHeight(look.px(kRigaH));
    }
    buttons_->layOut(look, 6, 16);
    fitDates();
    fitGap();
}

void FLstoria2::fitDates()
{
    const Look l = look();
    const QFontMetrics fm(Label3[0]->font()); // the boxes show the dates in the same face
    int date = 0, word = 0;
    for (const QLabel *d : Label3) {
        date = std::max(date, fm.horizontalAdvance(d->text()));
        for (const QString &w : d->text().split(QLatin1Char(' ')))
            word = std::max(word, fm.horizontalAdvance(w));
    }
    const int pad = 2 * (l.px(kCornice) + l.px(kMargine));
    for (QLabel *d : Label3)
        d->setMinimumWidth(std::max(l.px(kDataW), date + pad));
    for (QLabel *c : Label2)
        c->setMinimumWidth(std::max(l.px(kCasellaW), word + pad));
}

void FLstoria2::fitGap()
{
    // The scroll bar, when shown, stands in the gap: the events keep their width.
    const int bar = eventi->scrolls() ? eventi->verticalScrollBar()->sizeHint().width() : 0;
    page_->setHorizontalSpacing(std::max(0, look().px(kGap) - bar));
}

void FLstoria2::activate()
{
    move(0, 0);
    loadBackgroundOrWarn();
    board->clearSelection();
    model_.apertura();
    redraw();
}

void FLstoria2::Label2_DragDrop(int index, int source)
{
    model_.drop(index, source);
    redraw();
}

void FLstoria2::Labseguente_Click()
{
    board->clearSelection();
    model_.seguente();
    redraw();
}

void FLstoria2::redraw()
{
    for (int r = 0; r < 10; ++r) {
        Label1[size_t(r)]->setText(model_.evento(r));
        Label2[size_t(r)]->setText(model_.casella(r));
        Label3[size_t(r)]->setText(model_.data(r));
        setBack(Label3[size_t(r)], model_.usata(r) ? kMagenta : kGiallo);
    }
    fitDates();
}

} // namespace qv::ui
