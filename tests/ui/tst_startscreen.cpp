// The start screen and the name-entry screen as a pupil uses them.
#include "storage/classmap.h"
#include "support/controls.h"
#include "support/fakes.h"
#include "ui/screens/archiveentry.h"
#include "ui/screens/flettura.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/frmnome.h"
#include "ui/widgets/clicklabel.h"

#include <QMessageBox>
#include <QScreen>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;
using qv::test::controlRow;

class TstStartScreen : public QObject {
    Q_OBJECT

    static void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

    // From the start screen on show to name entry, for the class of the given row.
    static FrmNOME *toNameEntry(test::AppEnv &env, int classRow)
    {
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        click(control<ClickLabel>(s, "LabAVVIO"));
        click(control<ClickLabel>(s, "Label1", classRow));
        click(control<ClickLabel>(s, "Labinizio"));
        return env.app->screenAs<FrmNOME>(Screen::FrmNOME);
    }

    // A pupil's names typed and confirmed, after the teacher chose `tools` (when given).
    static void enter(test::AppEnv &env, FrmNOME *n, const char *cognome, const char *nome,
                      std::optional<PupilTools> tools = std::nullopt)
    {
        if (tools) {
            env.dialogs.tools = {tools};
            click(control<QPushButton>(n, "CmdSTRUMENTI"));
        }
        QTest::keyClicks(control<QLineEdit>(n, "Text1"), cognome);
        QTest::keyClicks(control<QLineEdit>(n, "Text4"), nome);
        click(control<QPushButton>(n, "CmdOK"));
    }

    static constexpr PupilTools kLargerText{.textPercent = 150, .readableFont = true, .highContrast = true};

    // The first test as a pupil with `tools` first sees it, its screens made ready ahead or not.
    static void firstTestSeen(bool prepared, const PupilTools &tools, QImage *seen)
    {
        test::AppEnv env;
        env.app->setPreparesAhead(prepared);
        env.app->show(Screen::FLINIZIO);
        QWidget *start = env.app->screen(Screen::FLINIZIO);
        QTRY_VERIFY_WITH_TIMEOUT(!env.app->preparing(), 30000);
        for (Screen s : {Screen::FrmNOME, Screen::FLETTURA, Screen::FLgrasem, Screen::FLogsem, Screen::FLfrasi,
                         Screen::FLstoria1, Screen::FLstoria2, Screen::FLcartge}) {
            QWidget *w = env.app->screen(s);
            if (!prepared) {
                QVERIFY2(!w, screenName(s));
                continue;
            }
            // Made and laid out out of sight, in the start screen's window; nothing on show.
            QVERIFY2(w && !w->isVisible() && w->window() == start->window(), screenName(s));
            QCOMPARE(w->size(), start->size());
            QCOMPARE(QApplication::activeWindow(), start->window());
        }
        FrmNOME *n = toNameEntry(env, 2);
        if (prepared) {
            // The teacher's tools make the tests ready again, in their presentation, while
            // the pupil types the name.
            env.dialogs.tools = {tools};
            click(control<QPushButton>(n, "CmdSTRUMENTI"));
            QCOMPARE(env.app->presentation(), Application::presentationFor(tools));
            QTRY_VERIFY_WITH_TIMEOUT(!env.app->preparing(), 30000);
            auto *lettura = env.app->screenAs<FLETTURA>(Screen::FLETTURA);
            QVERIFY(!lettura->isVisible() && lettura->scaler()->textShare(control<ClickLabel>(lettura, "Labseguente")) >= 0.9);
        }
        enter(env, n, "Neri", "Ugo", prepared ? std::nullopt : std::optional(tools));
        QWidget *first = env.app->screen(Screen::FLETTURA);
        QVERIFY(first && first->isVisible());
        QCOMPARE(env.dialogs.alerts.size(), 2); // the empty class, the teacher's password saved
        QCoreApplication::processEvents(); // as before the first frame reaches the display
        *seen = first->grab().toImage();
    }

private slots:
    void startUpShowsOnlyTheThreeAreas()
    {
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        QVERIFY(s && s->isVisible());
        QVERIFY(env.app->state().dbrisultati);
        QVERIFY(!control<QFrame>(s, "Frame1")->isVisible());
        QVERIFY(!control<QLabel>(s, "Label2")->isVisible());
        for (auto *l : controlRow<ClickLabel>(s, "Label1"))
            QVERIFY(!l->isVisible() && !l->isEnabled());
        QVERIFY(control<ClickLabel>(s, "LabAVVIO")->isVisible() && control<ClickLabel>(s, "Labarchivio")->isVisible() && control<ClickLabel>(s, "labUSCITA")->isVisible());
        QCOMPARE(s->geometry(), s->screen()->geometry()); // the whole display
    }

    void classChoiceBlinksThenOpensTheTable()
    {
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        click(control<ClickLabel>(s, "LabAVVIO"));
        QVERIFY(control<QLabel>(s, "Label2")->isVisible());
        QVERIFY(control<QTimer>(s, "Timer1")->isActive());
        QCOMPARE(control<QTimer>(s, "Timer1")->interval(), 400);
        const QColor before = control<QLabel>(s, "Label2")->palette().color(QPalette::WindowText);
        s->Timer1_Timer();
        QCOMPARE(control<QLabel>(s, "Label2")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        s->Timer1_Timer();
        QCOMPARE(control<QLabel>(s, "Label2")->palette().color(QPalette::WindowText), QColor(0xCF, 0xE0, 0xC0));
        Q_UNUSED(before);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(control<ClickLabel>(s, "Label1", i)->text(), classCaption(i));
        click(control<ClickLabel>(s, "Label1", 8));
        QVERIFY(!control<QTimer>(s, "Timer1")->isActive());
        QVERIFY(!control<QLabel>(s, "Label2")->isVisible());
        QVERIFY(control<QFrame>(s, "Frame1")->isVisible());
        QCOMPARE(env.app->state().nomeclasse, QString("Prima  I"));
        QCOMPARE(env.app->state().tabellaclasse, QString("prima-J"));
        QCOMPARE(env.app->state().rsclasse->table(), QString("prima-J"));
    }

    void newPupilRunsFromNameEntryToTheFirstTest()
    {
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        click(control<ClickLabel>(s, "LabAVVIO"));
        click(control<ClickLabel>(s, "Label1", 2));
        click(control<ClickLabel>(s, "Labinizio"));
        QCOMPARE(env.app->state().modoavvio, QString("inizio"));
        QVERIFY(!s->isVisible());
        auto *n = env.app->screenAs<FrmNOME>(Screen::FrmNOME);
        QVERIFY(n && n->isVisible());
        QCOMPARE(control<QLabel>(n, "Labclasse")->text(), QString("Prima  C"));
        QCOMPARE(env.dialogs.alerts, QStringList{"L'archivio è vuoto..."});
        QVERIFY(!control<QLabel>(n, "LabNOMI")->isVisible());
        QTest::keyClicks(control<QLineEdit>(n, "Text1"), "  de' Medici ");
        QTest::keyClicks(control<QLineEdit>(n, "Text4"), "lorenzo");
        click(control<QPushButton>(n, "CmdOK"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!n->isVisible()); // kept for the next pupil, hidden
        QVERIFY(env.app->screen(Screen::FLETTURA));
        auto rs = env.app->state().dbrisultati->openRecordset("prima-C");
        QVERIFY(rs->setBookmark(env.app->state().segnalibro));
        QCOMPARE(rs->field("nome").toString(), QString("DE' MEDICI LORENZO"));
        QCOMPARE(rs->field("arrivo").toInt(), 1);
        // The pupils' road never meets the teacher's password.
        QVERIFY(env.dialogs.passwordTitles.isEmpty());
    }

    // Name entry is one window for every pupil: whichever way the pupil before left it, the
    // next finds nothing of theirs (names, their undo, the tools chosen, the focus, the list
    // of another class) and is written in the class chosen now.
    void nameEntryKeepsNothingOfThePupilBefore_data()
    {
        QTest::addColumn<bool>("reloaded");
        QTest::newRow("the test started") << false;
        QTest::newRow("no test left to complete") << true;
    }
    void nameEntryKeepsNothingOfThePupilBefore()
    {
        QFETCH(bool, reloaded);
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        {
            auto rs = env.app->state().dbrisultati->openRecordset("prima-C");
            rs->addNew();
            rs->setField("nome", "ROSSI ANNA");
            rs->setField("arrivo", 10);
            rs->setField("sub", 20);
            QVERIFY(rs->update());
        }
        FrmNOME *n = toNameEntry(env, 2);
        env.dialogs.answers = {false}; // "continue a test", for the name already there
        enter(env, n, reloaded ? "Rossi" : "Bianchi", "Anna", kLargerText);
        QCOMPARE(env.app->screen(Screen::FLETTURA) != nullptr, !reloaded);
        if (!reloaded)
            env.app->show(Screen::FLINIZIO); // the battery's end
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(toNameEntry(env, 4), n);
        QVERIFY(n->isVisible());
        QCOMPARE(control<QLabel>(n, "Labclasse")->text(), QString("Prima  E"));
        for (QLineEdit *field : {control<QLineEdit>(n, "Text1"), control<QLineEdit>(n, "Text4")})
            QVERIFY(field->text().isEmpty() && !field->isUndoAvailable() && !field->isModified());
        QVERIFY(control<QLabel>(n, "LabSTRUMENTI")->text().isEmpty());
        QVERIFY(!n->model().chosenTools());
        QCOMPARE(n->focusWidget(), static_cast<QWidget *>(control<QLineEdit>(n, "Text1")));
        QCOMPARE(control<QListWidget>(n, "List1")->count(), 0);
        enter(env, n, "Verdi", "Sara");
        QVERIFY(env.app->screen(Screen::FLETTURA)->isVisible());
        auto rs = env.app->state().dbrisultati->openRecordset("prima-E"); // the class chosen now
        QVERIFY(rs->setBookmark(env.app->state().segnalibro));
        QCOMPARE(rs->field("nome").toString(), QString("VERDI SARA"));
        QCOMPARE(env.app->state().strumenti, PupilTools());
        QCOMPARE(env.app->presentation(), Presentation());
    }

    // A screen made ready ahead, in the presentation of the start screen, looks the same at
    // its first showing, to a pupil with other tools, as one made then.
    void preparedScreensLookTheSame()
    {
        QImage prepared, made;
        firstTestSeen(true, kLargerText, &prepared);
        firstTestSeen(false, kLargerText, &made);
        QVERIFY(!prepared.isNull());
        QVERIFY(prepared == made);
    }

    void creditLineLightsUpWordByWord()
    {
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        click(control<ClickLabel>(s, "LabAVVIO"));
        click(control<ClickLabel>(s, "Label1", 0));
        click(control<ClickLabel>(s, "LabCONTINUAZIONE"));
        auto *n = env.app->screenAs<FrmNOME>(Screen::FrmNOME);
        QVERIFY(control<QTimer>(n, "Timer1")->isActive());
        const QColor viola(0x80, 0x00, 0x80), azzurro(0x80, 0x80, 0xFF);
        QCOMPARE(control<QLabel>(n, "Label8", 4)->palette().color(QPalette::WindowText), QColor(Qt::black));
        for (int tick = 0; tick < 9; ++tick)
            n->Timer1_Timer();
        for (int i = 0; i < 9; ++i)
            QCOMPARE(control<QLabel>(n, "Label8", i)->palette().color(QPalette::WindowText), azzurro);
        n->Timer1_Timer(); // the tenth tick: all purple again, the first lit
        QCOMPARE(control<QLabel>(n, "Label8", 0)->palette().color(QPalette::WindowText), azzurro);
        for (int i = 1; i < 9; ++i)
            QCOMPARE(control<QLabel>(n, "Label8", i)->palette().color(QPalette::WindowText), viola);
    }

    void archiveBeforeAnyClassUsesPrimaA()
    {
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        QWidget *pupils = s->window();
        QVERIFY(pupils != s && pupils->isVisible());
        QCOMPARE(pupils->windowTitle(), s->windowTitle());
        click(control<ClickLabel>(s, "Labarchivio"));
        QCOMPARE(env.app->state().nomeclasse, QString("prima-A"));
        QVERIFY(!s->isVisible());
        QVERIFY(env.app->screen(Screen::FLstampa));
        // The pupils' window goes with its last screen: no blank screen behind the archive.
        // Not while a message is open between two screens: it keeps the desktop out of sight.
        QMessageBox message(QMessageBox::Information, QString(), QStringLiteral("L'archivio è vuoto..."));
        message.setModal(true);
        message.show();
        QTest::qWait(150);
        QVERIFY(pupils->isVisible());
        message.close();
        QTRY_VERIFY(!pupils->isVisible());
    }

    // A program without its archive module (a broken installation): the teacher is told,
    // and the pupils' start screen stays on its results.
    void archiveWithoutItsModuleKeepsTheStartScreen()
    {
        test::AppEnv env;
        setArchiveMaker(nullptr); // the module is looked for beside this test, where there is none
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        const Database *pupils = env.app->state().dbrisultati.get();
        click(control<ClickLabel>(s, "Labarchivio"));
        useLinkedArchive();
        QCOMPARE(env.dialogs.alerts.size(), 2); // the password saved, then the missing part
        QVERIFY2(env.dialogs.alerts.last().contains("quorvane-archivio.so") &&
                     env.dialogs.alerts.last().contains("Installa di nuovo"),
                 qPrintable(env.dialogs.alerts.last()));
        QVERIFY(s->isVisible() && !env.app->screen(Screen::FLstampa));
        QCOMPARE(env.app->state().dbrisultati.get(), pupils);
        click(control<ClickLabel>(s, "LabAVVIO")); // the pupils' road goes on
        QVERIFY(control<ClickLabel>(s, "Label1", 0)->isVisible());
    }

    void exitAreaClosesTheDatabase()
    {
        test::AppEnv env;
        env.app->show(Screen::FLINIZIO);
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        click(control<ClickLabel>(s, "labUSCITA"));
        QCOMPARE(env.exit.ended, 1);
        QVERIFY(!env.app->state().dbrisultati->isOpen());
    }

    void missingArchiveGivesAMessageAndEnds()
    {
        test::AppEnv env;
        QVERIFY(QFile::remove(env.folder.file("quorvane.mdb")));
        env.app->show(Screen::FLINIZIO);
        QCOMPARE(env.exit.ended, 1);
        QCOMPARE(env.dialogs.alerts.size(), 1);
        QVERIFY(env.dialogs.alerts.at(0).startsWith("Non riesco ad aprire l'archivio dei risultati."));
        QVERIFY(!env.app->screen(Screen::FLINIZIO)->isVisible());
        QVERIFY(!QFile::exists(env.folder.file("quorvane.mdb")));
    }

    // The program's start paints the screen before it opens the results: the file is opened,
    // and copied, right after the first paint, or at once by a click that comes first; a file
    // that cannot be opened takes the screen away again with its message.
    void startPaintsBeforeTheResultsAreOpened_data()
    {
        QTest::addColumn<bool>("clickFirst");
        QTest::addColumn<bool>("missing");
        QTest::newRow("opened after the paint") << false << false;
        QTest::newRow("a click first") << true << false;
        QTest::newRow("missing file") << false << true;
    }
    void startPaintsBeforeTheResultsAreOpened()
    {
        QFETCH(bool, clickFirst);
        QFETCH(bool, missing);
        test::AppEnv env;
        if (missing)
            QVERIFY(QFile::remove(env.folder.file("quorvane.mdb")));
        env.app->start();
        auto *s = env.app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        QVERIFY(s && s->isVisible());
        QVERIFY(!env.app->state().dbrisultati);
        if (clickFirst) {
            click(control<ClickLabel>(s, "LabAVVIO"));
            QVERIFY(env.app->state().dbrisultati);
            QVERIFY(control<ClickLabel>(s, "Label1", 0)->isVisible());
        }
        s->repaint();
        if (missing) {
            QTRY_COMPARE(env.exit.ended, 1);
            QCOMPARE(env.dialogs.alerts.size(), 1);
            QVERIFY(env.dialogs.alerts.at(0).startsWith("Non riesco ad aprire l'archivio dei risultati."));
            QVERIFY(!s->isVisible());
            return;
        }
        QTRY_VERIFY(!QDir(env.folder.file("copie")).entryList({"*.mdb"}).isEmpty());
        QVERIFY(env.app->state().dbrisultati && env.app->state().dbrisultati->isOpen());
        QVERIFY(env.dialogs.alerts.isEmpty() && env.exit.ended == 0);
    }
};

QTEST_MAIN(TstStartScreen)
#include "tst_startscreen.moc"
