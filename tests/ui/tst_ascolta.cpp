// The "Ascolta" buttons of the seven tests: what each would speak, through the fake speech,
// for every kind of prompt; shown only to a pupil with read-aloud (the passages only with
// their own choice); a computer without speech says so once and the test goes on. And the
// road: tools chosen on the name-entry screen before the record exists take hold at the
// first test and end when the start screen is back.
#include "storage/strumenti.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "support/controls.h"
#include "support/fakes.h"
#include "support/toolcodes.h"
#include "ui/screenbase.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/frmnome.h"
#include "ui/widgets/clicklabel.h"

#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;

namespace {

void click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

// A pupil of "Prima  D" at the start of the test of progress code `arrivo`, with `tools`.
void pupilAt(test::AppEnv &env, int arrivo, const PupilTools &tools)
{
    Modquorv &st = env.app->state();
    QString e;
    if (!st.dbrisultati)
        st.dbrisultati = Database::open(env.folder.file(QString::fromLatin1(kResultsFile)), &e);
    st.tabellaclasse = QStringLiteral("prima-D");
    st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
    Recordset &rs = *st.rsclasse;
    rs.addNew();
    rs.setField("nome", "ROSSI ANNA");
    rs.setField("arrivo", arrivo);
    rs.setField("sub", 1);
    rs.update();
    rs.move(0, rs.lastModified());
    st.segnalibro = rs.bookmark();
    st.tipoavvio = kAvvioNuovo;
    st.strumenti = tools;
}

QList<ClickLabel *> listenButtons(QWidget *w)
{
    QList<ClickLabel *> out;
    for (ClickLabel *b : w->findChildren<ClickLabel *>())
        if (b->objectName().startsWith("Labascolta"))
            out << b;
    return out;
}

} // namespace

class TstAscolta : public QObject {
    Q_OBJECT

private slots:
    // Each button's speech. A check is "=exact", "^prefix", "~contained" or "!absent", several
    // joined by '|'.
    void whatIsSpoken_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("arrivo");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("checks");
        QTest::newRow("reading") << int(Screen::FLETTURA) << 1
            << QStringList{"Labascoltadomanda", "Labascoltarisposte", "Labascoltabrano"}
            << QStringList{"=1. Zio Tano dice che il suo è \"un mestiere pieno di grattacapi\". Che cosa vuol dire?",
                           "=Risposta a: che è un lavoro che fa venire il prurito alla testa.\nRisposta b: che è un "
                           "lavoro molto divertente.\nRisposta c: che è un lavoro che si impara in fretta.\nRisposta d: "
                           "che è un lavoro che dà molti problemi e preoccupazioni.",
                           "^Una giornata sul peschereccio\n\nQuest'estate sono in vacanza da zio Tano.|~dietro un "
                           "piatto di pesce."};
        QTest::newRow("grammar") << int(Screen::FLgrasem) << 3
            << QStringList{"Labascoltafrase", "Labascoltacategorie"}
            << QStringList{"=Il gatto nero dorme sul divano della nonna",
                           "=Le caselle da trascinare: Articolo, Nome, Verbo, Aggettivo, Preposizione, Congiunzione, "
                           "Pronome, Avverbio."};
        QTest::newRow("logic") << int(Screen::FLogsem) << 4
            << QStringList{"Labascoltafrase", "Labascoltacategorie"}
            << QStringList{"=La mamma prepara una torta squisita per la festa di Anna",
                           "~Soggetto, Predicato verbale, Predicato nominale"};
        QTest::newRow("sentences") << int(Screen::FLfrasi) << 6
            << QStringList{"Labascoltafrase", "Labascoltaconclusioni"}
            << QStringList{"=Non tutti i gatti sono grigi, vuol dire che",
                           "=1: nessun gatto è grigio.\n2: tutti i gatti sono grigi.\n3: solo alcuni gatti sono "
                           "grigi.\n4: sono pochi i gatti grigi."};
        QTest::newRow("causal schemes") << int(Screen::FLstoria1) << 7 << QStringList{"Labascolta"}
            << QStringList{"^Frase 1: |~Frase 3: |~All'aratro fu aggiunto un versoio ricurvo con la punta di ferro."
                           "|~L'aratro, mentre tracciava i solchi, rivoltava anche la terra.|~La terra più fertile "
                           "veniva portata in superficie e produceva di più."};
        QTest::newRow("chronology") << int(Screen::FLstoria2) << 8 << QStringList{"Labascolta"}
            << QStringList{"^Fatto 1: OTTAVIANO sconfigge Antonio ad Azio e governa Roma da solo: di fatto comincia "
                           "l'impero.\nFatto 2: In Africa compare l'AUSTRALOPITECO|~\nFatto 10: Il CONGRESSO DI VIENNA "
                           "dà inizio alla Restaurazione.|!.."};
        QTest::newRow("map") << int(Screen::FLcartge) << 9 << QStringList{"Labascolta"}
            << QStringList{"=Numero 1. Cerca il numero 1 sulla carta fisica e scegli nell'elenco il suo nome."};
    }
    void whatIsSpoken()
    {
        QFETCH(int, screen);
        QFETCH(int, arrivo);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, checks);
        const Screen s = Screen(screen);
        test::AppEnv env;
        pupilAt(env, arrivo, test::tools("VB"));
        env.app->show(s);
        ScreenBase *w = env.app->screen(s);
        QVERIFY(w && w->isVisible());
        QCOMPARE(listenButtons(w).size(), buttons.size());
        if (const QString dir = qEnvironmentVariable("QUORVANE_SHOTS"); !dir.isEmpty())
            w->grab().save(QDir(dir).filePath(QString("ascolta_%1.png").arg(QTest::currentDataTag())));
        for (int i = 0; i < buttons.size(); ++i) {
            auto *b = w->findChild<ClickLabel *>(buttons[i]);
            // Its caption names what it reads with the article, as the other screens do.
            static const QRegularExpression caption("^Ascolta( (il|lo|la|i|gli|le) \\S.*| l'\\S.*)?$");
            QVERIFY2(b && b->isVisible() && caption.match(b->text().simplified()).hasMatch(),
                     qPrintable(buttons[i] + ": " + (b ? b->text() : QString())));
            click(b);
            QCOMPARE(env.speech.spoken.size(), i + 1);
            const QString said = env.speech.spoken.last();
            for (const QString &c : checks[i].split('|')) {
                const QString t = c.mid(1);
                const bool ok = c[0] == '=' ? said == t
                    : c[0] == '^'           ? said.startsWith(t)
                    : c[0] == '!'           ? !said.contains(t)
                                            : said.contains(t);
                QVERIFY2(ok, qPrintable(buttons[i] + ": " + said));
            }
        }
        QVERIFY(env.dialogs.alerts.isEmpty());

        // Read-aloud without the passages: every button but the passage's; none at all for
        // a pupil without read-aloud.
        for (const bool readAloud : {true, false}) {
            env.app->show(Screen::FLINIZIO);
            pupilAt(env, arrivo, test::tools(readAloud ? "V" : ""));
            env.app->show(s);
            for (ClickLabel *b : listenButtons(w))
                QVERIFY2(b->isVisible() == (readAloud && b->objectName() != "Labascoltabrano"), qPrintable(b->objectName()));
        }
    }

    // No speech on this computer: the first "Ascolta" says so, later ones are silent, the
    // test goes on.
    void speechUnavailable()
    {
        test::AppEnv env;
        env.speech.on = false;
        pupilAt(env, 6, test::tools("V"));
        env.app->show(Screen::FLfrasi);
        ScreenBase *w = env.app->screen(Screen::FLfrasi);
        click(w->findChild<ClickLabel *>("Labascoltafrase"));
        click(w->findChild<ClickLabel *>("Labascoltaconclusioni"));
        QCOMPARE(env.dialogs.alerts, QStringList{Session::speechUnavailableMessage()});
        QVERIFY(env.speech.spoken.isEmpty());
        QVERIFY(w->isVisible());
    }

    // The teacher sets the tools on the name-entry screen before the pupil's record exists;
    // they are stored with it, the screens take the presentation, and the start screen
    // puts the default back.
    void setOnNameEntryBeforeTheRecord()
    {
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        click(control<ClickLabel>(s, "LabAVVIO"));
        click(control<ClickLabel>(s, "Label1", 2));
        click(control<ClickLabel>(s, "Labinizio"));
        auto *n = env.app->screenAs<FrmNOME>(Screen::FrmNOME);
        QVERIFY(n && n->isVisible());
        const PupilTools chosen = test::tools("VB150FC");
        QCOMPARE(env.speech.prepared, 0);
        env.dialogs.tools = {chosen};
        QTest::keyClicks(control<QLineEdit>(n, "Text1"), "Verdi");
        QTest::keyClicks(control<QLineEdit>(n, "Text4"), "Carlo");
        click(control<QPushButton>(n, "CmdSTRUMENTI"));
        QCOMPARE(env.dialogs.toolNames, QStringList{"VERDI CARLO"});
        QVERIFY2(control<QLabel>(n, "LabSTRUMENTI")->text().contains("testo ingrandito al 150%"), qPrintable(control<QLabel>(n, "LabSTRUMENTI")->text()));
        Database &db = *env.app->state().dbrisultati;
        QCOMPARE(db.openRecordset("prima-C")->recordCount(), 0);
        QVERIFY(classTools(db, "prima-C").isEmpty());

        click(control<QPushButton>(n, "CmdOK"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(env.app->screen(Screen::FLETTURA) && env.app->screen(Screen::FLETTURA)->isVisible());
        const QHash<QString, PupilTools> stored = classTools(db, "prima-C");
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.begin().value(), chosen);
        QCOMPARE(env.app->presentation(), (Presentation{150, true, true}));
        QCOMPARE(env.speech.prepared, 1); // started ahead of the first "Ascolta"
        QVERIFY(env.app->screen(Screen::FLETTURA)->findChild<ClickLabel *>("Labascoltabrano")->isVisible());

        env.app->hide(Screen::FLETTURA);
        env.app->show(Screen::FLINIZIO);
        QCOMPARE(env.app->presentation(), Presentation());
        QCOMPARE(env.app->state().strumenti, PupilTools());
    }
};

QTEST_MAIN(TstAscolta)
#include "tst_ascolta.moc"
