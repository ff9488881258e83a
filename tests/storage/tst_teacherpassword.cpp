// The teacher's password on the archive: rules, hash, growing wait that survives a restart,
// damaged settings, the door and its removal by the set-up tool.
#include "storage/teacherpassword.h"
#include "startup/inizio.h"
#include "storage/classmap.h"
#include "storage/pupilrecord.h"
#include "storage/recordset.h"
#include "storage/schema.h"
#include "support/fakes.h"
#include "support/tabledump.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

class TstTeacherPassword : public QObject {
    Q_OBJECT

    Database &db(test::ModelEnv &env) { return *env.session.state.dbrisultati; }

private slots:
    void passwordRules_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("refusal"); // empty: taken
        QTest::newRow("empty") << "" << "" << "almeno 6 caratteri";
        QTest::newRow("five") << "abcde" << "abcde" << "almeno 6 caratteri";
        QTest::newRow("five characters, ten bytes") << "àèìòù" << "àèìòù" << "almeno 6 caratteri";
        QTest::newRow("not the same") << "segreto1" << "segreto2" << "non sono uguali";
        QTest::newRow("six") << "abcdef" << "abcdef" << "";
        QTest::newRow("accents and euro") << "perché€1" << "perché€1" << "";
        QTest::newRow("ten thousand") << QString(10000, 'x') << QString(10000, 'x') << "";
    }
    void passwordRules()
    {
        QFETCH(QString, password);
        QFETCH(QString, again);
        QFETCH(QString, refusal);
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        TeacherPassword tp(db(env), env.clock);
        const auto r = tp.choose(password, again);
        QCOMPARE(r.ok, refusal.isEmpty());
        QVERIFY2(r.message.contains(refusal), qPrintable(r.message));
        QCOMPARE(tp.isSet(), r.ok);
        if (!r.ok)
            return;
        QVERIFY(!tp.check(password + "x").ok);
        QVERIFY(tp.check(password).ok);
        // The same text typed with combining accents is the same password.
        QVERIFY(tp.check(password.normalized(QString::NormalizationForm_D)).ok);
        // Neither the password nor its bytes reach the file; what is stored is a hash.
        const QByteArray bytes = test::fileAndLog(env.folder.file("quorvane.mdb"));
        QVERIFY(!bytes.contains(password.toUtf8()));
        QVERIFY(!bytes.contains(QByteArray(reinterpret_cast<const char *>(password.utf16()), password.size() * 2)));
        QVERIFY(setting(db(env), "password").startsWith("$argon2id$"));
    }

    // From the third wrong try in a row each next try waits longer; the count is in the
    // file, so a restart of the program does not reset it; the right password resets it.
    void waitGrowsAndSurvivesARestart()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        QVERIFY(TeacherPassword(db(env), env.clock).choose("giusta1", "giusta1").ok);
        const QList<int> waits = {0, 0, 2, 4, 8, 16, 32, 60, 60};
        for (int i = 0; i < waits.size(); ++i) {
            TeacherPassword tp(db(env), env.clock);
            const auto r = tp.check("sbagliata");
            QVERIFY(!r.ok);
            QCOMPARE(tp.secondsToWait(), waits[i]);
            if (waits[i] > 0) {
                QVERIFY2(r.message.endsWith(QString(" Prima di riprovare aspetta %1 secondi.").arg(waits[i])),
                         qPrintable(r.message));
                // Even the right password is not looked at before the wait is over.
                env.clock.advanceSecs(waits[i] - 1);
                const auto early = tp.check("giusta1");
                QVERIFY2(!early.ok && early.message.contains("aspetta ancora 1 secondo,"), qPrintable(early.message));
                // A restart: the database is opened anew.
                env.session.state.rsclasse.reset();
                env.session.state.dbrisultati.reset();
                QString e;
                env.session.state.dbrisultati = env.folder.open(&e);
                QCOMPARE(TeacherPassword(db(env), env.clock).secondsToWait(), 1);
                env.clock.advanceSecs(1);
            }
        }
        TeacherPassword tp(db(env), env.clock);
        QVERIFY(tp.check("giusta1").ok);
        QVERIFY(!tp.check("sbagliata").ok);
        QCOMPARE(tp.secondsToWait(), 0);
    }

    void damagedSettings()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        TeacherPassword tp(db(env), env.clock);
        QVERIFY(tp.choose("giusta1", "giusta1").ok);
        QVERIFY(setSetting(db(env), "password_errori", "molti"));
        QVERIFY(setSetting(db(env), "password_ultimo_errore", "ieri"));
        QCOMPARE(tp.secondsToWait(), 0);
        QVERIFY(tp.check("giusta1").ok);
        for (const QString &damaged : QStringList{"rovinata", "$argon2id$v=19$m=65536,t=2,p=1$xx", QString(500, '$')}) {
            QVERIFY(setSetting(db(env), "password", damaged));
            const auto r = tp.check("giusta1");
            QVERIFY(!r.ok);
            QVERIFY2(r.message.contains("danneggiata") && r.message.contains("mkquorvane --nuova-password"), qPrintable(r.message));
        }
    }

    // The door opens on nothing but the right password under a hash that checks. Each row is
    // a way a pupil with the lab account (and sqlite3) or a wrong clock could try it: the
    // hash changed while the door is open, the wrong-try time moved. `wait` is when the right
    // password opens again: 0 at once, -1 never.
    void doorWithoutBackDoors_data()
    {
        QTest::addColumn<QString>("from"); // replaced in the stored hash; "*" the whole of it
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("failures");
        QTest::addColumn<QString>("lastFailure"); // seconds from now, then "utc" or "local"
        QTest::addColumn<int>("wait");
        QTest::addColumn<QString>("says");
        const QString gone = "non c'è più nel file";
        QTest::newRow("the program's own hash") << "" << "" << 0 << "" << 0 << "";
        QTest::newRow("hash row deleted") << "*" << "" << 0 << "" << -1 << gone;
        QTest::newRow("blank hash") << "*" << "   " << 0 << "" << -1 << "danneggiata";
        QTest::newRow("absurd time cost") << ",t=2," << ",t=4294967295," << 0 << "" << -1 << "danneggiata";
        QTest::newRow("cheaper time cost") << ",t=2," << ",t=1," << 0 << "" << -1 << "danneggiata";
        QTest::newRow("other memory cost") << "m=65536," << "m=8," << 0 << "" << -1 << "danneggiata";
        QTest::newRow("other algorithm") << "$argon2id$" << "$argon2i$" << 0 << "" << -1 << "danneggiata";
        QTest::newRow("wrong-try time a day ahead") << "" << "" << 3 << "86400 utc" << 2 << "aspetta ancora 2 secondi";
        QTest::newRow("wrong-try time a year ahead, eight tries") << "" << "" << 8 << "31536000 utc" << 60 << "aspetta ancora 60 secondi";
        QTest::newRow("older version's local time, past") << "" << "" << 3 << "-5 local" << 0 << "";
        QTest::newRow("older version's local time, just now") << "" << "" << 3 << "0 local" << 2 << "aspetta ancora 2 secondi";
    }
    void doorWithoutBackDoors()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, failures);
        QFETCH(QString, lastFailure);
        QFETCH(int, wait);
        QFETCH(QString, says);
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        // On the server the door is the teacher's own login (tst_pgguard).
        QV_FILE_ONLY(env.folder);
        const QString right = QString::fromLatin1(test::FakeDialogs::kPassword);
        TeacherPassword tp(db(env), env.clock);
        QVERIFY(tp.choose(right, right).ok);
        QVERIFY(tp.isSet()); // the door is open: what follows happens behind it
        const QString hash = setting(db(env), "password");
        if (!from.isEmpty()) {
            QVERIFY(from == "*" || hash.contains(from));
            QVERIFY(setSetting(db(env), "password", from == "*" ? to : QString(hash).replace(from, to)));
        }
        if (failures > 0) {
            QVERIFY(setSetting(db(env), "password_errori", QString::number(failures)));
            const QDateTime at = env.clock.now().addSecs(lastFailure.section(' ', 0, 0).toInt());
            QVERIFY(setSetting(db(env), "password_ultimo_errore",
                               lastFailure.endsWith("utc") ? at.toUTC().toString(Qt::ISODateWithMs)
                                                           : at.toString("yyyy-MM-ddTHH:mm:ss.zzz")));
        }
        QElapsedTimer took;
        took.start();
        const auto first = tp.check(right);
        QVERIFY2(took.elapsed() < 30000, "the door froze");
        QCOMPARE(first.ok, wait == 0);
        QVERIFY2(first.message.contains(says), qPrintable(first.message));
        QVERIFY(!tp.check("qualunque cosa").ok);
        if (wait > 0) {
            env.clock.advanceSecs(wait - 1);
            QVERIFY(!tp.check(right).ok);
            env.clock.advanceSecs(1);
            QVERIFY(tp.check(right).ok);
        }
        if (wait < 0) {
            env.clock.advanceSecs(3600);
            QVERIFY(!tp.check(right).ok);
            return;
        }
        // A wrong try is stored in UTC, whatever the computer's zone.
        QVERIFY(!tp.check("sbagliata").ok);
        const QDateTime stored = QDateTime::fromString(setting(db(env), "password_ultimo_errore"), Qt::ISODateWithMs);
        QCOMPARE(stored.timeSpec(), Qt::UTC);
        QCOMPARE(stored, env.clock.now().toUTC());
    }

    // A password that went away is named before a new one is chosen: gone behind the
    // program's back (the file changed), or removed by the set-up tool (when).
    void lostPasswordIsToldBeforeANewOne()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        // On the server the door is the teacher's own login (tst_pgguard).
        QV_FILE_ONLY(env.folder);
        auto &d = env.dialogs;
        QVERIFY(openArchiveDoor(env.session)); // chosen as the fake teacher does
        QVERIFY(d.alerts.last().startsWith("La password è stata salvata."));
        QVERIFY(d.passwordTexts.last().contains("non i file") && d.passwordTexts.last().contains("server del laboratorio"));
        d.alerts.clear();
        QSqlQuery(db(env).sql()).exec("DELETE FROM impostazioni WHERE chiave = 'password'");
        QVERIFY(openArchiveDoor(env.session));
        QCOMPARE(d.alerts.size(), 2);
        QVERIFY2(d.alerts[0].contains("aveva una password") && d.alerts[0].contains("Non è stata tolta con il comando"),
                 qPrintable(d.alerts[0]));
        QVERIFY(TeacherPassword(db(env), env.clock).isSet());

        d.alerts.clear();
        QString e;
        QVERIFY2(TeacherPassword::remove(db(env), &e), qPrintable(e));
        QVERIFY(!TeacherPassword(db(env), env.clock).wasLost());
        QVERIFY(openArchiveDoor(env.session));
        QVERIFY2(d.alerts[0].startsWith("La password dell'archivio è stata tolta il "), qPrintable(d.alerts[0]));
        // A file that never had one says nothing of a loss.
        test::ModelEnv fresh;
        QVERIFY(openArchiveDoor(fresh.session));
        QCOMPARE(fresh.dialogs.alerts.size(), 1);
    }

    // A results file of an older version gets the teacher's tables at start-up, results kept.
    void olderFileGetsTheTeachersTables()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        // The server's tables are the set-up tool's; its roles make none.
        QV_FILE_ONLY(env.folder);
        env.addPupil("ROSSI ANNA");
        QSqlQuery q(db(env).sql());
        QVERIFY(q.exec("DROP TABLE impostazioni") && q.exec("DROP TABLE eliminati") && q.exec("DROP TABLE strumenti"));
        q.finish();
        InizioModel start(env.session);
        QString e;
        QVERIFY2(start.load(&e), qPrintable(e));
        QVERIFY(db(env).hasTable("impostazioni") && db(env).hasTable("eliminati") && db(env).hasTable("strumenti"));
        QCOMPARE(db(env).openRecordset("prima-C")->recordCount(), 1);
        QVERIFY(openArchiveDoor(env.session));
        QVERIFY(TeacherPassword(db(env), env.clock).isSet());
    }

    // The door of the archive: chosen the first time, asked every later time; Cancel
    // keeps the archive shut; a forgotten password is removed by the set-up tool.
    void theDoor()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        // On the server the door is the teacher's own login (tst_pgguard).
        QV_FILE_ONLY(env.folder);
        auto &d = env.dialogs;
        d.passwords = {{"corta", "corta"}, {"lunga123", "lunga124"}, {}};
        QVERIFY(!openArchiveDoor(env.session));
        QCOMPARE(d.passwordTitles, QStringList(3, "Password dell'insegnante"));
        QVERIFY(d.alerts[0].contains("almeno 6") && d.alerts[1].contains("non sono uguali"));
        QVERIFY(!TeacherPassword(db(env), env.clock).isSet());

        d.passwords = {{"lunga123", "lunga123"}};
        QVERIFY(openArchiveDoor(env.session));
        QVERIFY(d.alerts.last().startsWith("La password è stata salvata."));
        d.passwords = {{"lunga12"}, {}};
        QVERIFY(!openArchiveDoor(env.session));
        QCOMPARE(d.alerts.last(), QString("La password non è giusta."));
        d.passwords = {{"lunga123"}};
        QVERIFY(openArchiveDoor(env.session));

        // Change: the old one first.
        d.passwords = {{"sbagliata", "nuova123", "nuova123"}, {"lunga123", "nuova123", "nuova123"}};
        changeArchivePassword(env.session);
        QCOMPARE(d.alerts.last(), QString("La nuova password è stata salvata."));
        QVERIFY(TeacherPassword(db(env), env.clock).check("nuova123").ok);

        // Forgotten: the set-up tool removes it; the results stay.
        env.addPupil("ROSSI ANNA");
        const QString tool = qEnvironmentVariable("QUORVANE_BINARY_DIR") + "/mkquorvane";
        QProcess p;
        p.start(tool, {"--nuova-password", env.folder.path()});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("la password dell'archivio è stata tolta"));
        QString e;
        auto fresh = env.folder.open(&e);
        QVERIFY(!TeacherPassword(*fresh, env.clock).isSet());
        QCOMPARE(fresh->openRecordset("prima-C")->recordCount(), 1);
        env.session.state.rsclasse.reset();
        env.session.state.dbrisultati = std::move(fresh);
        d.passwords = {{"nuovissima", "nuovissima"}};
        QVERIFY(openArchiveDoor(env.session));
    }
};

QTEST_GUILESS_MAIN(TstTeacherPassword)
#include "tst_teacherpassword.moc"
