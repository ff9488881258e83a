#include "ui/screens/flfrasi.h"

#include "battery/ascolto.h"
#include "ui/access/keyboard.h"
#include "ui/access/optionkeys.h"
#include "ui/widgets/clicklabel.h"

#include <QSignalBlocker>

namespace qv::ui {

namespace {

constexpr int kRigaH = 92;
const char *kStileFrame = "QFrame#%1 { background: #fffef6; border: 2px solid #6b5a2e; border-radius: 8px; }";
const char *kStileBottone = "QLabel { border: 2px solid %1; border-radius: 10px; background: %2; color: %3; }";

} // namespace

FLfrasi::FLfrasi(Application &app) : ScreenBase(app, QStringLiteral("COMPRENSIONE DI FRASI")), model_(app.session())
{
    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(30, 30, 956, 170);
    Frame2->setStyleSheet(QString::fromLatin1(kStileFrame).arg(QStringLiteral("Frame2")));

    Label1 = new QLabel(Frame2);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setFont(sans(21, true));
    Label1->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    Label1->setGeometry(20, 10, 916, 150);
    setTextColor(Label1, QColor(0x10, 0x10, 0x10));

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(30, 220, 956, 4 * kRigaH + 20);
    Frame1->setStyleSheet(QString::fromLatin1(kStileFrame).arg(QStringLiteral("Frame1")));

    std::array<QLabel **, 4> numeri = {&Label6, &Label7, &Label8, &Label9};
    for (int k = 0; k < 4; ++k) {
        const int y = 10 + k * kRigaH;
        auto *n = new QLabel(QString::number(k + 1), Frame1);
        n->setObjectName(QStringLiteral("Label%1").arg(6 + k));
        n->setFont(sans(24, true));
        n->setAlignment(Qt::AlignCenter);
        n->setGeometry(12, y, 48, kRigaH - 8);
        setTextColor(n, QColor(0x20, 0x4d, 0x80));
        *numeri[size_t(k)] = n;

        auto *c = new QLabel(Frame1);
        c->setObjectName(QStringLiteral("Label2_%1").arg(k));
        c->setTextFormat(Qt::PlainText);
        c->setWordWrap(true);
        c->setFont(sans(19));
        c->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        c->setGeometry(72, y, 740, kRigaH - 8);
        setTextColor(c, QColor(0x10, 0x10, 0x10));
        Label2[size_t(k)] = c;

        auto *b = new QCheckBox(QString::number(k + 1), Frame1);
        b->setObjectName(QStringLiteral("Check1_%1").arg(k));
        b->setFont(sans(20, true));
        b->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: 28px; height: 28px; }"));
        b->setCursor(Qt::PointingHandCursor);
        connect(b, &QCheckBox::clicked, this, [this, k](bool ticked) { Check1_Click(k, ticked); });
        Check1[size_t(k)] = b;
    }

    Labseguente = new ClickLabel(QStringLiteral("Domanda seguente"), this);
    Labseguente->setObjectName("Labseguente");
    Labseguente->setFont(sans(18, true));
    Labseguente->setAlignment(Qt::AlignCenter);
    Labseguente->setGeometry(30, 640, 400, 60);
    Labseguente->setStyleSheet(
        QString::fromLatin1(kStileBottone).arg(QStringLiteral("#204d80"), QStringLiteral("#dcebff"), QStringLiteral("#0b2a57")));
    connect(Labseguente, &ClickLabel::clicked, this, &FLfrasi::Labseguente_Click);

    Labesco = new ClickLabel(QStringLiteral("Esco"), this);
    Labesco->setObjectName("Labesco");
    Labesco->setFont(sans(16, true));
    Labesco->setAlignment(Qt::AlignCenter);
    Labesco->setGeometry(836, 644, 150, 52);
    Labesco->setStyleSheet(
        QString::fromLatin1(kStileBottone).arg(QStringLiteral("#8a3b12"), QStringLiteral("#fde8dc"), QStringLiteral("#5a1f05")));
    connect(Labesco, &ClickLabel::clicked, this, [this] { model_.leave(); });

    Labascoltafrase = listenButton(QStringLiteral("Labascoltafrase"), QStringLiteral("Ascolta la frase"),
                                   QRect(450, 644, 180, 52), [this] { return ascolto::premessa(model_); });
    Labascoltaconclusioni = listenButton(QStringLiteral("Labascoltaconclusioni"), QStringLiteral("Ascolta le conclusioni"),
                                         QRect(640, 644, 186, 52), [this] { return ascolto::conclusioni(model_); });
    // With larger text the listen buttons widen into what the other two do not need.
    scaler_->addStack(Qt::Horizontal, {{Labseguente}, {Labascoltafrase}, {Labascoltaconclusioni}, {Labesco}}, 986);
    placeBoxes();
    connect(&app, &Application::presentationChanged, this, &FLfrasi::placeBoxes);
    new OptionKeys(this, Check1);
    setTabChain({Check1[0], Check1[1], Check1[2], Check1[3], Labascoltafrase, Labascoltaconclusioni, Labseguente, Labesco});
}

// Each box with its digit centred on its row; at larger text as tall as the row, so that
// the digit keeps its size.
void FLfrasi::placeBoxes()
{
    const int h = scaler_->presentation().largerText() ? kRigaH - 8 : 40;
    for (int k = 0; k < 4; ++k)
        Check1[size_t(k)]->setGeometry(840, 10 + k * kRigaH + (kRigaH - 8 - h) / 2, 90, h);
}

void FLfrasi::activate()
{
    loadBackground();
    move(0, 0);
    model_.setUp();
    redraw();
}

void FLfrasi::redraw()
{
    Label1->setText(model_.premessa());
    for (int k = 0; k < 4; ++k) {
        Label2[size_t(k)]->setText(model_.conclusione(k));
        Check1[size_t(k)]->setAccessibleName(QStringLiteral("%1. %2").arg(k + 1).arg(model_.conclusione(k).simplified()));
        const QSignalBlocker b(Check1[size_t(k)]);
        Check1[size_t(k)]->setChecked(model_.checked(k));
    }
}

void FLfrasi::Check1_Click(int k, bool ticked)
{
    model_.choose(k, ticked);
    for (int j = 0; j < 4; ++j) {
        const QSignalBlocker b(Check1[size_t(j)]);
        Check1[size_t(j)]->setChecked(model_.checked(j));
    }
}

void FLfrasi::Labseguente_Click()
{
    switch (model_.nextQuestion()) {
    case FrasiModel::Outcome::Shown:
    case FrasiModel::Outcome::NotStored:
        redraw();
        break;
    default:
        break;
    }
}

} // namespace qv::ui
