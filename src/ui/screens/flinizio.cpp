#include "ui/screens/flinizio.h"

#include "storage/teacherpassword.h"
#include "storage/classmap.h"
#include "ui/screens/flstampa.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/clicklabel.h"

#include <QFont>

namespace qv::ui {

namespace {
constexpr unsigned kVerde = 0xC0E0CF;

QFont bold(int points)
{
    QFont f(QStringLiteral("Liberation Sans"), points);
    f.setBold(true);
    return f;
}

// A caption-less click area of the start drawing, here with its words as caption.
ClickLabel *area(QWidget *parent, const QString &text, const QRect &r)
{
    auto *l = new ClickLabel(text, parent);
    l->setGeometry(r);
    l->setFont(bold(20));
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("QLabel { border: 2px solid #5a7a5a; border-radius: 10px; background: #e4f2e0; color: #1d3d1d; }"
                                    "QLabel:hover { background: #ffffff; }"));
    return l;
}
} // namespace

FLINIZIO::FLINIZIO(Application &app)
    : ScreenBase(app, QStringLiteral("SCEGLI TRA LE OPZIONI POSSIBILI")), model_(app.session())
{
    setBackColor(this, vbColor(kVerde));

    // The decoration of the start drawing: the three subjects.
    const QStringList subjects = {QStringLiteral("ITALIANO"), QStringLiteral("STORIA"), QStringLiteral("GEOGRAFIA")};
    for (int i = 0; i < subjects.size(); ++i) {
        auto *w = new QLabel(subjects.at(i), this);
        w->setFont(bold(30));
        setTextColor(w, QColor(0x7f, 0xa8, 0x7f));
        w->setGeometry(40 + i * 330, 20, 320, 60);
        w->setAlignment(Qt::AlignCenter);
    }

    LabAVVIO = area(this, QStringLiteral("Avvio le Prove di livello"), QRect(40, 110, 420, 70));
    LabAVVIO->setObjectName("LabAVVIO");
    Labarchivio = area(this, QStringLiteral("Archivio dei risultati"), QRect(40, 520, 420, 70));
    Labarchivio->setObjectName("Labarchivio");
    labUSCITA = area(this, QStringLiteral("Esco"), QRect(40, 620, 420, 70));
    labUSCITA->setObjectName("labUSCITA");

    Label2 = new QLabel(QStringLiteral("Scegli la classe"), this);
    Label2->setObjectName("Label2");
    Label2->setFont(bold(22));
    Label2->setGeometry(560, 100, 400, 50);
    Label2->setAlignment(Qt::AlignCenter);

    for (int i = 0; i < 10; ++i) {
        auto *l = new ClickLabel(classCaption(i), this);
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        l->setFont(bold(18));
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("QLabel { border: 2px solid #3c6e3c; border-radius: 8px; background: #fffbe6; color: #123812; }"
                                        "QLabel:hover { background: #ffffff; }"));
        l->setGeometry(560 + (i % 2) * 210, 165 + (i / 2) * 72, 190, 58);
        connect(l, &ClickLabel::clicked, this, [this, i] { Label1_Click(i); });
        Label1[i] = l;
    }

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(40, 210, 480, 280);
    Frame1->setFrameShape(QFrame::Box);
    Labinizio = new ClickLabel(QStringLiteral("INIZIO IL TEST PER LA PRIMA VOLTA"), Frame1);
    Labinizio->setObjectName("Labinizio");
    LabCONTINUAZIONE = new ClickLabel(QStringLiteral("RIPRENDO UN TEST INTERROTTO"), Frame1);
    LabCONTINUAZIONE->setObjectName("LabCONTINUAZIONE");
    int y = 30;
    for (ClickLabel *l : {Labinizio, LabCONTINUAZIONE}) {
        l->setFont(bold(16));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("QLabel { border: 2px solid #204d80; border-radius: 8px; background: #dcebff; color: #0b2a57; }"
                                        "QLabel:hover { background: #ffffff; }"));
        l->setGeometry(20, y, 440, 95);
        y += 125;
    }

    setTabChain({LabAVVIO, Label1[0], Label1[1], Label1[2], Label1[3], Label1[4], Label1[5], Label1[6], Label1[7],
                 Label1[8], Label1[9], Labinizio, LabCONTINUAZIONE, Labarchivio, labUSCITA});

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(400);
    connect(Timer1, &QTimer::timeout, this, &FLINIZIO::Timer1_Timer);

    connect(LabAVVIO, &ClickLabel::clicked, this, &FLINIZIO::LabAVVIO_Click);
    connect(Labarchivio, &ClickLabel::clicked, this, &FLINIZIO::Labarchivio_Click);
    connect(labUSCITA, &ClickLabel::clicked, this, [this] { session().closeAndExit(); });
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

void FLINIZIO::load()
{
    move(0, 0);
    Timer1->stop();
    QString error;
    if (!model_.load(&error)) {
        setKeepHidden(true);
        session().dialogs.alert(error);
        session().exit.endProgram();
        return;
    }
    Frame1->hide();
    Label2->hide();
    for (ClickLabel *l : Label1) {
        l->hide();
        l->setEnabled(false);
    }
}

void FLINIZIO::LabAVVIO_Click()
{
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
        setTextColor(Label2, vbColor(0xFF));
        blink_ = 1;
    } else {
        setTextColor(Label2, vbColor(kVerde));
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
    // Nothing of the archive is loaded or shown before the teacher's password.
    if (!openArchiveDoor(app().session()))
        return;
    enterArchive(app().session());
    const QString classe = model_.archiveClass();
    if (auto *archivio = dynamic_cast<FLstampa *>(app().load(Screen::FLstampa)))
        archivio->openFromStart(classe);
    hide();
}

} // namespace qv::ui
