#include "ui/screens/flstoria2.h"

#include "battery/ascolto.h"
#include "startup/datafolder.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/rowpane.h"

#include <QEvent>
#include <algorithm>

namespace qv::ui {

namespace {

const QColor kGialloChiaro(255, 255, 128);
const QColor kGiallo(255, 255, 0);
const QColor kMagenta(255, 0, 255);

// The pale background of each event row (decoration only).
const std::array<QColor, 10> kRighe = {
    QColor(224, 240, 255), QColor(224, 255, 232), QColor(255, 236, 224), QColor(240, 228, 255),
    QColor(255, 248, 220), QColor(220, 248, 248), QColor(255, 228, 240), QColor(236, 248, 220),
    QColor(232, 236, 255), QColor(248, 240, 228)};

// The events and their boxes, in a box of rows from y 50; the dates' column beside it.
constexpr int kRigheY = 50, kRigaPasso = 58, kRigaH = 54;

} // namespace

FLstoria2::FLstoria2(Application &app)
    : ScreenBase(app, QStringLiteral("CRONOLOGIA DEI FATTI IMPORTANTI: clicca sulle date e trascinale sulle "
                                     "caselle a sinistra.")),
      model_(app.session())
{
    Labtitolo = new QLabel(windowTitle(), this);
    Labtitolo->setObjectName("Labtitolo");
    Labtitolo->setFont(sans(14, true));
    Labtitolo->setWordWrap(true);
    Labtitolo->setAlignment(Qt::AlignCenter);

    // The events with their boxes scroll when the larger text makes them taller than the
    // screen; the scroll bar takes the gap before the dates, which stay in sight.
    eventi = new RowPane(QStringLiteral("Riquadrofatti"), QStringLiteral("Fatti"), this);
    eventi->setGeometry(10, kRigheY, 820, 9 * kRigaPasso + kRigaH);
    board = new DragDropBoard(this);
    for (int r = 0; r < 10; ++r) {
        const int y = r * kRigaPasso;
        auto *e = new QLabel(eventi->rows());
        e->setObjectName(QStringLiteral("Label1_%1").arg(r));
        e->setFont(sans(13));
        e->setWordWrap(true);
        e->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        e->setFrameStyle(QFrame::Box | QFrame::Plain);
        e->setMargin(4);
        e->setGeometry(0, y, 610, kRigaH);
        setBackColor(e, kRighe[size_t(r)]);
        Label1[size_t(r)] = e;

        auto *c = new QLabel(eventi->rows());
        c->setObjectName(QStringLiteral("Label2_%1").arg(r));
        c->setFont(sans(14, true));
        c->setAlignment(Qt::AlignCenter);
        c->setFrameStyle(QFrame::Box | QFrame::Plain);
        c->setLineWidth(2);
        c->setGeometry(618, y, 180, kRigaH);
        setBackColor(c, kGialloChiaro);
        Label2[size_t(r)] = c;
        board->addTarget(c, r);

        auto *d = new QLabel(this);
        d->setObjectName(QStringLiteral("Label3_%1").arg(r));
        d->setFont(sans(14, true));
        d->setAlignment(Qt::AlignCenter);
        d->setFrameStyle(QFrame::Box | QFrame::Plain);
        setBackColor(d, kGiallo);
        Label3[size_t(r)] = d;
        board->addSource(d, r);
    }

    // With larger text the title takes the height it needs and the box of events what is
    // left above the buttons; every event row the height its text needs (the box scrolls),
    // the dates theirs down to the buttons.
    scaler_->addStack(Qt::Vertical, {{Labtitolo}, {eventi}}, 642);
    QList<QList<QWidget *>> righe, date;
    for (int r = 0; r < 10; ++r) {
        righe.append(QList<QWidget *>{Label1[size_t(r)], Label2[size_t(r)]});
        date.append(QList<QWidget *>{Label3[size_t(r)]});
    }
    scaler_->addStack(Qt::Vertical, righe, ScreenScaler::kNoEnd);
    scaler_->addStack(Qt::Vertical, date, 642);

    const QColor grigio(192, 192, 192);
    Labseguente = raisedButton(QStringLiteral("Labseguente"), QStringLiteral("Date seguenti"), QRect(290, 646, 240, 60),
                               18, 3, grigio);
    Labesco = raisedButton(QStringLiteral("Labesco"), QStringLiteral("Esco"), QRect(570, 646, 160, 60), 18, 3, grigio);

    Labascolta = listenButton(QStringLiteral("Labascolta"), QStringLiteral("Ascolta i fatti"), QRect(16, 646, 264, 60),
                              [this] { return ascolto::eventi(model_); });
    // The buttons widen into the free space on their right as their texts need.
    scaler_->addStack(Qt::Horizontal, {{Labascolta}, {Labseguente}, {Labesco}}, 1006);
    placeForText();
    connect(&app, &Application::presentationChanged, this, &FLstoria2::placeForText);
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

// At larger text the title spans the events only, so that the dates' column begins at the
// top and has the height of the screen for dates on two lines.
void FLstoria2::placeForText()
{
    const bool larger = scaler_->presentation().largerText();
    Labtitolo->setGeometry(10, 4, larger ? 816 : 996, 42);
    for (int r = 0; r < 10; ++r)
        Label3[size_t(r)]->setGeometry(larger ? QRect(830, 4 + r * 63, 176, 59) : QRect(830, kRigheY + r * kRigaPasso, 176, kRigaH));
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
        setBackColor(Label2[size_t(r)], kGialloChiaro);
        Label3[size_t(r)]->setText(model_.data(r));
        setBackColor(Label3[size_t(r)], model_.usata(r) ? kMagenta : kGiallo);
    }
}

} // namespace qv::ui
