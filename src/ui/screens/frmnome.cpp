#include "ui/screens/frmnome.h"

#include "storage/strumenti.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <tuple>

namespace qv::ui {

namespace {
constexpr unsigned kViola = 0x800080;
constexpr unsigned kAzzurro = 0xFF8080;

// `w` at the row's left at its own width, however wide the column.
QHBoxLayout *atLeft(QWidget *w)
{
    auto *row = new QHBoxLayout;
    row->addWidget(w);
    row->addStretch(1);
    return row;
}

} // namespace

FrmNOME::FrmNOME(Application &app) : ScreenBase(app, QStringLiteral("Form1")), model_(app.session())
{
    page_ = makeBody();
    Label7 = new QLabel(QStringLiteral("Qui sotto scirvi il cognome ed il nome. Ciò è necessario per poter registrare i "
                                       "risultati in archivio.  A destra puoi vedere l'elenco dei nomi già presenti in"),
                        page_);
    Label7->setObjectName("Label7");
    Label7->setWordWrap(true);
    setDesignText(Label7, 16);

    Labclasse = new QLabel(page_);
    Labclasse->setObjectName("Labclasse");
    setDesignText(Labclasse, 22, true);
    Labclasse->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel(QStringLiteral("Cognome"), page_);
    Label1->setObjectName("Label1");
    setDesignText(Label1, 18, true);
    Text1 = new QLineEdit(page_);
    Text1->setObjectName("Text1");
    setDesignText(Text1, 20);

    Label4 = new QLabel(QStringLiteral("Nome"), page_);
    Label4->setObjectName("Label4");
    setDesignText(Label4, 18, true);
    Text4 = new QLineEdit(page_);
    Text4->setObjectName("Text4");
    setDesignText(Text4, 20);

    List1 = new QListWidget(page_);
    List1->setObjectName("List1");
    setDesignText(List1, 14);
    List1->setSelectionMode(QAbstractItemView::NoSelection);

    LabNOMI = new QLabel(QStringLiteral("Mostra l'elenco dei nomi presenti nell'archivio dei risultati"), page_);
    LabNOMI->setObjectName("LabNOMI");
    LabNOMI->setWordWrap(true);
    setDesignText(LabNOMI, 12);

    CmdOK = new QPushButton(QStringLiteral("OK, ho fatto..."), page_);
    CmdOK->setObjectName("CmdOK");
    setDesignText(CmdOK, 18, true);
    Cmdesco = new QPushButton(QStringLiteral("Esco"), page_);
    Cmdesco->setObjectName("Cmdesco");
    setDesignText(Cmdesco, 18, true);

    CmdSTRUMENTI = new QPushButton(QStringLiteral("Strumenti compensativi (insegnante)"), page_);
    CmdSTRUMENTI->setObjectName("CmdSTRUMENTI");
    setDesignText(CmdSTRUMENTI, 13, true);
    LabSTRUMENTI = new QLabel(page_);
    LabSTRUMENTI->setObjectName("LabSTRUMENTI");
    LabSTRUMENTI->setWordWrap(true);
    setDesignText(LabSTRUMENTI, 11);
    connect(CmdSTRUMENTI, &QPushButton::clicked, this, [this] {
        if (model_.chooseTools(Text1->text(), Text4->text())) {
            // The pupil types the name in the tools' presentation, while the tests are made
            // ready in it.
            this->app().setPresentation(Application::presentationFor(*model_.chosenTools()));
            const QStringList names = toolNames(*model_.chosenTools());
            LabSTRUMENTI->setText(names.isEmpty() ? QStringLiteral("Nessuno strumento compensativo.")
                                                  : QStringLiteral("Strumenti: %1.").arg(names.join(QStringLiteral("; "))));
        }
        Text1->setFocus();
    });

    const QStringList credit = {QStringLiteral("Pro"), QStringLiteral("gram"), QStringLiteral("ma"),
                                QStringLiteral("realizzato"), QStringLiteral("da"), QStringLiteral("Lu"),
                                QStringLiteral("cia"), QStringLiteral("Ver"), QStringLiteral("doni")};
    for (int i = 0; i < 9; ++i) {
        auto *l = new QLabel(credit.at(i), page_);
        l->setObjectName(QStringLiteral("Label8_%1").arg(i));
        setDesignText(l, 16, true);
        Label8[i] = l;
    }

    // The caption "Form1" stays on screen; a screen reader hears what the screen is for.
    setAccessibleName(QStringLiteral("Cognome e nome dell'alunno"));
    // Screen readers name the fields by their captions.
    Label1->setBuddy(Text1);
    Text1->setAccessibleName(Label1->text());
    Label4->setBuddy(Text4);
    Text4->setAccessibleName(Label4->text());
    List1->setAccessibleName(QStringLiteral("Nomi già presenti"));
    setTabChain({Text1, Text4, CmdOK, Cmdesco});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &FrmNOME::Timer1_Timer);
    connect(CmdOK, &QPushButton::clicked, this, &FrmNOME::CmdOK_Click);
    connect(Text1, &QLineEdit::returnPressed, this, [this] { Text4->setFocus(Qt::TabFocusReason); });
    connect(Text4, &QLineEdit::returnPressed, this, &FrmNOME::CmdOK_Click);
    connect(Cmdesco, &QPushButton::clicked, this, [this] { session().closeAndExit(); });
}

// As designed, the instruction heads the left column and the class its list. With larger
// text the instruction spans the screen, the captions stand beside their fields, the
// teacher's button goes to the bottom with the tools chosen right above it, and the class
// with its list moves down beside the left column, the list taking what is left (it
// scrolls). Below, the credits line, its syllables kept together. Every box at least its
// design size, taller where its text needs it.
void FrmNOME::layOut(const Look &look)
{
    const bool larger = look.presentation.largerText();
    const auto px = [&look](int design) { return look.px(design); };
    const auto least = [&px](QWidget *w, int width, int height) { w->setMinimumSize(px(width), px(height)); };
    delete page_->layout();
    auto *grid = new QGridLayout(page_);
    grid->setContentsMargins(px(30), larger ? px(20) : 0, px(36), 0);
    // The design's instruction reaches 20 into the gap between the columns.
    grid->setHorizontalSpacing(px(larger ? 50 : 30));
    grid->setVerticalSpacing(px(larger ? 20 : 10));

    auto *left = new QVBoxLayout;
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(px(40));
    buttons->addWidget(CmdOK);
    buttons->addWidget(Cmdesco);
    buttons->addStretch();
    least(CmdOK, 300, larger ? 72 : 64);
    least(Cmdesco, 200, larger ? 72 : 64);
    auto *right = new QVBoxLayout;
    right->setSpacing(px(larger ? 12 : 10));
    right->addWidget(Labclasse);
    right->addWidget(List1, 1);
    // With larger text the list gives the left column some of its breadth.
    least(Labclasse, larger ? 300 : 360, larger ? 56 : 50);
    if (larger) {
        grid->addWidget(Label7, 0, 0, 1, 2);
        least(Label7, 956, 96);
        auto *fields = new QGridLayout;
        fields->setHorizontalSpacing(px(10));
        fields->setVerticalSpacing(px(16));
        fields->addWidget(Label1, 0, 0);
        fields->addWidget(Text1, 0, 1);
        fields->addWidget(Label4, 1, 0);
        fields->addWidget(Text4, 1, 1);
        for (QWidget *w : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label4)})
            least(w, 200, 56);
        for (QWidget *w : {static_cast<QWidget *>(Text1), static_cast<QWidget *>(Text4)})
            least(w, 330, 56);
        left->addLayout(fields);
        left->addSpacing(px(16));
        left->addLayout(buttons);
        left->addSpacing(px(10));
        left->addWidget(LabSTRUMENTI, 1);
        left->addSpacing(px(10));
        left->addWidget(CmdSTRUMENTI);
        least(LabSTRUMENTI, 540, 0);
        least(CmdSTRUMENTI, 540, 44);
        least(List1, 300, 120);
        grid->addLayout(left, 1, 0);
        grid->addLayout(right, 1, 1);
    } else {
        left->setContentsMargins(0, px(30), 0, 0);
        left->setSpacing(0);
        left->addWidget(Label7);
        least(Label7, 560, 130);
        for (auto [caption, field, before] : {std::tuple{Label1, Text1, 30}, std::tuple{Label4, Text4, 30}}) {
            left->addSpacing(px(before));
            left->addWidget(caption);
            left->addSpacing(px(4));
            left->addLayout(atLeft(field));
            least(caption, 300, 36);
            least(field, 540, 50);
        }
        left->addSpacing(px(40));
        left->addLayout(buttons);
        left->addSpacing(px(26));
        left->addLayout(atLeft(CmdSTRUMENTI));
        left->addSpacing(px(4));
        left->addLayout(atLeft(LabSTRUMENTI));
        least(CmdSTRUMENTI, 540, 40);
        least(LabSTRUMENTI, 540, 72);
        right->setContentsMargins(0, px(40), 0, 0);
        right->addWidget(LabNOMI);
        least(List1, 360, 500);
        least(LabNOMI, 360, 40);
        grid->addLayout(left, 0, 0, Qt::AlignTop);
        grid->addLayout(right, 0, 1, Qt::AlignTop);
    }
    // The design keeps the names' caption's room while it is hidden; larger text has none for it.
    QSizePolicy keep = LabNOMI->sizePolicy();
    keep.setRetainSizeWhenHidden(!larger);
    LabNOMI->setSizePolicy(keep);
    // The tools chosen are told right above the teacher's button, which stays at the bottom.
    LabSTRUMENTI->setAlignment(Qt::AlignLeft | (larger ? Qt::AlignBottom : Qt::AlignVCenter));

    auto *credits = new QHBoxLayout;
    credits->setSpacing(0);
    for (int i = 0; i < 9; ++i) {
        credits->addWidget(Label8[i]);
        if (i == 2 || i == 3 || i == 4 || i == 6)
            credits->addSpacing(px(10));
    }
    credits->addStretch();
    grid->addLayout(credits, larger ? 2 : 1, 0, 1, 2);
    if (larger)
        grid->setRowStretch(1, 1);
    else // what the design leaves below the credits
        grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 0);
}

void FrmNOME::load()
{
    move(0, 0);
    loadBackground();
}

// The screen is kept from one pupil to the next (and behind a reloaded start screen): every
// show starts afresh, with the class chosen now, and nothing of the pupil before, not even in
// the fields' undo.
void FrmNOME::activate()
{
    for (int i = 0; i < 9; ++i)
        setInk(Label8[i], i == 4 ? QColor(Qt::black) : vbColor(kViola));
    Timer1->start();
    contatore_ = 0;
    model_.reset();
    Labclasse->setText(state().nomeclasse);
    for (QLineEdit *field : {Text1, Text4}) {
        field->setText(QString()); // unlike clear(), forgets the undo history
        field->setModified(false);
    }
    LabSTRUMENTI->clear();
    LabNOMI->hide();
    List1->clear();
    List1->show();
    List1->addItems(model_.load());
    Text1->setFocus();
}

void FrmNOME::Timer1_Timer()
{
    if (contatore_ > 8) {
        for (QLabel *l : Label8)
            setInk(l, vbColor(kViola));
        contatore_ = 0;
    }
    setInk(Label8[contatore_], vbColor(kAzzurro));
    ++contatore_;
}

void FrmNOME::CmdOK_Click()
{
    switch (model_.confirm(Text1->text(), Text4->text())) {
    case NomeModel::Outcome::Stay:
    case NomeModel::Outcome::Reloaded:
        break;
    case NomeModel::Outcome::ClearAndHide:
        Text1->clear();
        Text4->clear();
        break;
    case NomeModel::Outcome::Dispatched:
        // Hidden, not destroyed: the next pupil gets the same window, made afresh by activate().
        Timer1->stop();
        app().hide(Screen::FrmNOME);
        break;
    }
}

} // namespace qv::ui
