#include "ui/screens/flstoria1.h"

#include "battery/ascolto.h"
#include "startup/datafolder.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/lineshape.h"
#include "ui/widgets/rowpane.h"

#include <QtMath>

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QScrollBar>
#include <QSpacerItem>
#include <algorithm>

namespace qv::ui {

namespace {

const QColor kArancioChiaro(255, 224, 192);
const QColor kArancio(255, 128, 0);
const QColor kMagenta(255, 0, 255);
const QColor kGrigio(192, 192, 192);

// Design lengths. The statements: their least height, the gaps between them, their width in
// the design's two columns. The scheme's boxes: their least height, the widths of a cause
// beside another and of a box alone, the room for an arrow between two boxes (in the
// design's simple and double schemes, and beside the statements at larger text).
constexpr int kFraseH = 72, kFraseGap = 10, kColonna = 16, kFraseW = 484;
constexpr int kCasellaH = 80, kCausaW = 450, kCasellaW = 600, kFreccia1 = 46, kFreccia2 = 50, kFrecciaLarga = 48;
// The box of statements and scheme reaches this far past them, so that the focus frame round
// a control at its edge shows whole.
constexpr int kBordo = 6;

} // namespace

FLstoria1::FLstoria1(Application &app)
    : ScreenBase(app, QStringLiteral("SCHEMI DELLE RELAZIONI CAUSALI: clicca sui testi e trascinali nelle "
                                     "caselle appropriate.")),
      model_(app.session())
{
    QWidget *page = makeBody();
    Labtitolo = new QLabel(windowTitle(), page);
    Labtitolo->setObjectName("Labtitolo");
    setDesignText(Labtitolo, 15, true);
    Labtitolo->setWordWrap(true);
    Labtitolo->setAlignment(Qt::AlignCenter);

    riquadro = new RowPane(QStringLiteral("Riquadroschema"), QStringLiteral("Frasi e schema"), page);
    board = new DragDropBoard(this);
    for (int i = 0; i < 4; ++i) {
        auto *t = new QLabel(riquadro->rows());
        t->setObjectName(QStringLiteral("Label2_%1").arg(i));
        setDesignText(t, 14);
        t->setWordWrap(true);
        t->setAlignment(Qt::AlignCenter);
        t->setFrameStyle(QFrame::Box | QFrame::Plain);
        setDesignBack(t, kArancioChiaro);
        Label2[size_t(i)] = t;
        board->addSource(t, i);

        auto *c = new QLabel(riquadro->rows());
        c->setObjectName(QStringLiteral("Label1_%1").arg(i));
        setDesignText(c, 14, true);
        c->setWordWrap(true);
        c->setAlignment(Qt::AlignCenter);
        c->setFrameStyle(QFrame::Box | QFrame::Plain);
        setDesignBack(c, kArancio);
        c->installEventFilter(this);
        Label1[size_t(i)] = c;
        board->addTarget(c, i);
    }

    // The arrows lie over the rows, outside their layout.
    for (int n = 0; n < 12; ++n) {
        auto *l = new LineShape(riquadro->rows(), 3, Qt::black);
        l->setObjectName(QStringLiteral("Line%1").arg(n + 1));
        setDesignInk(l, Qt::black); // yellow on the black screen of high contrast
        l->hide();
        linee_[size_t(n)] = l;
    }
    Line1 = linee_[0]; Line2 = linee_[1]; Line3 = linee_[2]; Line4 = linee_[3];
    Line5 = linee_[4]; Line6 = linee_[5]; Line7 = linee_[6]; Line8 = linee_[7];
    Line9 = linee_[8]; Line10 = linee_[9]; Line11 = linee_[10]; Line12 = linee_[11];

    Labnuovo = raisedButton(QStringLiteral("Labnuovo"), QStringLiteral("Nuove frasi"), 18, 3, kGrigio);
    Labesco = raisedButton(QStringLiteral("Labesco"), QStringLiteral("Esco"), 18, 3, kGrigio);
    Labascolta = listenButton(QStringLiteral("Labascolta"), QStringLiteral("Ascolta le frasi"),
                              [this] { return ascolto::affermazioni(model_); });
    buttons_ = std::make_unique<ButtonRow>(Labascolta, Labnuovo, Labesco);

    page_ = new QVBoxLayout(page);
    page_->addWidget(Labtitolo);
    page_->addWidget(riquadro, 1);
    page_->addLayout(buttons_->layout());
    setTabChain({Labascolta, Label2[0], Label2[1], Label2[2], Label2[3], Label1[0], Label1[1], Label1[2], Label1[3], Labnuovo,
                 Labesco});

    connect(board, &DragDropBoard::dropped, this, &FLstoria1::Label1_DragDrop);
    connect(board, &DragDropBoard::dragStarted, riquadro, [this] { riquadro->followDrag(true); });
    connect(board, &DragDropBoard::dragEnded, riquadro, [this] { riquadro->followDrag(false); });
    connect(Labnuovo, &ClickLabel::clicked, this, &FLstoria1::Labnuovo_Click);
    connect(Labesco, &ClickLabel::clicked, this, [this] { model_.esco(); });
}

void FLstoria1::activate()
{
    move(0, 0);
    loadBackgroundOrWarn();
    board->clearSelection();
    model_.apertura();
    redraw();
    riquadro->verticalScrollBar()->setValue(0);
}

void FLstoria1::Label1_DragDrop(int index, int source)
{
    model_.drop(index, source);
    redraw();
}

void FLstoria1::Labnuovo_Click()
{
    board->clearSelection();
    model_.nuovo();
    redraw();
    riquadro->verticalScrollBar()->setValue(0); // a new set shows from its first statement
}

void FLstoria1::layOut(const Look &look)
{
    const bool larger = look.presentation.largerText();
    // The title over the box, which reaches kBordo past the statements; the buttons under it,
    // lower at larger text.
    page_->setContentsMargins(look.px(16 - kBordo), look.px(6), look.px(16 - kBordo), look.px(larger ? 14 : 50));
    page_->setSpacing(look.px(4));
    Labtitolo->setContentsMargins(look.px(kBordo), 0, look.px(kBordo), 0);
    Labtitolo->setMinimumHeight(look.px(56));
    // In high contrast every box's frame is at least 2 wide: black, it parts neighbouring boxes.
    for (int i = 0; i < 4; ++i) {
        Label2[size_t(i)]->setLineWidth(look.px(look.presentation.highContrast ? 2 : 1));
        Label1[size_t(i)]->setLineWidth(look.px(2));
        for (QLabel *l : {Label2[size_t(i)], Label1[size_t(i)]})
            l->setMargin(look.px(4));
    }
    for (LineShape *l : linee_)
        l->setWidth(look.px(3));
    buttons_->layOut(look, kBordo, larger ? 4 : 20);
    disponi();
}

void FLstoria1::disponi()
{
    const Look l = look();
    const Disposizione want{model_.tiposchema(), l.presentation.largerText(), l.factor};
    if (want != disposta_) {
        disposta_ = want;
        build(l);
    }
    const bool quattro = model_.caselle() == 4;
    Label2[3]->setVisible(quattro);
    Label1[3]->setVisible(quattro);
    frecce();
}

// At the design's size the statements in two columns above the scheme, as in the design; at
// larger text the statements one under the other on the left, the scheme on the right, both
// filling the box's height (it scrolls where they need more). The scheme's boxes are
// centred, a simple scheme one under the other, a double one with its two causes side by
// side over the effect.
void FLstoria1::build(const Look &look)
{
    QWidget *rows = riquadro->rows();
    delete rows->layout(); // the controls stay, children of the rows
    for (std::array<QLabel *, 4> *all : {&Label1, &Label2})
        for (QLabel *w : *all) {
            w->setMinimumSize(0, 0);
            w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
    const bool semplice = model_.tiposchema() == 1;
    const int n = model_.caselle();
    for (int i = 0; i < n; ++i) {
        Label2[size_t(i)]->setMinimumHeight(look.px(kFraseH));
        Label1[size_t(i)]->setMinimumHeight(look.px(kCasellaH));
    }
    auto *schema = new QVBoxLayout;
    schema->setSpacing(0);
    QBoxLayout *outer = nullptr;
    if (look.presentation.largerText()) {
        outer = new QHBoxLayout(rows);
        auto *frasi = new QVBoxLayout;
        frasi->setSpacing(look.px(kFraseGap));
        for (int i = 0; i < n; ++i)
            frasi->addWidget(Label2[size_t(i)], 1);
        int k = 0;
        if (!semplice) {
            auto *cause = new QHBoxLayout;
            cause->setSpacing(look.px(kColonna));
            cause->addWidget(Label1[0], 1);
            cause->addWidget(Label1[1], 1);
            schema->addLayout(cause, 1);
            k = 2;
        }
        for (; k < n; ++k) {
            if (k > 0)
                schema->addSpacing(look.px(kFrecciaLarga));
            schema->addWidget(Label1[size_t(k)], 1);
        }
        outer->setSpacing(look.px(kColonna));
        outer->addLayout(frasi, 1);
        outer->addLayout(schema, 1);
    } else {
        outer = new QVBoxLayout(rows);
        auto *frasi = new QGridLayout;
        frasi->setHorizontalSpacing(look.px(kColonna));
        frasi->setVerticalSpacing(look.px(kFraseGap));
        frasi->setColumnStretch(0, 1);
        frasi->setColumnStretch(1, 1);
        frasi->addWidget(Label2[0], 0, 0);
        frasi->addWidget(Label2[1], 0, 1);
        if (semplice) {
            Label2[2]->setFixedWidth(look.px(kFraseW));
            frasi->addWidget(Label2[2], 1, 0, 1, 2, Qt::AlignHCenter);
        } else {
            frasi->addWidget(Label2[2], 1, 0);
            frasi->addWidget(Label2[3], 1, 1);
        }
        const int gap = look.px(semplice ? kFreccia1 : kFreccia2);
        int k = 0;
        if (!semplice) {
            auto *cause = new QHBoxLayout;
            cause->setSpacing(0);
            for (QLabel *c : {Label1[0], Label1[1]})
                c->setFixedWidth(look.px(kCausaW));
            cause->addWidget(Label1[0]);
            cause->addStretch();
            cause->addWidget(Label1[1]);
            schema->addLayout(cause);
            k = 2;
        }
        for (; k < n; ++k) {
            if (k > 0)
                schema->addSpacing(gap);
            Label1[size_t(k)]->setFixedWidth(look.px(kCasellaW));
            schema->addWidget(Label1[size_t(k)], 0, Qt::AlignHCenter);
        }
        outer->setSpacing(0);
        outer->addLayout(frasi);
        outer->addSpacing(look.px(24));
        outer->addLayout(schema);
        outer->addStretch();
    }
    outer->setContentsMargins(look.px(kBordo), look.px(kBordo), look.px(kBordo), look.px(kBordo));
    // Placed now, so that the arrows are drawn from where the boxes are.
    outer->activate();
}

void FLstoria1::freccia(LineShape *asta, LineShape *punta1, LineShape *punta2, QPoint da, QPoint a)
{
    asta->setLine(da, a);
    const double angolo = qAtan2(double(da.y() - a.y()), double(da.x() - a.x()));
    const double lato = look().px(16);
    const double apertura = qDegreesToRadians(28.0);
    auto estremo = [&](double s) {
        return QPoint(a.x() + qRound(lato * qCos(angolo + s)), a.y() + qRound(lato * qSin(angolo + s)));
    };
    punta1->setLine(a, estremo(apertura));
    punta2->setLine(a, estremo(-apertura));
    for (LineShape *l : {asta, punta1, punta2})
        l->show();
}

void FLstoria1::frecce()
{
    for (LineShape *l : linee_)
        l->hide();
    // Both ends of an arrow's shaft: the middle of the bottom edge of one box and a point on
    // the top edge of the other.
    const Look l = look();
    auto sotto = [&l](const QLabel *b) { return QPoint(b->geometry().center().x(), b->geometry().bottom() + l.px(2)); };
    auto sopra = [&l](const QLabel *b, int dx = 0) {
        return QPoint(b->geometry().center().x() + dx, b->geometry().top() - l.px(3));
    };
    if (model_.tiposchema() == 1) {
        freccia(Line1, Line3, Line4, sotto(Label1[0]), sopra(Label1[1]));
        freccia(Line2, Line5, Line6, sotto(Label1[1]), sopra(Label1[2]));
    } else {
        // The two causes' arrows meet the effect's box a fifth of its width either side of
        // its middle.
        const int dx = Label1[2]->width() / 5;
        freccia(Line1, Line3, Line4, sotto(Label1[0]), sopra(Label1[2], -dx));
        freccia(Line7, Line8, Line9, sotto(Label1[1]), sopra(Label1[2], dx));
        freccia(Line2, Line5, Line6, sotto(Label1[2]), sopra(Label1[3]));
    }
}

bool FLstoria1::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize)
        && std::find(Label1.begin(), Label1.end(), watched) != Label1.end())
        frecce();
    return ScreenBase::eventFilter(watched, event);
}

void FLstoria1::redraw()
{
    disponi();
    for (int i = 0; i < 4; ++i) {
        Label1[size_t(i)]->setText(model_.casella(i));
        Label2[size_t(i)]->setText(model_.frase(i));
        setBack(Label2[size_t(i)], model_.usata(i) ? kMagenta : kArancioChiaro);
    }
}

} // namespace qv::ui
