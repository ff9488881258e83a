#include "ui/screens/flettura.h"

#include "battery/ascolto.h"
#include "ui/access/keyboard.h"
#include "ui/access/optionkeys.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/rowpane.h"
#include "ui/widgets/textpane.h"

#include <QScrollBar>
#include <QSignalBlocker>

namespace qv::ui {

namespace {

// The design's point sizes (12, 10, 14) are scaled up so that the texts stay legible on a
// 1024 × 768 display; their proportions are kept.
constexpr double kScala = 1.35;

constexpr int kTestoX = 20, kTestoY = 20, kTestoW = 535, kTestoH = 690, kTesto2Y = 350;
constexpr int kColX = 585, kColW = 411, kColFine = kColX + kColW;
// In the readable face, wider than the design's, the passage gives this much of its width (it
// scrolls anyway) to the column of the question, whose texts would otherwise need more
// scrolling than the passage's; at text 150 % what "Domanda seguente" needs on one line.
constexpr int kCede = 110, kCede150 = 40;
constexpr int kRigaY = 140, kRigaH = 108, kBox = 30;
// The question and its options lie in a box of rows from the column's left, kTestoY down to
// "Domanda seguente"; its scroll bar, when larger text needs one, takes the screen's right margin.
constexpr int kDomandeH = 556, kBarra = 20;

QFont serif(double points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QString aCapo(QString s)
{
    // Line breaks are stored as carriage returns; the label breaks lines at '\n'.
    return s.replace(QChar(13), QChar('\n'));
}

const char *kStileTesto = "QLabel { background: #fffef6; color: #111111; padding: 10px; }";
const char *kStileBottone = "QLabel { border: 2px solid %1; border-radius: 10px; background: %2; color: %3; }";

} // namespace

FLETTURA::FLETTURA(Application &app)
    : ScreenBase(app, QStringLiteral("COMPRENSIONE DELLA LETTURA")), model_(app.session())
{
    LabtestoRiquadro = new TextPane(QStringLiteral("Labtesto"), QStringLiteral("Testo"), this);
    Labtesto = LabtestoRiquadro->label();
    Labtesto->setStyleSheet(QString::fromLatin1(kStileTesto));

    // Over the lower part of Labtesto; only the synthesis question uses it.
    Labtesto2Riquadro = new TextPane(QStringLiteral("Labtesto2"), QStringLiteral("Riassunti c e d"), this);
    Labtesto2 = Labtesto2Riquadro->label();
    Labtesto2->setStyleSheet(QString::fromLatin1(kStileTesto));
    Labtesto2Riquadro->hide();

    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    setBackColor(Label2, vbColor(0x8B4513)); // dark blue

    Riquadrodomanda = new RowPane(QStringLiteral("Riquadrodomanda"), QStringLiteral("Domanda e risposte"), this);
    QWidget *righe = Riquadrodomanda->rows();
    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(righe);
        l->setObjectName(QStringLiteral("Labris_%1").arg(i));
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        if (i == 0) {
            l->setFont(serif(17, true));
            l->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        } else {
            l->setFont(serif(16));
            l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        }
        setTextColor(l, QColor(0x10, 0x10, 0x10));
        Labris[size_t(i)] = l;
    }

    for (int k = 0; k < 4; ++k) {
        auto *c = new QCheckBox(righe);
        c->setObjectName(QStringLiteral("Check1_%1").arg(k));
        c->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(kBox - 4));
        // Centred on its option's row.
        c->setGeometry(0, kRigaY - kTestoY + k * kRigaH + (kRigaH - 6 - kBox) / 2, kBox, kBox);
        c->setCursor(Qt::PointingHandCursor);
        connect(c, &QCheckBox::clicked, this, [this, k](bool ticked) { Check1_Click(k, ticked); });
        Check1[size_t(k)] = c;
    }

    Labseguente = new ClickLabel(QStringLiteral("       Domanda seguente"), this);
    Labseguente->setObjectName("Labseguente");
    Labseguente->setFont(QFont(QStringLiteral("Liberation Sans"), 18, QFont::Bold));
    Labseguente->setStyleSheet(
        QString::fromLatin1(kStileBottone).arg(QStringLiteral("#204d80"), QStringLiteral("#dcebff"), QStringLiteral("#0b2a57")));
    connect(Labseguente, &ClickLabel::clicked, this, &FLETTURA::Labseguente_Click);

    Labesco = new ClickLabel(QStringLiteral("Esco"), this);
    Labesco->setObjectName("Labesco");
    Labesco->setFont(QFont(QStringLiteral("Liberation Sans"), 16, QFont::Bold));
    Labesco->setAlignment(Qt::AlignCenter);
    Labesco->setStyleSheet(
        QString::fromLatin1(kStileBottone).arg(QStringLiteral("#8a3b12"), QStringLiteral("#fde8dc"), QStringLiteral("#5a1f05")));
    connect(Labesco, &ClickLabel::clicked, this, &FLETTURA::Labesco_Click);

    Labascoltadomanda = listenButton(QStringLiteral("Labascoltadomanda"), QStringLiteral("Ascolta\nla domanda"),
                                     QRect(), [this] { return ascolto::domanda(model_); });
    Labascoltarisposte = listenButton(QStringLiteral("Labascoltarisposte"), QStringLiteral("Ascolta\nle risposte"),
                                      QRect(), [this] { return ascolto::risposte(model_); });
    Labascoltabrano = listenButton(QStringLiteral("Labascoltabrano"), QStringLiteral("Ascolta\nil brano"),
                                   QRect(), [this] { return ascolto::brano(model_); }, true,
                                   [this] { return ascolto::hasBrano(model_); });
    // With larger text the question and the options take the height their texts need (their
    // box scrolls), the listen buttons widen into what "Esco" does not need, and the buttons
    // take the height their texts need from the box above them.
    QList<QList<QWidget *>> domanda{{Labris[0]}};
    for (int k = 0; k < 4; ++k)
        domanda.append(QList<QWidget *>{Check1[size_t(k)], Labris[size_t(k + 1)]});
    scaler_->addStack(Qt::Vertical, domanda, ScreenScaler::kNoEnd);
    scaler_->addStack(Qt::Horizontal, {{Labesco}, {Labascoltadomanda}, {Labascoltarisposte}, {Labascoltabrano}}, kColFine);
    scaler_->addStack(Qt::Vertical,
                      {{Riquadrodomanda}, {Labseguente}, {Labesco, Labascoltadomanda, Labascoltarisposte, Labascoltabrano}},
                      kTestoY + kTestoH);
    placeForText();
    connect(&app, &Application::presentationChanged, this, &FLETTURA::placeForText);
    new OptionKeys(this, Check1);
    setTabChain({LabtestoRiquadro, Labtesto2Riquadro, Check1[0], Check1[1], Check1[2], Check1[3], Labascoltadomanda, Labascoltarisposte, Labascoltabrano, Labseguente, Labesco});
}

int FLETTURA::testoW() const
{
    const Presentation &p = scaler_->presentation();
    return kTestoW - (p.readableFont ? kCede : p.textPercent > 125 ? kCede150 : 0);
}

// At the synthesis question the first box ends where the second begins, so that what does
// not fit scrolls instead of going under it.
void FLETTURA::placeText()
{
    LabtestoRiquadro->setGeometry(kTestoX, kTestoY, testoW(), model_.testo2Visible() ? kTesto2Y : kTestoH);
}

void FLETTURA::placeForText()
{
    const int w = testoW();
    placeText();
    Labtesto2Riquadro->setGeometry(kTestoX, kTestoY + kTesto2Y, w, kTestoH - kTesto2Y);
    Label2->setGeometry(kTestoX + w + 10, kTestoY, 8, kTestoH);
    const int x = kColX - (kTestoW - w), cw = kColFine - x;
    Riquadrodomanda->setGeometry(x, kTestoY, cw + kBarra, kDomandeH);
    Labris[0]->setGeometry(0, 0, cw, kRigaY - kTestoY - 10);
    for (int i = 1; i < 5; ++i)
        Labris[size_t(i)]->setGeometry(kBox + 12, kRigaY - kTestoY + (i - 1) * kRigaH, cw - kBox - 12, kRigaH - 6);
    Labseguente->setGeometry(x, 580, cw, 58);
    // Its leading blanks stand for centring; at larger text it may wrap, each line centred.
    Labseguente->setAlignment(w < kTestoW ? Qt::AlignCenter : Qt::AlignVCenter | Qt::AlignLeft);
    Labesco->setGeometry(x, 652, 124, 52);
    // The three listen buttons share what "Esco" leaves, 5 apart.
    const int b = (cw - 134 - 10) / 3;
    Labascoltadomanda->setGeometry(x + 134, 652, b, 52);
    Labascoltarisposte->setGeometry(x + 139 + b, 652, b, 52);
    Labascoltabrano->setGeometry(x + 144 + 2 * b, 652, kColFine - (x + 144 + 2 * b), 52);
}

void FLETTURA::activate()
{
    move(0, 0);
    loadBackground();
    model_.setUp();
    redraw();
}

void FLETTURA::prepare()
{
    model_.preview();
    redraw();
}

void FLETTURA::redraw()
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(model_.testoPunti() * kScala);
    Labtesto->setFont(f);
    Labtesto->setText(aCapo(model_.testo()));
    Labtesto2->setFont(f);
    Labtesto2->setText(aCapo(model_.testo2()));
    placeText();
    Labtesto2Riquadro->setVisible(model_.testo2Visible());
    LabtestoRiquadro->verticalScrollBar()->setValue(0);
    Labtesto2Riquadro->verticalScrollBar()->setValue(0);
    Riquadrodomanda->verticalScrollBar()->setValue(0);

    for (int i = 0; i < 5; ++i)
        Labris[size_t(i)]->setText(model_.labris(i));
    for (int k = 0; k < 4; ++k) {
        // A box is named by its option's text (Labris 1..4 beside boxes 0..3).
        Check1[size_t(k)]->setAccessibleName(model_.opzione(k));
        const QSignalBlocker b(Check1[size_t(k)]);
        Check1[size_t(k)]->setChecked(model_.checked(k));
    }
    refreshListenButtons();
}

void FLETTURA::Check1_Click(int k, bool ticked)
{
    model_.choose(k, ticked);
    for (int j = 0; j < 4; ++j) {
        const QSignalBlocker b(Check1[size_t(j)]);
        Check1[size_t(j)]->setChecked(model_.checked(j));
    }
}

void FLETTURA::Labseguente_Click()
{
    switch (model_.nextQuestion()) {
    case LetturaModel::Outcome::Shown:
    case LetturaModel::Outcome::NotStored:
        redraw();
        break;
    default:
        break;
    }
}

void FLETTURA::Labesco_Click()
{
    model_.leave();
}

} // namespace qv::ui
