#include "ui/screens/flstoria1.h"

#include "battery/ascolto.h"
#include "startup/datafolder.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/lineshape.h"
#include "ui/widgets/rowpane.h"

#include <QtMath>

#include <QEvent>
#include <QScrollBar>
#include <algorithm>

namespace qv::ui {

namespace {

const QColor kArancioChiaro(255, 224, 192);
const QColor kArancio(255, 128, 0);
const QColor kMagenta(255, 0, 255);
// At larger text: the title's height (two lines of the readable face), where the buttons
// stand, and the statements' and the scheme's columns between.
constexpr int kTitoloH = 100, kBottoniY = 656, kColonnaY = 6 + kTitoloH + 8, kColonnaH = kBottoniY - 8 - kColonnaY;
constexpr int kFrasiW = 470, kSchemaX = 16 + kFrasiW + 16, kSchemaW = 476;
// The box of statements and scheme reaches this far past them, so that the focus frame
// round a control at its edge shows whole; at larger text its scroll bar takes the right.
constexpr int kBordo = 6, kBarra = 20;
// Where statements and scheme lie at the design's size.
const QRect kPosto(16, 72, 984, 518);

// Both ends of an arrow's shaft: the middle of the bottom edge of one box and a point on
// the top edge of the other.
QPoint sotto(const QLabel *l) { return QPoint(l->geometry().center().x(), l->geometry().bottom() + 2); }
QPoint sopra(const QLabel *l, int dx = 0)
{
    return QPoint(l->geometry().center().x() + dx, l->geometry().top() - 3);
}

} // namespace

FLstoria1::FLstoria1(Application &app)
    : ScreenBase(app, QStringLiteral("SCHEMI DELLE RELAZIONI CAUSALI: clicca sui testi e trascinali nelle "
                                     "caselle appropriate.")),
      model_(app.session())
{
    Labtitolo = new QLabel(windowTitle(), this);
    Labtitolo->setObjectName("Labtitolo");
    Labtitolo->setFont(sans(15, true));
    Labtitolo->setWordWrap(true);
    Labtitolo->setAlignment(Qt::AlignCenter);
    Labtitolo->setGeometry(16, 6, 984, 56);

    riquadro = new RowPane(QStringLiteral("Riquadroschema"), QStringLiteral("Frasi e schema"), this);
    riquadro->setGeometry(kPosto.adjusted(-kBordo, -kBordo, kBordo, kBordo));
    board = new DragDropBoard(this);
    for (int i = 0; i < 4; ++i) {
        auto *t = new QLabel(riquadro->rows());
        t->setObjectName(QStringLiteral("Label2_%1").arg(i));
        t->setFont(sans(14));
        t->setWordWrap(true);
        t->setAlignment(Qt::AlignCenter);
        t->setFrameStyle(QFrame::Box | QFrame::Plain);
        t->setMargin(4);
        setBackColor(t, kArancioChiaro);
        Label2[size_t(i)] = t;
        board->addSource(t, i);

        auto *c = new QLabel(riquadro->rows());
        c->setObjectName(QStringLiteral("Label1_%1").arg(i));
        c->setFont(sans(14, true));
        c->setWordWrap(true);
        c->setAlignment(Qt::AlignCenter);
        c->setFrameStyle(QFrame::Box | QFrame::Plain);
        c->setLineWidth(2);
        c->setMargin(4);
        setBackColor(c, kArancio);
        Label1[size_t(i)] = c;
        board->addTarget(c, i);
    }

    for (QWidget *&f : fondo_)
        f = new QWidget(riquadro->rows());
    for (int n = 0; n < 12; ++n) {
        auto *l = new LineShape(riquadro->rows(), 3, Qt::black);
        l->setObjectName(QStringLiteral("Line%1").arg(n + 1));
        linee_[size_t(n)] = l;
    }
    Line1 = linee_[0]; Line2 = linee_[1]; Line3 = linee_[2]; Line4 = linee_[3];
    Line5 = linee_[4]; Line6 = linee_[5]; Line7 = linee_[6]; Line8 = linee_[7];
    Line9 = linee_[8]; Line10 = linee_[9]; Line11 = linee_[10]; Line12 = linee_[11];

    const QColor grigio(192, 192, 192);
    Labnuovo = raisedButton(QStringLiteral("Labnuovo"), QStringLiteral("Nuove frasi"), QRect(290, 620, 240, 60), 18,
                            3, grigio);
    Labesco = raisedButton(QStringLiteral("Labesco"), QStringLiteral("Esco"), QRect(570, 620, 160, 60), 18, 3, grigio);

    Labascolta = listenButton(QStringLiteral("Labascolta"), QStringLiteral("Ascolta le frasi"), QRect(16, 620, 264, 60),
                              [this] { return ascolto::affermazioni(model_); });
    setTabChain({Labascolta, Label2[0], Label2[1], Label2[2], Label2[3], Label1[0], Label1[1], Label1[2], Label1[3], Labnuovo,
                 Labesco});

    // Larger text asks for the other arrangement.
    connect(&app, &Application::presentationChanged, this, &FLstoria1::disponi);
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

void FLstoria1::freccia(LineShape *asta, LineShape *punta1, LineShape *punta2, QPoint da, QPoint a)
{
    asta->setLine(da, a);
    const double angolo = qAtan2(double(da.y() - a.y()), double(da.x() - a.x()));
    const double lato = 16.0;
    const double apertura = qDegreesToRadians(28.0);
    auto estremo = [&](double s) {
        return QPoint(a.x() + qRound(lato * qCos(angolo + s)), a.y() + qRound(lato * qSin(angolo + s)));
    };
    punta1->setLine(a, estremo(apertura));
    punta2->setLine(a, estremo(-apertura));
    for (LineShape *l : {asta, punta1, punta2})
        l->show();
}

void FLstoria1::disponi()
{
    for (LineShape *l : linee_)
        l->hide();
    const bool larger = scaler_->presentation().largerText();
    const bool quattro = model_.caselle() == 4;
    Labtitolo->setGeometry(16, 6, 984, larger ? kTitoloH : 56);
    const QRect posto = larger ? QRect(16, kColonnaY, kSchemaX + kSchemaW - 16, kColonnaH) : kPosto;
    const QRect box = posto.adjusted(-kBordo, -kBordo, kBordo + (larger ? kBarra : 0), kBordo);
    riquadro->setGeometry(box);
    // Places a control of the box from where it stands on the screen.
    const QPoint o = box.topLeft();
    auto metti = [o](QWidget *w, int x, int y, int width, int height) { w->setGeometry(QRect(x, y, width, height).translated(-o)); };
    if (larger) {
        // Larger text: the statements one under the other on the left, the scheme on the
        // right, both filling the height from under the title to above the buttons, which
        // move down to the screen's lower edge. Where they need more, the box scrolls.
        const int n = model_.caselle(), alte = (kColonnaH - (n - 1) * 10) / n;
        for (int i = 0; i < 4; ++i)
            metti(Label2[size_t(i)], 16, kColonnaY + i * (alte + 10), kFrasiW, alte);
        const int casella = (kColonnaH - 2 * 48) / 3, riga = casella + 48, x = kSchemaX, mezza = (kSchemaW - 16) / 2;
        if (model_.tiposchema() == 1) {
            for (int i = 0; i < 3; ++i)
                metti(Label1[size_t(i)], x, kColonnaY + i * riga, kSchemaW, casella);
        } else {
            metti(Label1[0], x, kColonnaY, mezza, casella);
            metti(Label1[1], x + kSchemaW - mezza, kColonnaY, mezza, casella);
            metti(Label1[2], x, kColonnaY + riga, kSchemaW, casella);
            metti(Label1[3], x, kColonnaY + 2 * riga, kSchemaW, casella);
        }
    } else if (model_.tiposchema() == 1) {
        metti(Label2[0], 16, 72, 484, 72);
        metti(Label2[1], 516, 72, 484, 72);
        metti(Label2[2], 266, 154, 484, 72);
        metti(Label1[0], 208, 250, 600, 80);
        metti(Label1[1], 208, 376, 600, 80);
        metti(Label1[2], 208, 502, 600, 80);
    } else {
        metti(Label2[0], 16, 72, 484, 72);
        metti(Label2[1], 516, 72, 484, 72);
        metti(Label2[2], 16, 154, 484, 72);
        metti(Label2[3], 516, 154, 484, 72);
        metti(Label1[0], 16, 250, 450, 80);
        metti(Label1[1], 550, 250, 450, 80);
        metti(Label1[2], 208, 380, 600, 80);
        metti(Label1[3], 208, 510, 600, 80);
    }
    if (model_.tiposchema() == 1) {
        freccia(Line1, Line3, Line4, sotto(Label1[0]), sopra(Label1[1]));
        freccia(Line2, Line5, Line6, sotto(Label1[1]), sopra(Label1[2]));
    } else {
        // The two causes' arrows meet the effect's box a quarter of its width apart (120
        // in the design's wider scheme).
        const int dx = larger ? Label1[2]->width() / 4 : 120;
        freccia(Line1, Line3, Line4, sotto(Label1[0]), sopra(Label1[2], -dx));
        freccia(Line7, Line8, Line9, sotto(Label1[1]), sopra(Label1[2], dx));
        freccia(Line2, Line5, Line6, sotto(Label1[2]), sopra(Label1[3]));
    }
    Label2[3]->setVisible(quattro);
    Label1[3]->setVisible(quattro);
    // Under the last statement and the last box, the room the box keeps below them.
    const int ultima = model_.caselle() - 1;
    for (auto [f, su] : {std::pair{fondo_[0], Label2[size_t(ultima)]}, std::pair{fondo_[1], Label1[size_t(ultima)]}})
        f->setGeometry(su->x(), su->geometry().bottom() + 1, su->width(), kBordo);
    const int y = larger ? kBottoniY : 620;
    Labascolta->setGeometry(16, y, 264, 60);
    Labnuovo->setGeometry(290, y, 240, 60);
    Labesco->setGeometry(570, y, 160, 60);
    scaler_->clearStacks();
    if (!larger)
        return;
    // With larger text the title takes the height it needs and the box what is left above
    // the buttons; in the box the statements and the scheme's boxes take the height their
    // texts need, each arrow moving with the gap it spans, so it still joins its boxes.
    scaler_->addStack(Qt::Vertical, {{Labtitolo}, {riquadro}}, y - 8 + kBordo);
    QList<QList<QWidget *>> frasi, schema;
    for (int i = 0; i < model_.caselle(); ++i)
        frasi << QList<QWidget *>{Label2[size_t(i)]};
    frasi << QList<QWidget *>{fondo_[0]};
    if (model_.tiposchema() == 1)
        schema << QList<QWidget *>{Label1[0]} << QList<QWidget *>{Line1, Line3, Line4} << QList<QWidget *>{Label1[1]}
               << QList<QWidget *>{Line2, Line5, Line6} << QList<QWidget *>{Label1[2]};
    else
        schema << QList<QWidget *>{Label1[0], Label1[1]} << QList<QWidget *>{Line1, Line3, Line4, Line7, Line8, Line9}
               << QList<QWidget *>{Label1[2]} << QList<QWidget *>{Line2, Line5, Line6} << QList<QWidget *>{Label1[3]};
    scaler_->addStack(Qt::Vertical, frasi, ScreenScaler::kNoEnd);
    scaler_->addStack(Qt::Vertical, schema, ScreenScaler::kNoEnd);
}

void FLstoria1::redraw()
{
    disponi();
    for (int i = 0; i < 4; ++i) {
        Label1[size_t(i)]->setText(model_.casella(i));
        setBackColor(Label1[size_t(i)], kArancio);
        Label2[size_t(i)]->setText(model_.frase(i));
        setBackColor(Label2[size_t(i)], model_.usata(i) ? kMagenta : kArancioChiaro);
    }
}

} // namespace qv::ui
