// The server guards the results itself: what a pupil can do with the lab computers' login
// (each forbidden attempt refused, a finished record's scores unreadable), what a teacher's
// login cannot do, and the upgrade of a server an older set-up made (tables owned by its
// login role) without a row lost. Runs only against the test cluster.
#include "storage/teacherpassword.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/recordset.h"
#include "storage/schema.h"
#include "storage/serverguard.h"
#include "support/fakes.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

// One value of a statement, or "<refused: why>".
QString one(Database &db, const QString &sql)
{
    QSqlQuery q(db.sql());
    if (!q.exec(sql))
        return QStringLiteral("<refused: %1>").arg(q.lastError().databaseText());
    if (!q.next())
        return QStringLiteral("<no row, %1 affected>").arg(q.numRowsAffected());
    return q.value(0).isNull() ? QStringLiteral("NULL") : q.value(0).toString();
}

// A finished and an unfinished record of "prima-A", each with an answer and tools.
struct Guarded {
    test::DataFolder folder;
    std::unique_ptr<Database> teacher;
    std::unique_ptr<Database> pupil;
    QString finished = QStringLiteral("2026-09-14 09:00:00.000 0000000f");
    QString unfinished = QStringLiteral("2026-09-14 09:00:00.000 0000000a");
    // On the physical map with no score of it: a record an interruption damaged.
    QString damaged = QStringLiteral("2026-09-14 09:00:00.000 0000000d");
    Guarded()
    {
        QString e;
        teacher = folder.open(&e);
        pupil = folder.openPupils(&e);
        if (!teacher || !pupil) {
            qWarning("%s", qPrintable(folder.error() + e));
            return;
        }
        for (const auto &[data, arrivo, sub] : {std::tuple{finished, 10, 20}, std::tuple{unfinished, 3, 2}, std::tuple{damaged, 9, 7}}) {
            one(*teacher, QStringLiteral("INSERT INTO \"prima-A\" (nome, data, arrivo, sub, lessico1) VALUES ('ROSSI ANNA', '%1', %2, %3, 7)")
                              .arg(data).arg(arrivo).arg(sub));
            one(*teacher, QStringLiteral("INSERT INTO risposte VALUES ('prima-A', '%1', 'lettura', 1, '2', 1, 'x')").arg(data));
            one(*teacher, QStringLiteral("INSERT INTO strumenti (classe, data, voce) VALUES ('prima-A', '%1', 1)").arg(data));
        }
        one(*teacher, "INSERT INTO impostazioni VALUES ('password', 'hash')");
    }
    // Every row the pupil must not change, as the teacher reads it.
    QString snapshot()
    {
        return one(*teacher, "SELECT string_agg(t::text, '|' ORDER BY rowid) FROM \"prima-A\" t")
            + one(*teacher, "SELECT string_agg(r::text, '|' ORDER BY data) FROM risposte r")
            + one(*teacher, "SELECT string_agg(s::text, '|' ORDER BY data) FROM strumenti s")
            + one(*teacher, "SELECT string_agg(i::text, '|') FROM impostazioni i")
            + one(*teacher, "SELECT count(*) FROM eliminati");
    }
};

} // namespace

class TstPgGuard : public QObject {
    Q_OBJECT

private slots:
    // Every attempt the lab computers' login might make beyond the pupils' road: each is
    // refused, or reaches nothing (a finished record's scores read empty, its answers and
    // tools are not there), and no row of the results changes.
    void pupilsRoleIsRefused()
    {
        Guarded g;
        QVERIFY2(g.teacher && g.pupil, qPrintable(g.folder.error()));
        const QString F = g.finished, U = g.unfinished, D = g.damaged;
        const QString tables = g.folder.schema();
        const QString before = g.snapshot();
        struct Attempt {
            const char *what;
            QString sql;
            QString expected; // empty: refused
        };
        const QList<Attempt> attempts = {
            {"a finished record's score", QStringLiteral("SELECT lessico1 FROM \"prima-A\" WHERE data = '%1'").arg(F), "NULL"},
            {"a finished record's answers", QStringLiteral("SELECT count(*) FROM risposte WHERE data = '%1'").arg(F), "0"},
            {"a finished record's tools", QStringLiteral("SELECT count(*) FROM strumenti WHERE data = '%1'").arg(F), "0"},
            {"the table itself", QStringLiteral("SELECT count(*) FROM %1.\"prima-A\"").arg(tables), {}},
            {"the answer log itself", QStringLiteral("SELECT count(*) FROM %1.risposte").arg(tables), {}},
            {"the tools table", QStringLiteral("SELECT count(*) FROM %1.strumenti").arg(tables), {}},
            {"the settings", QStringLiteral("SELECT valore FROM %1.impostazioni").arg(tables), {}},
            {"the recycle bin", QStringLiteral("SELECT count(*) FROM %1.eliminati").arg(tables), {}},
            {"changing a finished record", QStringLiteral("UPDATE \"prima-A\" SET lessico1 = 1 WHERE data = '%1'").arg(F), {}},
            {"finishing it again", QStringLiteral("UPDATE \"prima-A\" SET arrivo = 10, sub = 20 WHERE data = '%1'").arg(F), {}},
            {"lowering the progress", QStringLiteral("UPDATE \"prima-A\" SET sub = 1 WHERE data = '%1'").arg(U), {}},
            {"lowering the test", QStringLiteral("UPDATE \"prima-A\" SET arrivo = 2, sub = 9 WHERE data = '%1'").arg(U), {}},
            {"emptying the progress", QStringLiteral("UPDATE \"prima-A\" SET arrivo = NULL WHERE data = '%1'").arg(U), {}},
            {"renaming a pupil", QStringLiteral("UPDATE \"prima-A\" SET nome = 'BIANCHI' WHERE data = '%1'").arg(U), {}},
            {"changing a record's data", QStringLiteral("UPDATE \"prima-A\" SET data = 'x' WHERE data = '%1'").arg(U), {}},
            {"a new record already finished", "INSERT INTO \"prima-A\" (nome, arrivo, sub, lessico1) VALUES ('X', 10, 20, 9)", {}},
            {"a new record with its data", "INSERT INTO \"prima-A\" (nome, data, arrivo, sub) VALUES ('X', 'y', 1, 1)", {}},
            {"deleting a result", "DELETE FROM \"prima-A\"", {}},
            {"truncating a class", "TRUNCATE \"prima-A\"", {}},
            {"truncating the answers", "TRUNCATE risposte", {}},
            {"dropping the answers", "DROP VIEW risposte", {}},
            {"dropping a class table", QStringLiteral("DROP TABLE %1.\"prima-A\"").arg(tables), {}},
            {"altering a class", "ALTER VIEW \"prima-A\" RENAME TO x", {}},
            {"a table of one's own", "CREATE TABLE copia (nome text)", {}},
            {"a temporary table", "CREATE TEMP TABLE copia (nome text)", {}},
            {"a function", "CREATE FUNCTION f() RETURNS int LANGUAGE sql AS 'SELECT 1'", {}},
            {"a schema", "CREATE SCHEMA mio", {}},
            {"a trigger that copies every new pupil",
             QStringLiteral("CREATE TRIGGER copia BEFORE INSERT ON %1.\"prima-A\" FOR EACH ROW EXECUTE FUNCTION "
                            "suppress_redundant_updates_trigger()").arg(tables), {}},
            {"answers of a finished record", QStringLiteral("INSERT INTO risposte VALUES ('prima-A', '%1', 'lettura', 2, '1', 1, 'x')").arg(F), {}},
            {"changing a finished record's answers",
             QStringLiteral("UPDATE risposte SET giusta = 0 WHERE data = '%1' RETURNING 1").arg(F), "<no row, 0 affected>"},
            {"deleting a finished record's answers", QStringLiteral("DELETE FROM risposte WHERE data = '%1' RETURNING 1").arg(F),
             "<no row, 0 affected>"},
            {"writing tools", QStringLiteral("UPDATE strumenti SET voce = 0 WHERE data = '%1'").arg(U), {}},
            {"the teachers' rights", "SET ROLE quorvane_docenti", {}},
            {"the owner's rights", "SET ROLE quorvane_proprietario", {}},
            {"a file of the server", "COPY (SELECT 1) TO '/tmp/quorvane-copia'", {}},
            {"a program on the server", "COPY (SELECT 1) TO PROGRAM 'true'", {}},
            {"a trigger function called alone", "SELECT \"prima-A_scrive\"()", {}},
            // The record is at the grammar test: only its fields may change.
            {"an earlier test's score", QStringLiteral("UPDATE \"prima-A\" SET sub = 3, lessico1 = 1 WHERE data = '%1'").arg(U), {}},
            {"a later test's score", QStringLiteral("UPDATE \"prima-A\" SET elempol = 40 WHERE data = '%1'").arg(U), {}},
            {"a test beyond the next", QStringLiteral("UPDATE \"prima-A\" SET arrivo = 4, cronolog = 20 WHERE data = '%1'").arg(U), {}},
            // The view the stores go through.
            {"storing an earlier test there", QStringLiteral("UPDATE \"prima-A_in_corso\" SET lessico1 = 1 WHERE data = '%1'").arg(U), {}},
            {"lowering the progress there", QStringLiteral("UPDATE \"prima-A_in_corso\" SET sub = 1 WHERE data = '%1'").arg(U), {}},
            {"renaming a pupil there", QStringLiteral("UPDATE \"prima-A_in_corso\" SET nome = 'X' WHERE data = '%1'").arg(U), {}},
            {"changing a finished record there",
             QStringLiteral("UPDATE \"prima-A_in_corso\" SET lessico1 = 1 WHERE data = '%1' RETURNING 1").arg(F), "<no row, 0 affected>"},
            {"reading a finished record there", QStringLiteral("SELECT count(*) FROM \"prima-A_in_corso\" WHERE data = '%1'").arg(F), "0"},
            {"adding a record there", "INSERT INTO \"prima-A_in_corso\" (nome, arrivo, sub) VALUES ('X', 1, 1)", {}},
            {"deleting there", "DELETE FROM \"prima-A_in_corso\"", {}},
            {"turning the guard off", QStringLiteral("ALTER TABLE %1.\"prima-A\" DISABLE TRIGGER guardia").arg(tables), {}},
            // Only a map test with no score of its own starts again from its first place.
            {"restarting a test that is no map", QStringLiteral("UPDATE \"prima-A\" SET sub = 1, gramsem = 0 WHERE data = '%1'").arg(U), {}},
            {"restarting the map into an earlier test", QStringLiteral("UPDATE \"prima-A\" SET arrivo = 8, sub = 1, elemfis = 0 WHERE data = '%1'").arg(D), {}},
            {"restarting the map with a score", QStringLiteral("UPDATE \"prima-A\" SET sub = 1, elemfis = 5 WHERE data = '%1'").arg(D), {}},
            {"restarting the map rewriting an earlier test",
             QStringLiteral("UPDATE \"prima-A\" SET sub = 1, elemfis = 0, lessico1 = 0 WHERE data = '%1'").arg(D), {}},
        };
        for (const Attempt &a : attempts) {
            const QString got = one(*g.pupil, a.sql);
            if (a.expected.isEmpty())
                QVERIFY2(got.startsWith("<refused"), qPrintable(QStringLiteral("%1: %2").arg(a.what, got)));
            else
                QVERIFY2(got == a.expected, qPrintable(QStringLiteral("%1: %2").arg(a.what, got)));
        }
        QCOMPARE(g.snapshot(), before);
        // What the road does is let through: the unfinished record's score read, stored forward.
        QCOMPARE(one(*g.pupil, QStringLiteral("SELECT lessico1 FROM \"prima-A\" WHERE data = '%1'").arg(U)), QString("7"));
        QCOMPARE(one(*g.pupil, QStringLiteral("UPDATE \"prima-A\" SET sub = 3, gramsem = 8 WHERE data = '%1' RETURNING sub").arg(U)),
                 QString("3"));
        QCOMPARE(one(*g.pupil, QStringLiteral("UPDATE \"prima-A_in_corso\" SET arrivo = 4, sub = 1, temgram = 5 WHERE data = '%1' "
                                              "RETURNING arrivo").arg(U)),
                 QString("4"));
        // The damaged map starts again from its first place, its score zero.
        QCOMPARE(one(*g.pupil, QStringLiteral("UPDATE \"prima-A\" SET sub = 1, elemfis = 0 WHERE data = '%1' RETURNING sub").arg(D)),
                 QString("1"));
        // Once it holds a score, it goes forward only.
        QCOMPARE(one(*g.pupil, QStringLiteral("UPDATE \"prima-A\" SET sub = 2 WHERE data = '%1'").arg(D)), QString("<no row, 1 affected>"));
        QVERIFY(one(*g.pupil, QStringLiteral("UPDATE \"prima-A\" SET sub = 1 WHERE data = '%1'").arg(D)).startsWith("<refused"));
    }

    // A teacher reads and changes the results, but makes, drops or empties no table and
    // reaches no other schema of the database.
    void teachersRoleIsRefusedTheRest()
    {
        Guarded g;
        QVERIFY2(g.teacher, qPrintable(g.folder.error()));
        for (const char *sql : {"DROP TABLE risposte", "TRUNCATE \"prima-A\"", "CREATE TABLE copia (nome text)",
                                "CREATE TEMP TABLE copia (nome text)", "ALTER TABLE \"prima-A\" ADD COLUMN x int",
                                "CREATE TRIGGER copia BEFORE INSERT ON \"prima-A\" FOR EACH ROW EXECUTE FUNCTION suppress_redundant_updates_trigger()",
                                "SET ROLE quorvane_proprietario", "SELECT rolpassword FROM pg_authid",
                                "UPDATE anni_classi SET lessico1 = 1", "UPDATE anni_eliminati SET nome = 'X'",
                                "UPDATE anni_risposte SET giusta = 1", "UPDATE anni_strumenti SET voce = 0"})
            QVERIFY2(one(*g.teacher, sql).startsWith("<refused"), sql);
        QCOMPARE(one(*g.teacher, QStringLiteral("UPDATE \"prima-A\" SET lessico1 = 3 WHERE data = '%1' RETURNING lessico1").arg(g.finished)),
                 QString("3"));
    }

    // The archive's door on the server: the teacher's own login, checked by the server, on a
    // connection of its own that the archive then works on; the lab computer's connection
    // comes back when the archive closes. A wrong password, an unknown login, or a login
    // that is no teacher's keep the door shut.
    void teacherDoor()
    {
        struct Try {
            const char *what;
            QStringList typed;
            QString told; // empty: the door opens
        };
        const QList<Try> tries = {
            {"the teacher", {test::DataFolder::kTeacherLogin, test::DataFolder::kTeacherPassword}, {}},
            {"a wrong password", {test::DataFolder::kTeacherLogin, "gessetto"}, "non ha accettato"},
            {"an unknown login", {"nessuno", "gessetto"}, "non ha accettato"},
            {"the lab computers' login", {kPupilRole, "x"}, "non è tra gli insegnanti"},
            {"an empty password", {test::DataFolder::kTeacherLogin, ""}, "Scrivi il nome utente e la password"},
        };
        for (const Try &t : tries) {
            test::ModelEnv env("prima-B");
            QVERIFY2(env.session.state.dbrisultati, qPrintable(env.folder.error()));
            env.dialogs.logins = {t.typed, {}};
            const bool opened = openArchiveDoor(env.session);
            QVERIFY2(opened == t.told.isEmpty(), t.what);
            if (!opened) {
                QVERIFY2(!env.dialogs.alerts.isEmpty() && env.dialogs.alerts.first().contains(t.told), qPrintable(env.dialogs.alerts.join('|')));
                QVERIFY(!env.session.state.dbdocente);
                continue;
            }
            Database *lab = env.session.state.dbrisultati.get();
            enterArchive(env.session);
            QCOMPARE(serverRole(*env.session.state.dbrisultati).name, QString(test::DataFolder::kTeacherLogin));
            QString e;
            QVERIFY2(ensureArchiveTables(*env.session.state.dbrisultati, &e), qPrintable(e));
            leaveArchive(env.session);
            QCOMPARE(env.session.state.dbrisultati.get(), lab);
            QVERIFY(!env.session.state.dbdocente && !env.session.state.dblaboratorio);
        }
    }

    // The set-up tool on a lab computer, whose server.ini names the pupils' role: it neither
    // removes a teacher's password (it says how the technician resets one) nor sets up the
    // server (it says who may).
    void toolOnALabComputer()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        const QList<QPair<QString, QStringList>> runs = {
            {"--nuova-password", {"\\password NOMEUTENTE", "sul server"}},
            {"--server", {"non può preparare", "sudo -u postgres mkquorvane --server --collegamento"}},
        };
        for (const auto &[option, told] : runs) {
            QProcess tool;
            tool.start(qEnvironmentVariable("QUORVANE_BINARY_DIR") + "/mkquorvane", {option, folder.path()});
            QVERIFY(tool.waitForFinished(60000));
            const QString said = QString::fromUtf8(tool.readAllStandardError());
            QVERIFY2(tool.exitCode() == 1, qPrintable(option + ": " + said));
            for (const QString &t : told)
                QVERIFY2(said.contains(t), qPrintable(option + ": " + said));
        }
    }

    // A teacher over TCP: TLS with the server's certificate checked (verify-full) and the
    // password bound to that channel (channel_binding=require), made for the test cluster on
    // 127.0.0.1. Another authority's certificate, a name the certificate does not carry, or
    // no TLS at all: refused.
    void tlsOverTcp()
    {
        const QString dir = qEnvironmentVariable("QUORVANE_PG_DIR");
        QFile portFile(dir + "/port");
        if (!portFile.open(QIODevice::ReadOnly))
            QSKIP("the test cluster listens on no TCP port");
        const QString port = QString::fromLatin1(portFile.readAll()).trimmed();
        QTemporaryDir other;
        QCOMPARE(QProcess::execute("openssl", {"req", "-new", "-x509", "-days", "1", "-nodes", "-subj", "/CN=127.0.0.1", "-addext",
                                               "subjectAltName=IP:127.0.0.1", "-keyout", other.filePath("k"), "-out", other.filePath("c")}),
                 0);
        const QString own = dir + "/server.crt";
        struct Try {
            const char *what;
            QString connection;
            bool connects;
        };
        const QList<Try> tries = {
            {"the server's certificate, checked", QStringLiteral("host=127.0.0.1 sslmode=verify-full sslrootcert='%1' channel_binding=require").arg(own), true},
            {"another authority", QStringLiteral("host=127.0.0.1 sslmode=verify-full sslrootcert='%1'").arg(other.filePath("c")), false},
            {"another name", QStringLiteral("host=localhost hostaddr=127.0.0.1 sslmode=verify-full sslrootcert='%1'").arg(own), false},
            {"no TLS", QStringLiteral("host=127.0.0.1 sslmode=disable"), false},
        };
        for (const Try &t : tries) {
            QString e;
            auto db = Database::connect(ServerConfig::parse(QStringLiteral("%1 port=%2 dbname=quorvane user=maestra").arg(t.connection, port)), &e,
                                        QString::fromLatin1(test::DataFolder::kTeacherPassword));
            QVERIFY2(bool(db) == t.connects, qPrintable(QStringLiteral("%1: %2").arg(t.what, e)));
            if (db)
                QCOMPARE(one(*db, "SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()"), QString("true"));
        }
    }

    // A server of the older set-up: the tables made by its login role, which owns the
    // database and whose password the lab computers held. The set-up, run by the server's
    // administrator, gives everything to the owner role with every row, twice over with the
    // same outcome, and completes a server of the previous guard (no store views) likewise;
    // the old role then reads nothing and the pupils' road works on it.
    void upgradeOfAnOlderServer()
    {
        const QString server = test::DataFolder::testServer();
        QVERIFY2(!server.isEmpty(), "QUORVANE_PG names no test server");
        const QString tag = QStringLiteral("qvup%1").arg(QCoreApplication::applicationPid());
        auto connectAs = [&](const QString &user, const QString &dbname) {
            QString e;
            auto db = Database::connect(ServerConfig::parse(server + QStringLiteral(" user=%1 dbname=%2").arg(user, dbname)), &e);
            if (!db)
                qWarning("%s", qPrintable(e));
            return db;
        };
        auto admin = connectAs("postgres", "postgres");
        QVERIFY(admin);
        one(*admin, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(tag));
        one(*admin, QStringLiteral("DROP ROLE IF EXISTS %1").arg(tag));
        QVERIFY(one(*admin, QStringLiteral("CREATE ROLE %1 LOGIN").arg(tag)).startsWith("<no row"));
        QVERIFY(one(*admin, QStringLiteral("CREATE DATABASE %1 OWNER %1").arg(tag)).startsWith("<no row"));
        QString e;
        {
            auto old = connectAs(tag, tag);
            QVERIFY(old);
            QVERIFY2(ensureResultsSchema(*old, &e) && ensureArchiveTables(*old, &e), qPrintable(e));
            for (int i = 0; i < 3; ++i)
                one(*old, QStringLiteral("INSERT INTO \"prima-B\" (nome, arrivo, sub, fatti1) VALUES ('ALUNNO %1', %2, 1, %1)").arg(i).arg(4 + 3 * i));
            one(*old, "INSERT INTO risposte SELECT 'prima-B', data, 'lettura', 1, '2', 1, 'x' FROM \"prima-B\"");
            one(*old, "INSERT INTO strumenti (classe, data, testo) SELECT 'prima-B', data, 150 FROM \"prima-B\"");
            one(*old, "INSERT INTO eliminati (classe, riga, eliminato, nome) VALUES ('prima-B', 9, 'ieri', 'TOLTO')");
        }
        const QString rows = "SELECT (SELECT string_agg(t::text, '|' ORDER BY rowid) FROM \"prima-B\" t) || (SELECT count(*) FROM risposte) "
                             "|| (SELECT count(*) FROM strumenti) || (SELECT count(*) FROM eliminati)";
        const QString before = one(*connectAs(tag, tag), rows);
        QVERIFY(before.contains("ALUNNO 2"));
        const ServerConfig technician = ServerConfig::parse(server + QStringLiteral(" user=postgres dbname=%1").arg(tag));
        // Class tables with their guard and their store view.
        const QString doors = QStringLiteral("SELECT count(*) FROM pg_trigger g JOIN pg_class c ON c.oid = g.tgrelid WHERE g.tgname = "
                                             "'guardia' AND to_regclass(format('%I.%I', '") + kPupilRole + "', c.relname || '_in_corso')) IS NOT NULL";
        for (int run = 0; run < 3; ++run) {
            auto tech = Database::connect(technician, &e);
            QVERIFY2(tech, qPrintable(e));
            if (run == 2) {
                // A server of the previous guard: the stores went through the class views'
                // own triggers, with no store views and no guard on the tables.
                for (const QString &t : classTables())
                    one(*tech, QStringLiteral("DROP VIEW %1.\"%2\"; DROP TRIGGER guardia ON \"%3\"").arg(kPupilRole, pupilStoreView(t), t));
                QCOMPARE(one(*tech, doors), QString("0"));
            }
            QStringList notices;
            QVERIFY2(prepareServer(technician, &e, &notices), qPrintable(e));
            auto teacher = Database::connect(ServerConfig::parse(server + QStringLiteral(" user=maestra dbname=%1").arg(tag)), &e,
                                             QString::fromLatin1(test::DataFolder::kTeacherPassword));
            QVERIFY2(teacher, qPrintable(e));
            QCOMPARE(one(*teacher, rows), before);
            QCOMPARE(one(*teacher, "SELECT string_agg(DISTINCT pg_get_userbyid(relowner), ',') FROM pg_class WHERE relnamespace = "
                                   "'public'::regnamespace AND relkind IN ('r', 'v', 'S')"),
                     QString(kOwnerRole));
            if (run == 0)
                QVERIFY2(notices.join(' ').contains("ALTER ROLE " + tag + " NOLOGIN"), qPrintable(notices.join('\n')));
            QCOMPARE(one(*tech, doors), QString::number(classTables().size()));
        }
        // The old login is refused the database; the pupils' road registers and stores.
        QVERIFY(!connectAs(tag, tag) || one(*connectAs(tag, tag), "SELECT count(*) FROM \"prima-B\"").startsWith("<refused"));
        {
            auto pupil = connectAs(kPupilRole, tag);
            QVERIFY(pupil);
            auto rs = pupil->openRecordset("prima-B");
            QVERIFY2(rs, qPrintable(pupil->lastError()));
            rs->addNew();
            rs->setField("nome", "NUOVO ALUNNO");
            rs->setField("arrivo", 1);
            rs->setField("sub", 1);
            QVERIFY2(rs->update(), qPrintable(rs->lastError()));
            QVERIFY(rs->editAt(rs->lastModified()) && rs->setField("sub", 2) && rs->update());
        }
        admin.reset();
        admin = connectAs("postgres", "postgres");
        one(*admin, QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(tag));
        QVERIFY(one(*admin, QStringLiteral("DROP ROLE %1").arg(tag)).startsWith("<no row"));
    }
};

QTEST_GUILESS_MAIN(TstPgGuard)
#include "tst_pgguard.moc"
