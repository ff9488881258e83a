#include "ui/screens/flfrasi.h"

#include "battery/ascolto.h"
#include "ui/access/keyboard.h"
#include "ui/access/optionkeys.h"
#include "ui/widgets/clicklabel.h"

#include "ui/access/contrastcolours.h"

#include <QSignalBlocker>

namespace qv::ui {

namespace {

constexpr int kRigaH = 92;
const QColor kCarta(0xff, 0xfe, 0xf6), kBordo(0x6b, 0x5a, 0x2e), kInchiostro(0x10, 0x10, 0x10);

// A framed box of the screen: its sheet from the look, its colour a design colour too, so
// that the texts on it take it as their background in high contrast.
QString frameSheet(const Look &look, const QString &name)
{
    const QColor back = look.back(kCarta);
    return QStringLiteral("QFrame#%1 { background: %2; border: %3px solid %4; border-radius: %5px; }")
        .arg(name, back.name())
        .arg(look.px(look.presentation.highContrast ? 3 : 2))
        .arg((look.presentation.highContrast ? contrastBorder(back) : kBordo).name())
        .arg(look.px(8));
}

} // namespace

FLfrasi::FLfrasi(Application &app) : ScreenBase(app, QStringLiteral("COMPRENSIONE DI FRASI")), model_(app.session())
{
    QWidget *page = makeBody();
    Frame2 = new QFrame(page);
    Frame2->setObjectName("Frame2");
    setDesignBack(Frame2, kCarta);

    Label1 = new QLabel(Frame2);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    setDesignText(Label1, 21, true);
    Label1->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    setDesignInk(Label1, kInchiostro);
    premessa_ = new QVBoxLayout(Frame2);
    premessa_->addWidget(Label1);

    Frame1 = new QFrame(page);
    Frame1->setObjectName("Frame1");
    setDesignBack(Frame1, kCarta);
    rows_ = new QGridLayout(Frame1);

    std::array<QLabel **, 4> numeri = {&Label6, &Label7, &Label8, &Label9};
    for (int k = 0; k < 4; ++k) {
        auto *n = new QLabel(QString::number(k + 1), Frame1);
        n->setObjectName(QStringLiteral("Label%1").arg(6 + k));
        setDesignText(n, 24, true);
        n->setAlignment(Qt::AlignCenter);
        setDesignInk(n, QColor(0x20, 0x4d, 0x80));
        *numeri[size_t(k)] = n;

        auto *c = new QLabel(Frame1);
        c->setObjectName(QStringLiteral("Label2_%1").arg(k));
        c->setTextFormat(Qt::PlainText);
        c->setWordWrap(true);
        setDesignText(c, 19);
        c->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        setDesignInk(c, kInchiostro);
        Label2[size_t(k)] = c;

        auto *b = new QCheckBox(QString::number(k + 1), Frame1);
        b->setObjectName(QStringLiteral("Check1_%1").arg(k));
        setDesignText(b, 20, true);
        b->setCursor(Qt::PointingHandCursor);
        connect(b, &QCheckBox::clicked, this, [this, k](bool ticked) { Check1_Click(k, ticked); });
        Check1[size_t(k)] = b;
        // Each box with its digit centred on its row, at the row's right.
        rows_->addWidget(n, k, 0);
        rows_->addWidget(c, k, 1);
        rows_->addWidget(b, k, 2, Qt::AlignRight | Qt::AlignVCenter);
    }
    rows_->setColumnStretch(1, 1);

    Labseguente = new ClickLabel(QStringLiteral("Domanda seguente"), page);
    Labseguente->setObjectName("Labseguente");
    setDesignText(Labseguente, 18, true);
    Labseguente->setAlignment(Qt::AlignCenter);
    Labseguente->setWordWrap(true);
    connect(Labseguente, &ClickLabel::clicked, this, &FLfrasi::Labseguente_Click);

    Labesco = new ClickLabel(QStringLiteral("Esco"), page);
    Labesco->setObjectName("Labesco");
    setDesignText(Labesco, 16, true);
    Labesco->setAlignment(Qt::AlignCenter);
    connect(Labesco, &ClickLabel::clicked, this, [this] { model_.leave(); });

    Labascoltafrase = listenButton(QStringLiteral("Labascoltafrase"), QStringLiteral("Ascolta la frase"),
                                   [this] { return ascolto::premessa(model_); });
    Labascoltaconclusioni =
        listenButton(QStringLiteral("Labascoltaconclusioni"), QStringLiteral("Ascolta le conclusioni"),
                     [this] { return ascolto::conclusioni(model_); });
    // "Domanda seguente" on the left, "Esco" on the right whether or not the listen buttons
    // between them are shown; with larger text they widen into what the others do not need.
    buttons_ = new QHBoxLayout;
    buttons_->addWidget(Labseguente);
    buttons_->addStretch();
    for (ClickLabel *b : {Labascoltafrase, Labascoltaconclusioni})
        buttons_->addWidget(b, 1, Qt::AlignVCenter);
    buttons_->addWidget(Labesco, 0, Qt::AlignVCenter);
    page_ = new QVBoxLayout(page);
    page_->addWidget(Frame2);
    page_->addWidget(Frame1);
    page_->addLayout(buttons_);
    page_->addStretch();
    new OptionKeys(this, Check1);
    setTabChain({Check1[0], Check1[1], Check1[2], Check1[3], Labascoltafrase, Labascoltaconclusioni, Labseguente, Labesco});
}

// The design's lengths on this display; at larger text each box as tall as its row, so that
// the digit keeps its size.
void FLfrasi::layOut(const Look &look)
{
    page_->setContentsMargins(look.px(30), look.px(30), look.px(30), 0);
    page_->setSpacing(look.px(20));
    Frame2->setStyleSheet(frameSheet(look, QStringLiteral("Frame2")));
    Frame1->setStyleSheet(frameSheet(look, QStringLiteral("Frame1")));
    Frame2->setMinimumHeight(look.px(170));
    // The design's places are from the frame's outer edge; the layouts start inside its border.
    const int line = look.px(look.presentation.highContrast ? 3 : 2);
    premessa_->setContentsMargins(look.px(20) - line, look.px(10) - line, look.px(20) - line, look.px(10) - line);
    rows_->setContentsMargins(look.px(12) - line, look.px(10) - line, look.px(26) - line, look.px(18) - line);
    rows_->setHorizontalSpacing(look.px(12));
    rows_->setVerticalSpacing(look.px(8));
    const int h = look.presentation.largerText() ? kRigaH - 8 : 40;
    for (int k = 0; k < 4; ++k) {
        rows_->setRowMinimumHeight(k, look.px(kRigaH - 8));
        Label6->setMinimumWidth(look.px(48));
        Label2[size_t(k)]->setMinimumWidth(look.px(600));
        Check1[size_t(k)]->setFixedSize(look.px(90), look.px(h));
        Check1[size_t(k)]->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(look.px(28)));
    }
    rows_->setColumnMinimumWidth(0, look.px(48));
    rows_->setColumnMinimumWidth(2, look.px(106));
    buttons_->setContentsMargins(0, look.px(12), 0, 0);
    buttons_->setSpacing(look.px(10));
    Labseguente->setMinimumSize(look.px(400), look.px(60));
    Labseguente->setStyleSheet(roundedBoxSheet(look, QColor(0xdc, 0xeb, 0xff), QColor(0x0b, 0x2a, 0x57), QColor(0x20, 0x4d, 0x80), 2, 10));
    Labesco->setStyleSheet(roundedBoxSheet(look, QColor(0xfd, 0xe8, 0xdc), QColor(0x5a, 0x1f, 0x05), QColor(0x8a, 0x3b, 0x12), 2, 10));
    Labesco->setMinimumSize(look.px(150), look.px(52));
    Labascoltafrase->setMinimumSize(look.px(180), look.px(52));
    Labascoltaconclusioni->setMinimumSize(look.px(186), look.px(52));
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
