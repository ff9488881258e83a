#include "ui/screens/flettura.h"

#include "battery/ascolto.h"
#include "ui/access/keyboard.h"
#include "ui/access/optionkeys.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/textpane.h"

#include <QScrollBar>
#include <QSignalBlocker>

namespace qv::ui {

namespace {

// The design's point sizes (12, 10, 14) are scaled up so that the texts stay legible on a
// 1024 × 768 display; their proportions are kept.
constexpr double kScala = 1.35;

constexpr int kTestoX = 20, kTestoY = 20, kTestoW = 535, kTestoH = 690, kTesto2Y = 350;
constexpr int kColX = 585, kColW = 411;
constexpr int kRigaY = 140, kRigaH = 108, kBox = 30;

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
    LabtestoRiquadro->setGeometry(kTestoX, kTestoY, kTestoW, kTestoH);
    Labtesto = LabtestoRiquadro->label();
    Labtesto->setStyleSheet(QString::fromLatin1(kStileTesto));

    // Over the lower part of Labtesto; only the synthesis question uses it.
    Labtesto2Riquadro = new TextPane(QStringLiteral("Labtesto2"), QStringLiteral("Riassunti c e d"), this);
    Labtesto2Riquadro->setGeometry(kTestoX, kTestoY + kTesto2Y, kTestoW, kTestoH - kTesto2Y);
    Labtesto2 = Labtesto2Riquadro->label();
    Labtesto2->setStyleSheet(QString::fromLatin1(kStileTesto));
    Labtesto2Riquadro->hide();

    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setGeometry(kTestoX + kTestoW + 10, kTestoY, 8, kTestoH);
    setBackColor(Label2, vbColor(0x8B4513)); // dark blue

    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("Labris_%1").arg(i));
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        if (i == 0) {
            l->setFont(serif(17, true));
            l->setAlignment(Qt::AlignTop | Qt::AlignLeft);
            l->setGeometry(kColX, kTestoY, kColW, kRigaY - kTestoY - 10);
        } else {
            l->setFont(serif(16));
            l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
            l->setGeometry(kColX + kBox + 12, kRigaY + (i - 1) * kRigaH, kColW - kBox - 12, kRigaH - 6);
        }
        setTextColor(l, QColor(0x10, 0x10, 0x10));
        Labris[size_t(i)] = l;
    }

    for (int k = 0; k < 4; ++k) {
        auto *c = new QCheckBox(this);
        c->setObjectName(QStringLiteral("Check1_%1").arg(k));
        c->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(kBox - 4));
        // Centred on its option's row.
        c->setGeometry(kColX, kRigaY + k * kRigaH + (kRigaH - 6 - kBox) / 2, kBox, kBox);
        c->setCursor(Qt::PointingHandCursor);
        connect(c, &QCheckBox::clicked, this, [this, k](bool ticked) { Check1_Click(k, ticked); });
        Check1[size_t(k)] = c;
    }

    Labseguente = new ClickLabel(QStringLiteral("       Domanda seguente"), this);
    Labseguente->setObjectName("Labseguente");
    Labseguente->setFont(QFont(QStringLiteral("Liberation Sans"), 18, QFont::Bold));
    Labseguente->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    Labseguente->setGeometry(kColX, 580, kColW, 58);
    Labseguente->setStyleSheet(
        QString::fromLatin1(kStileBottone).arg(QStringLiteral("#204d80"), QStringLiteral("#dcebff"), QStringLiteral("#0b2a57")));
    connect(Labseguente, &ClickLabel::clicked, this, &FLETTURA::Labseguente_Click);

    Labesco = new ClickLabel(QStringLiteral("Esco"), this);
    Labesco->setObjectName("Labesco");
    Labesco->setFont(QFont(QStringLiteral("Liberation Sans"), 16, QFont::Bold));
    Labesco->setAlignment(Qt::AlignCenter);
    Labesco->setGeometry(kColX, 652, 150, 52);
    Labesco->setStyleSheet(
        QString::fromLatin1(kStileBottone).arg(QStringLiteral("#8a3b12"), QStringLiteral("#fde8dc"), QStringLiteral("#5a1f05")));
    connect(Labesco, &ClickLabel::clicked, this, &FLETTURA::Labesco_Click);

    Labascoltadomanda = listenButton(QStringLiteral("Labascoltadomanda"), QStringLiteral("Ascolta\ndomanda"),
                                     QRect(745, 652, 80, 52), [this] { return ascolto::domanda(model_); });
    Labascoltarisposte = listenButton(QStringLiteral("Labascoltarisposte"), QStringLiteral("Ascolta\nrisposte"),
                                      QRect(830, 652, 80, 52), [this] { return ascolto::risposte(model_); });
    Labascoltabrano = listenButton(QStringLiteral("Labascoltabrano"), QStringLiteral("Ascolta\ntesto"),
                                   QRect(915, 652, 81, 52), [this] { return ascolto::brano(model_); }, true,
                                   [this] { return ascolto::hasBrano(model_); });
    // With larger text the question and the options take the height their texts need,
    // down to "Domanda seguente".
    QList<QList<QWidget *>> righe{{Labris[0]}};
    for (int k = 0; k < 4; ++k)
        righe.append(QList<QWidget *>{Check1[size_t(k)], Labris[size_t(k + 1)]});
    scaler_->addStack(Qt::Vertical, righe, 576);
    // The listen buttons widen into what "Esco" does not need.
    scaler_->addStack(Qt::Horizontal, {{Labesco}, {Labascoltadomanda}, {Labascoltarisposte}, {Labascoltabrano}}, 996);
    new OptionKeys(this, Check1);
    setTabChain({LabtestoRiquadro, Labtesto2Riquadro, Check1[0], Check1[1], Check1[2], Check1[3], Labascoltadomanda, Labascoltarisposte, Labascoltabrano, Labseguente, Labesco});
}

void FLETTURA::activate()
{
    move(0, 0);
    loadBackground();
    model_.setUp();
    mostra();
}

void FLETTURA::mostra()
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(model_.testoPunti() * kScala);
    Labtesto->setFont(f);
    Labtesto->setText(aCapo(model_.testo()));
    Labtesto2->setFont(f);
    Labtesto2->setText(aCapo(model_.testo2()));
    // At the synthesis question the first box ends where the second begins, so that what
    // does not fit scrolls instead of going under it.
    const bool due = model_.testo2Visible();
    LabtestoRiquadro->setGeometry(kTestoX, kTestoY, kTestoW, due ? kTesto2Y : kTestoH);
    Labtesto2Riquadro->setVisible(due);
    LabtestoRiquadro->verticalScrollBar()->setValue(0);
    Labtesto2Riquadro->verticalScrollBar()->setValue(0);

    for (int i = 0; i < 5; ++i)
        Labris[size_t(i)]->setText(model_.labris(i));
    for (int k = 0; k < 4; ++k) {
        // A box is named by its option's text (Labris 1..4 beside boxes 0..3).
        Check1[size_t(k)]->setAccessibleName(model_.labris(k + 1).simplified());
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
        mostra();
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
