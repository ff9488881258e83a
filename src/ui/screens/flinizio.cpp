#include "ui/screens/flinizio.h"

#include "storage/classmap.h"
#include "storage/teacherpassword.h"
#include "ui/access/keyboard.h"
#include "ui/archivescreen.h"
#include "ui/widgets/clicklabel.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace qv::ui {

namespace {
constexpr unsigned kVerde = 0xC0E0CF;

// The boxes of the start screen: a pale fill, a dark border and text of one hue.
struct BoxColours {
    QColor back, ink, border;
};
const BoxColours kArea{QColor(0xe4, 0xf2, 0xe0), QColor(0x1d, 0x3d, 0x1d), QColor(0x5a, 0x7a, 0x5a)};
const BoxColours kClass{QColor(0xff, 0xfb, 0xe6), QColor(0x12, 0x38, 0x12), QColor(0x3c, 0x6e, 0x3c)};
const BoxColours kMode{QColor(0xdc, 0xeb, 0xff), QColor(0x0b, 0x2a, 0x57), QColor(0x20, 0x4d, 0x80)};

ClickLabel *box(QWidget *parent, const QString &text, qreal points, const char *name)
{
    auto *l = new ClickLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    setDesignText(l, points, true);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    return l;
}

// `w` at the row's left, as wide as it asks: its text wraps, if it must, at its own width.
QHBoxLayout *atLeft(QWidget *w)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(w);
    row->addStretch();
    return row;
}

} // namespace

FLINIZIO::FLINIZIO(Application &app)
    : ScreenBase(app, QStringLiteral("SCEGLI TRA LE OPZIONI POSSIBILI")), model_(app.session())
{
    setBackColor(this, vbColor(kVerde));
    QWidget *body = makeBody();

    // The decoration of the start drawing: the three subjects.
    subjectRow_ = new QHBoxLayout;
    for (const QString &subject : {QStringLiteral("ITALIANO"), QStringLiteral("STORIA"), QStringLiteral("GEOGRAFIA")}) {
        auto *w = new QLabel(subject, body);
        setDecorationText(w, 30, true);
        setDesignInk(w, QColor(0x7f, 0xa8, 0x7f));
        w->setAlignment(Qt::AlignCenter);
        subjectRow_->addWidget(w);
        subjects_ << w;
    }
    subjectRow_->addStretch();

    LabAVVIO = box(body, QStringLiteral("Avvio le Prove di livello"), 20, "LabAVVIO");
    Labarchivio = box(body, QStringLiteral("Archivio dei risultati"), 20, "Labarchivio");
    labUSCITA = box(body, QStringLiteral("Esco"), 20, "labUSCITA");

    Frame1 = new QFrame(body);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    keepsRoom(Frame1);
    Labinizio = box(Frame1, QStringLiteral("INIZIO IL TEST PER LA PRIMA VOLTA"), 16, "Labinizio");
    LabCONTINUAZIONE = box(Frame1, QStringLiteral("RIPRENDO UN TEST INTERROTTO"), 16, "LabCONTINUAZIONE");
    auto *modes = new QVBoxLayout(Frame1);
    modes->addWidget(Labinizio);
    modes->addWidget(LabCONTINUAZIONE);
    modes->addStretch();

    Label2 = new QLabel(QStringLiteral("Scegli la classe"), body);
    Label2->setObjectName("Label2");
    setDesignText(Label2, 22, true);
    Label2->setAlignment(Qt::AlignCenter);
    keepsRoom(Label2);

    classes_ = new QGridLayout;
    for (int i = 0; i < 10; ++i) {
        ClickLabel *l = box(body, classCaption(i), 18, "");
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        keepsRoom(l);
        classes_->addWidget(l, i / 2, i % 2);
        connect(l, &ClickLabel::clicked, this, [this, i] { Label1_Click(i); });
        Label1[i] = l;
    }

    // The start menu on the left, the classes on the right; what is left below and beside.
    left_ = new QVBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(LabAVVIO), static_cast<QWidget *>(Frame1),
                       static_cast<QWidget *>(Labarchivio), static_cast<QWidget *>(labUSCITA)})
        left_->addLayout(atLeft(w));
    right_ = new QVBoxLayout;
    right_->addWidget(Label2);
    right_->addLayout(classes_);
    right_->addStretch();
    columns_ = new QHBoxLayout;
    columns_->addLayout(left_);
    columns_->addLayout(right_);
    columns_->addStretch();
    page_ = new QVBoxLayout(body);
    page_->addLayout(subjectRow_);
    page_->addLayout(columns_);
    page_->addStretch();

    setTabChain({LabAVVIO, Label1[0], Label1[1], Label1[2], Label1[3], Label1[4], Label1[5], Label1[6], Label1[7],
                 Label1[8], Label1[9], Labinizio, LabCONTINUAZIONE, Labarchivio, labUSCITA});

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(400);
    connect(Timer1, &QTimer::timeout, this, &FLINIZIO::Timer1_Timer);

    connect(LabAVVIO, &ClickLabel::clicked, this, &FLINIZIO::LabAVVIO_Click);
    connect(Labarchivio, &ClickLabel::clicked, this, &FLINIZIO::Labarchivio_Click);
    connect(labUSCITA, &ClickLabel::clicked, this, [this] {
        resultsPending_ = false; // nothing to open any more
        session().closeAndExit();
    });
    connect(Labinizio, &ClickLabel::clicked, this, [this] {
        state().modoavvio = QStringLiteral("inizio");
        hide();
        app_.show(Screen::FrmNOME);
    });
    connect(LabCONTINUAZIONE, &ClickLabel::clicked, this, [this] {
        state().modoavvio = QStringLiteral("continuazione");
        hide();
        app_.show(Screen::FrmNOME);
    });
}

// The design's lengths on this display: the subjects across the top, the menu in a column
// 480 wide, the classes 400 wide beside it; each box at least its design size, larger where
// its text asks for more.
void FLINIZIO::layOut(const Look &look)
{
    page_->setContentsMargins(look.px(40), look.px(20), 0, 0);
    page_->setSpacing(look.px(20));
    subjectRow_->setSpacing(look.px(10));
    // The last ends at the screen's edge (the design's drawing went 4 beyond it).
    for (QLabel *l : subjects_)
        l->setMinimumSize(look.px(l == subjects_.last() ? 316 : 320), look.px(60));
    columns_->setSpacing(look.px(40));
    left_->setContentsMargins(0, look.px(10), 0, 0);
    left_->setSpacing(look.px(30));
    right_->setSpacing(look.px(15));
    classes_->setHorizontalSpacing(look.px(20));
    classes_->setVerticalSpacing(look.px(14));
    const int line = Frame1->frameWidth();
    Frame1->layout()->setContentsMargins(look.px(20) - line, look.px(30) - line, look.px(20) - line, look.px(30) - line);
    Frame1->layout()->setSpacing(look.px(30));
    Frame1->setMinimumSize(look.px(480), look.px(280));
    Label2->setMinimumSize(look.px(400), look.px(50));
    const auto sheet = [&look](const BoxColours &c, int radius) {
        return roundedBoxSheet(look, c.back, c.ink, c.border, 2, radius);
    };
    for (ClickLabel *l : {LabAVVIO, Labarchivio, labUSCITA}) {
        l->setStyleSheet(sheet(kArea, 10));
        l->setMinimumSize(look.px(420), look.px(70));
    }
    for (ClickLabel *l : Label1) {
        l->setStyleSheet(sheet(kClass, 8));
        l->setMinimumSize(look.px(190), look.px(58));
    }
    for (ClickLabel *l : {Labinizio, LabCONTINUAZIONE}) {
        l->setStyleSheet(sheet(kMode, 8));
        l->setMinimumSize(look.px(440), look.px(95));
    }
}

void FLINIZIO::load()
{
    move(0, 0);
    Timer1->stop();
    Frame1->hide();
    Label2->hide();
    for (ClickLabel *l : Label1) {
        l->hide();
        l->setEnabled(false);
    }
    // At the program's start the screen is painted before the file is opened and checked.
    resultsPending_ = app().starting();
    if (!resultsPending_)
        openResults();
}

bool FLINIZIO::openResults()
{
    QString error;
    if (model_.load(&error))
        return true;
    setKeepHidden(true);
    hide();
    session().dialogs.alert(error);
    session().exit.endProgram();
    return false;
}

bool FLINIZIO::resultsReady()
{
    if (!resultsPending_)
        return true;
    resultsPending_ = false;
    return openResults();
}

void FLINIZIO::afterFirstPaint()
{
    resultsReady();
}

void FLINIZIO::LabAVVIO_Click()
{
    // A click may come before the file is opened: it waits for it.
    if (!resultsReady())
        return;
    Label2->show();
    Timer1->start();
    for (ClickLabel *l : Label1) {
        l->show();
        l->setEnabled(true);
    }
    Label1[0]->setFocus(Qt::OtherFocusReason);
}

void FLINIZIO::Timer1_Timer()
{
    if (blink_ == 0) {
        setInk(Label2, vbColor(0xFF));
        blink_ = 1;
    } else {
        setInk(Label2, vbColor(kVerde));
        blink_ = 0;
    }
}

void FLINIZIO::Label1_Click(int index)
{
    Timer1->stop();
    model_.chooseClass(index);
    if (!state().rsclasse)
        session().dialogs.alert(QStringLiteral("Non riesco ad aprire la tabella della classe \"%1\".").arg(state().tabellaclasse));
    for (ClickLabel *l : Label1) {
        l->hide();
        l->setEnabled(false);
    }
    Label2->hide();
    Frame1->show();
    Labinizio->setFocus(Qt::OtherFocusReason);
}

void FLINIZIO::Labarchivio_Click()
{
    if (!resultsReady())
        return;
    // Nothing of the archive is loaded or shown before the teacher's password.
    if (!openArchiveDoor(app().session()))
        return;
    enterArchive(app().session());
    const QString classe = model_.archiveClass();
    auto *archivio = dynamic_cast<ArchiveScreen *>(app().load(Screen::FLstampa));
    if (!archivio) {
        // Told by the screen's maker; the pupils' side goes on.
        leaveArchive(app().session());
        return;
    }
    archivio->openFromStart(classe);
    hide();
}

} // namespace qv::ui
