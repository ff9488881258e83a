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

constexpr int kTestoW = 535, kTestoH = 690, kTesto2Y = 350;
// In the readable face, wider than the design's, the passage gives this much of its width (it
// scrolls anyway) to the column of the question, whose texts would otherwise need more
// scrolling than the passage's; at text 150 % what "Domanda seguente" needs on one line.
constexpr int kCede = 110, kCede150 = 40;
constexpr int kBox = 30;

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

const QColor kCarta(0xff, 0xfe, 0xf6), kInchiostro(0x11, 0x11, 0x11);

} // namespace

FLETTURA::FLETTURA(Application &app)
    : ScreenBase(app, QStringLiteral("COMPRENSIONE DELLA LETTURA")), model_(app.session())
{
    QWidget *page = makeBody();
    LabtestoRiquadro = new TextPane(QStringLiteral("Labtesto"), QStringLiteral("Testo"), page);
    Labtesto = LabtestoRiquadro->label();
    // Below the first box; only the synthesis question uses it.
    Labtesto2Riquadro = new TextPane(QStringLiteral("Labtesto2"), QStringLiteral("Riassunti c e d"), page);
    Labtesto2 = Labtesto2Riquadro->label();
    for (QLabel *t : {Labtesto, Labtesto2}) {
        setDesignBack(t, kCarta);
        setDesignInk(t, kInchiostro);
    }
    Labtesto2Riquadro->hide();

    Label2 = new QLabel(page);
    Label2->setObjectName("Label2");
    setDesignBack(Label2, vbColor(0x8B4513)); // dark blue

    Riquadrodomanda = new RowPane(QStringLiteral("Riquadrodomanda"), QStringLiteral("Domanda e risposte"), page);
    QWidget *righe = Riquadrodomanda->rows();
    rows_ = new QGridLayout(righe);
    rows_->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(righe);
        l->setObjectName(QStringLiteral("Labris_%1").arg(i));
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        setDesignText(l, i == 0 ? serif(17, true) : serif(16));
        l->setAlignment(i == 0 ? Qt::AlignTop | Qt::AlignLeft : Qt::AlignVCenter | Qt::AlignLeft);
        setDesignInk(l, QColor(0x10, 0x10, 0x10));
        Labris[size_t(i)] = l;
        if (i == 0)
            rows_->addWidget(l, 0, 0, 1, 2);
        else
            rows_->addWidget(l, i, 1);
    }
    rows_->setRowStretch(5, 1);

    for (int k = 0; k < 4; ++k) {
        auto *c = new QCheckBox(righe);
        c->setObjectName(QStringLiteral("Check1_%1").arg(k));
        c->setCursor(Qt::PointingHandCursor);
        // Centred on its option's row.
        rows_->addWidget(c, k + 1, 0, Qt::AlignVCenter);
        connect(c, &QCheckBox::clicked, this, [this, k](bool ticked) { Check1_Click(k, ticked); });
        Check1[size_t(k)] = c;
    }

    Labseguente = new ClickLabel(QStringLiteral("       Domanda seguente"), page);
    Labseguente->setObjectName("Labseguente");
    setDesignText(Labseguente, 18, true);
    connect(Labseguente, &ClickLabel::clicked, this, &FLETTURA::Labseguente_Click);

    Labesco = new ClickLabel(QStringLiteral("Esco"), page);
    Labesco->setObjectName("Labesco");
    setDesignText(Labesco, 16, true);
    Labesco->setAlignment(Qt::AlignCenter);
    connect(Labesco, &ClickLabel::clicked, this, &FLETTURA::Labesco_Click);

    Labascoltadomanda =
        listenButton(QStringLiteral("Labascoltadomanda"), QStringLiteral("Ascolta\nla domanda"),
                     [this] { return ascolto::domanda(model_); });
    Labascoltarisposte =
        listenButton(QStringLiteral("Labascoltarisposte"), QStringLiteral("Ascolta\nle risposte"),
                     [this] { return ascolto::risposte(model_); });
    Labascoltabrano = listenButton(
        QStringLiteral("Labascoltabrano"), QStringLiteral("Ascolta\nil brano"),
        [this] { return ascolto::brano(model_); }, true, [this] { return ascolto::hasBrano(model_); });

    // The passage on the left, a dark bar, and the question's column: the question and its
    // options in their box (it scrolls with larger text), "Domanda seguente", then "Esco"
    // with the listen buttons sharing what it leaves.
    auto *texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(LabtestoRiquadro, 1);
    texts->addWidget(Labtesto2Riquadro, 1);
    buttons_ = new QHBoxLayout;
    buttons_->addWidget(Labesco);
    for (ClickLabel *b : {Labascoltadomanda, Labascoltarisposte, Labascoltabrano})
        buttons_->addWidget(b, 1);
    buttons_->addStretch(); // "Esco" keeps its size when they are hidden
    under_ = new QVBoxLayout;
    under_->addWidget(Labseguente);
    under_->addLayout(buttons_);
    question_ = new QVBoxLayout;
    question_->addWidget(Riquadrodomanda, 1);
    question_->addLayout(under_);
    page_ = new QHBoxLayout(page);
    page_->addLayout(texts);
    page_->addWidget(Label2);
    page_->addLayout(question_, 1);

    new OptionKeys(this, Check1);
    setTabChain({LabtestoRiquadro, Labtesto2Riquadro, Check1[0], Check1[1], Check1[2], Check1[3], Labascoltadomanda, Labascoltarisposte, Labascoltabrano, Labseguente, Labesco});
}

int FLETTURA::testoW() const
{
    const Presentation &p = look().presentation;
    return kTestoW - (p.readableFont ? kCede : p.textPercent > 125 ? kCede150 : 0);
}

void FLETTURA::placeText()
{
    const Look l = look();
    if (model_.testo2Visible())
        LabtestoRiquadro->setFixedHeight(l.px(kTesto2Y));
    else {
        LabtestoRiquadro->setMinimumHeight(0);
        LabtestoRiquadro->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    // Laid out now, not at the next turn of the event loop: the boxes' bars are right at once.
    if (page_)
        page_->activate();
}

// The design's lengths on this display; the passage narrower at the larger texts that need
// the room in the question's column, "Domanda seguente" wrapping there if it must.
void FLETTURA::layOut(const Look &look)
{
    const int w = testoW();
    page_->setContentsMargins(look.px(20), look.px(20), 0, look.px(20));
    page_->setSpacing(look.px(10));
    for (TextPane *t : {LabtestoRiquadro, Labtesto2Riquadro})
        t->setFixedWidth(look.px(w));
    for (QLabel *t : {Labtesto, Labtesto2})
        t->setMargin(look.px(10));
    Label2->setFixedWidth(look.px(8));
    page_->setStretch(1, 0);
    // The column's left edge 12 from the bar; its box 20 wider than its texts, for the bar.
    question_->setContentsMargins(look.px(2), 0, 0, 0);
    question_->setSpacing(look.px(4));
    // Below the box, the buttons leave its bar's breadth on the right.
    under_->setContentsMargins(0, 0, look.px(20), 0);
    under_->setSpacing(0);
    Riquadrodomanda->setMinimumHeight(look.px(120));
    rows_->setHorizontalSpacing(look.px(12));
    rows_->setVerticalSpacing(look.px(6));
    rows_->setContentsMargins(0, 0, look.px(20), 0);
    Labris[0]->setMinimumHeight(look.px(114));
    for (int i = 1; i < 5; ++i)
        Labris[size_t(i)]->setMinimumHeight(look.px(102));
    for (QCheckBox *c : Check1) {
        c->setFixedSize(look.px(kBox), look.px(kBox));
        c->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(look.px(kBox - 4)));
    }
    Labseguente->setMinimumHeight(look.px(58));
    const bool narrow = w < kTestoW;
    Labseguente->setWordWrap(narrow);
    // Its leading blanks stand for centring; at larger text it may wrap, each line centred.
    Labseguente->setAlignment(narrow ? Qt::AlignCenter : Qt::AlignVCenter | Qt::AlignLeft);
    Labseguente->setStyleSheet(roundedBoxSheet(look, QColor(0xdc, 0xeb, 0xff), QColor(0x0b, 0x2a, 0x57), QColor(0x20, 0x4d, 0x80), 2, 10));
    Labesco->setStyleSheet(roundedBoxSheet(look, QColor(0xfd, 0xe8, 0xdc), QColor(0x5a, 0x1f, 0x05), QColor(0x8a, 0x3b, 0x12), 2, 10));
    Labesco->setMinimumSize(look.px(124), look.px(52));
    buttons_->setContentsMargins(0, look.px(14), 0, look.px(6));
    buttons_->setSpacing(look.px(5));
    for (ClickLabel *b : {Labascoltadomanda, Labascoltarisposte, Labascoltabrano})
        b->setMinimumHeight(look.px(52));
    placeText();
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
    for (QLabel *t : {Labtesto, Labtesto2}) {
        setDesignText(t, model_.testoPunti() * kScala);
        applyLook(t, look());
        // Half an x in from the margin, as the passage has always been drawn.
        t->setIndent(QFontMetrics(t->font()).horizontalAdvance(QLatin1Char('x')) / 2);
    }
    Labtesto->setText(aCapo(model_.testo()));
    Labtesto2->setText(aCapo(model_.testo2()));
    Labtesto2Riquadro->setVisible(model_.testo2Visible());
    placeText();
    LabtestoRiquadro->relayOut();
    Labtesto2Riquadro->relayOut();
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
