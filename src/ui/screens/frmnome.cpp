#include "ui/screens/frmnome.h"

#include "storage/strumenti.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"

namespace qv::ui {

namespace {
constexpr unsigned kViola = 0x800080;
constexpr unsigned kAzzurro = 0xFF8080;

} // namespace

FrmNOME::FrmNOME(Application &app) : ScreenBase(app, QStringLiteral("Form1")), model_(app.session())
{
    Label7 = new QLabel(QStringLiteral("Qui sotto scirvi il cognome ed il nome. Ciò è necessario per poter registrare i "
                                       "risultati in archivio.  A destra puoi vedere l'elenco dei nomi già presenti in"),
                        this);
    Label7->setObjectName("Label7");
    Label7->setWordWrap(true);
    Label7->setFont(sans(16));

    Labclasse = new QLabel(this);
    Labclasse->setObjectName("Labclasse");
    Labclasse->setFont(sans(22, true));
    Labclasse->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel(QStringLiteral("Cognome"), this);
    Label1->setObjectName("Label1");
    Label1->setFont(sans(18, true));
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setFont(sans(20));

    Label4 = new QLabel(QStringLiteral("Nome"), this);
    Label4->setObjectName("Label4");
    Label4->setFont(sans(18, true));
    Text4 = new QLineEdit(this);
    Text4->setObjectName("Text4");
    Text4->setFont(sans(20));

    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    List1->setFont(sans(14));
    List1->setSelectionMode(QAbstractItemView::NoSelection);

    LabNOMI = new QLabel(QStringLiteral("Mostra l'elenco dei nomi presenti nell'archivio dei risultati"), this);
    LabNOMI->setObjectName("LabNOMI");
    LabNOMI->setGeometry(620, 610, 360, 40);
    LabNOMI->setWordWrap(true);

    CmdOK = new QPushButton(QStringLiteral("OK, ho fatto..."), this);
    CmdOK->setObjectName("CmdOK");
    CmdOK->setFont(sans(18, true));
    Cmdesco = new QPushButton(QStringLiteral("Esco"), this);
    Cmdesco->setObjectName("Cmdesco");
    Cmdesco->setFont(sans(18, true));

    CmdSTRUMENTI = new QPushButton(QStringLiteral("Strumenti compensativi (insegnante)"), this);
    CmdSTRUMENTI->setObjectName("CmdSTRUMENTI");
    CmdSTRUMENTI->setFont(sans(13, true));
    LabSTRUMENTI = new QLabel(this);
    LabSTRUMENTI->setObjectName("LabSTRUMENTI");
    LabSTRUMENTI->setWordWrap(true);
    LabSTRUMENTI->setFont(sans(11));
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
    int x = 30;
    for (int i = 0; i < 9; ++i) {
        auto *l = new QLabel(credit.at(i), this);
        l->setObjectName(QStringLiteral("Label8_%1").arg(i));
        l->setFont(sans(16, true));
        l->adjustSize();
        l->move(x, 660);
        x += l->width() + (i == 2 || i == 3 || i == 4 || i == 6 ? 10 : 0);
        Label8[i] = l;
    }
    placeForText();
    connect(&app, &Application::presentationChanged, this, &FrmNOME::placeForText);

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
// teacher's button goes to the bottom and the class with its list moves down beside the
// left column; every text takes the height it needs, the list and the room for the tools
// chosen give up what they do not use (the list scrolls), and the credits line grows to
// the right, its syllables kept together.
void FrmNOME::placeForText()
{
    const bool larger = scaler_->presentation().largerText();
    if (larger) {
        Label7->setGeometry(30, 20, 956, 96);
        Label1->setGeometry(30, 136, 200, 56);
        Text1->setGeometry(240, 136, 330, 56);
        Label4->setGeometry(30, 208, 200, 56);
        Text4->setGeometry(240, 208, 330, 56);
        CmdOK->setGeometry(30, 286, 300, 72);
        Cmdesco->setGeometry(370, 286, 200, 72);
        LabSTRUMENTI->setGeometry(30, 374, 540, 222);
        CmdSTRUMENTI->setGeometry(30, 606, 540, 44);
        Labclasse->setGeometry(620, 136, 360, 56);
        List1->setGeometry(620, 204, 360, 446);
    } else {
        Label7->setGeometry(30, 30, 560, 130);
        Label1->setGeometry(30, 190, 300, 36);
        Text1->setGeometry(30, 230, 540, 50);
        Label4->setGeometry(30, 310, 300, 36);
        Text4->setGeometry(30, 350, 540, 50);
        CmdOK->setGeometry(30, 440, 300, 64);
        Cmdesco->setGeometry(370, 440, 200, 64);
        CmdSTRUMENTI->setGeometry(30, 530, 540, 40);
        LabSTRUMENTI->setGeometry(30, 574, 540, 72);
        Labclasse->setGeometry(620, 40, 360, 50);
        List1->setGeometry(620, 100, 360, 500);
    }
    // The tools chosen are told right above the teacher's button, which stays at the bottom.
    LabSTRUMENTI->setAlignment(Qt::AlignLeft | (larger ? Qt::AlignBottom : Qt::AlignVCenter));
    scaler_->clearStacks();
    if (larger) {
        scaler_->addStack(Qt::Vertical, {{Label7}, {Label1, Text1}, {Label4, Text4}, {CmdOK, Cmdesco}, {LabSTRUMENTI},
                                         {CmdSTRUMENTI}}, 650);
        scaler_->addStack(Qt::Vertical, {{Label7}, {Labclasse}, {List1}}, 650);
    }
    scaler_->addStack(Qt::Horizontal, {{Label8[0]}, {Label8[1]}, {Label8[2]}, {Label8[3]}, {Label8[4]}, {Label8[5]},
                                       {Label8[6]}, {Label8[7]}, {Label8[8]}}, 986);
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
        setTextColor(Label8[i], i == 4 ? QColor(Qt::black) : vbColor(kViola));
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
            setTextColor(l, vbColor(kViola));
        contatore_ = 0;
    }
    setTextColor(Label8[contatore_], vbColor(kAzzurro));
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
