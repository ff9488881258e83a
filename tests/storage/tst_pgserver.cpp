// What only the server has: a server.ini that cannot be used, a server that refuses, a schema
// that is not whole, a role that may not write (each an orderly stop at start, never the
// file instead), a server lost in the middle of a test, "data" made by the server, and the
// set-up run again on a server that holds results. Runs only against the test cluster.
#include "archive/resultmatrix.h"
#include "startup/datafolder.h"
#include "startup/nome.h"
#include "startup/inizio.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

bool run(Database &db, const QString &sql)
{
    QSqlQuery q(db.sql());
    if (q.exec(sql))
        return true;
    qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

QString schemaOf(Database &db)
{
    QSqlQuery q(db.sql());
    return q.exec(QStringLiteral("SELECT current_schema()")) && q.next() ? q.value(0).toString() : QString();
}

bool cluster(const char *what)
{
    return QProcess::execute(QStringLiteral("bash"),
                             {qEnvironmentVariable("QUORVANE_SOURCE_DIR") + QStringLiteral("/scripts/pgcluster.sh"),
                              QString::fromLatin1(what), qEnvironmentVariable("QUORVANE_PG_DIR")})
        == 0;
}

int count(Database &db, const QString &sql)
{
    QSqlQuery q(db.sql());
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

class TstPgServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!test::DataFolder::testServer().isEmpty(), "QUORVANE_PG names no test server");
    }

    // Each row changes the server.ini or the schema of a fresh folder, then starts the
    // program's start-up: it stops with a message holding every fragment (or, with no
    // fragments, starts).
    void startFaults_data()
    {
        QTest::addColumn<QString>("ini");   // {base}: the folder's own connection string
        QTest::addColumn<QString>("setup"); // SQL run first on the folder's schema; {s}: its name
        QTest::addColumn<QString>("pgpass");
        QTest::addColumn<QStringList>("expected");
        const QString base = QStringLiteral("{base}");
        QTest::newRow("malformed") << "host=x port" << "" << "" << QStringList{"server.ini", "non è scritto bene", "Correggi"};
        QTest::newRow("unknown keyword") << base + "\nhots=x" << "" << "" << QStringList{"\"hots\"", "Correggi"};
        QTest::newRow("password in the file") << base + "\npassword=segreta" << "" << ""
                                              << QStringList{"la password non si scrive", ".pgpass"};
        QTest::newRow("unreadable") << "<folder>" << "" << "" << QStringList{"server.ini", "non si può leggere"};
        QTest::newRow("refused") << "host=/nonexistent/quorvane dbname=quorvane" << "" << ""
                                 << QStringList{"Non riesco a collegarmi", "/nonexistent/quorvane", "acceso"};
        QTest::newRow("wrong password")
            << base + "\nuser=conpassword" << "" << "*:*:*:conpassword:sbagliata"
            << QStringList{"conpassword", "password", "PGPASSFILE"};
        QTest::newRow("right password")
            << base + "\nuser=conpassword"
            << "GRANT USAGE ON SCHEMA {s} TO conpassword; GRANT ALL ON ALL TABLES IN SCHEMA {s} TO conpassword"
            << "*:*:*:conpassword:giusta" << QStringList{};
        QTest::newRow("missing table") << base << "DROP TABLE \"prima-D\" CASCADE" << ""
                                       << QStringList{"non è completo: manca la tabella \"prima-D\"", "mkquorvane --server"};
        QTest::newRow("missing column") << base << "ALTER TABLE \"prima-B\" DROP COLUMN temgram CASCADE" << ""
                                        << QStringList{"\"prima-B\"", "manca il campo \"temgram\"", "mkquorvane --server"};
        QTest::newRow("read-only role")
            << base + "\nuser=lettore"
            << "GRANT USAGE ON SCHEMA {s} TO lettore; GRANT SELECT ON ALL TABLES IN SCHEMA {s} TO lettore" << ""
            << QStringList{"\"lettore\"", "non ha il permesso di scrivere", "prima-A", "Dai a questo utente"};
    }
    void startFaults()
    {
        QFETCH(QString, ini);
        QFETCH(QString, setup);
        QFETCH(QString, pgpass);
        QFETCH(QStringList, expected);
        test::ModelEnv env;
        QVERIFY2(env.folder.ok(), qPrintable(env.folder.error()));
        const QString schema = env.folder.schema();
        auto technician = env.folder.openAdmin();
        QVERIFY(technician && schemaOf(*technician) == schema);
        for (const QString &sql : setup.split(QStringLiteral("; "), Qt::SkipEmptyParts))
            QVERIFY(run(*technician, QString(sql).replace(QStringLiteral("{s}"), schema)));
        const QString iniFile = env.folder.file(QStringLiteral("server.ini"));
        QFile::remove(iniFile);
        if (ini == QLatin1String("<folder>")) {
            QVERIFY(QDir().mkdir(iniFile));
        } else {
            QFile f(iniFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QString(ini)
                        .replace(QStringLiteral("{base}"), test::DataFolder::testServer()
                                                               + QStringLiteral("\noptions='-c search_path=%1'").arg(schema))
                        .toUtf8());
        }
        QTemporaryFile passfile;
        QVERIFY(passfile.open());
        passfile.write(pgpass.toUtf8() + "\n");
        passfile.close();
        qputenv("PGPASSFILE", passfile.fileName().toLocal8Bit());
        InizioModel inizio(env.session);
        QString e;
        const bool started = inizio.load(&e);
        qunsetenv("PGPASSFILE");
        QCOMPARE(started, expected.isEmpty());
        for (const QString &fragment : expected)
            QVERIFY2(e.contains(fragment), qPrintable(e));
        // Never the file instead: a lab's results must not split without anyone noticing.
        QCOMPARE(bool(env.session.state.dbrisultati), started);
        if (started)
            QVERIFY(env.session.state.dbrisultati->onServer());
    }

    // A password file others can read is passed over by libpq, which then says only that no
    // password was given: the start says what is wrong with the file.
    void passwordFileOpenToOthers()
    {
        test::ModelEnv env;
        QVERIFY2(env.folder.ok(), qPrintable(env.folder.error()));
        QFile ini(env.folder.file(QStringLiteral("server.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write((test::DataFolder::testServer() + QStringLiteral("\nuser=conpassword")).toUtf8());
        ini.close();
        QTemporaryFile passfile;
        QVERIFY(passfile.open());
        passfile.write("*:*:*:conpassword:giusta\n");
        passfile.close();
        QVERIFY(passfile.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        qputenv("PGPASSFILE", passfile.fileName().toLocal8Bit());
        InizioModel inizio(env.session);
        QString e;
        const bool started = inizio.load(&e);
        qunsetenv("PGPASSFILE");
        QVERIFY(!started);
        QVERIFY2(e.contains("anche da altri utenti") && e.contains("chmod 600 " + passfile.fileName()), qPrintable(e));
    }

    // The server stops while a pupil works: the store fails and keeps the answers; once the
    // server is back, the next store writes record and answers whole on a new connection.
    void serverLostDuringATest()
    {
        test::ModelEnv env;
        QVERIFY2(env.folder.ok(), qPrintable(env.folder.error()));
        env.addPupil(QStringLiteral("ROSSI ANNA"));
        env.session.logAnswer({QStringLiteral("lettura"), 1, QStringLiteral("2"), true});
        QVERIFY(cluster("halt"));
        const bool storedWhileDown = env.session.storePupil({{QStringLiteral("lessico1"), 3}, {QStringLiteral("sub"), 2}});
        const bool resumed = cluster("resume");
        QVERIFY(resumed);
        QVERIFY(!storedWhileDown);
        QCOMPARE(env.session.pendingAnswers(), 1);
        env.session.logAnswer({QStringLiteral("lettura"), 2, QStringLiteral("1"), false});
        QVERIFY(env.session.storePupil({{QStringLiteral("lessico1"), 3}, {QStringLiteral("sub"), 3}}));
        QCOMPARE(env.stored(QStringLiteral("lessico1")).toInt(), 3);
        QCOMPARE(env.stored(QStringLiteral("sub")).toInt(), 3);
        Database &db = *env.session.state.dbrisultati;
        QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM risposte")), 2);
        QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM \"prima-C\"")), 1);
    }

    // The server stops while a pupil is at name entry: the list of names, "OK, ho fatto..."
    // and the archive's grid each say that the archive cannot be read (never that it is
    // empty) and leave the connection closed; once the server is back, each connects again.
    void connectsAgainOnceTheServerIsBack()
    {
        test::ModelEnv env;
        QVERIFY2(env.folder.ok(), qPrintable(env.folder.error()));
        env.addPupil(QStringLiteral("ROSSI ANNA"));
        env.session.state.modoavvio = QStringLiteral("inizio");
        NomeModel nome(env.session);
        ResultMatrix grid;
        QVERIFY(cluster("halt"));
        const QStringList namesWhileDown = nome.load();
        const NomeModel::Outcome okWhileDown = nome.confirm(QStringLiteral("VERDI"), QStringLiteral("LUCA"));
        const bool gridWhileDown = matrice(env.session.state, grid);
        QVERIFY(cluster("resume"));
        QVERIFY(namesWhileDown.isEmpty());
        QVERIFY(okWhileDown == NomeModel::Outcome::Stay);
        QVERIFY(!gridWhileDown);
        QCOMPARE(env.dialogs.alerts.size(), 2);
        for (const QString &said : std::as_const(env.dialogs.alerts))
            QVERIFY2(said.startsWith(QStringLiteral("Non riesco a leggere l'archivio dei risultati (")), qPrintable(said));

        QCOMPARE(nome.load(), QStringList{QStringLiteral("ROSSI ANNA")});
        QVERIFY(nome.confirm(QStringLiteral("VERDI"), QStringLiteral("LUCA")) == NomeModel::Outcome::Dispatched);
        QVERIFY(matrice(env.session.state, grid));
        QCOMPARE(grid.numalunni(), 2);
    }

    // "data" is made by the server in the shape SQLite gives it, and differs row by row.
    void dataMadeByTheServer()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        auto db = folder.open();
        QVERIFY(db && db->onServer());
        auto rs = db->openRecordset(QStringLiteral("prima-A"));
        QSet<QString> seen;
        for (int i = 0; i < 50; ++i) {
            rs->addNew();
            QVERIFY(rs->update());
            QVERIFY(rs->setBookmark(rs->lastModified()));
            seen << rs->field(QStringLiteral("data")).toString();
        }
        QCOMPARE(seen.size(), 50);
        static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [0-9a-f]{8}$"));
        for (const QString &d : std::as_const(seen))
            QVERIFY2(shape.match(d).hasMatch(), qPrintable(d));
        const QDateTime made = QDateTime::fromString(seen.begin()->left(23), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        QVERIFY(qAbs(made.secsTo(QDateTime::currentDateTime())) < 120); // local time, not UTC
    }

    // The set-up run again on a server holding results keeps every row and finishes what is missing.
    void setupAgainKeepsResults()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        auto db = folder.openAdmin();
        QVERIFY(db);
        auto rs = db->openRecordset(QStringLiteral("prima-E"));
        rs->addNew();
        rs->setField(QStringLiteral("nome"), QStringLiteral("VERDI LUCA"));
        QVERIFY(rs->update());
        QVERIFY(run(*db, QStringLiteral("DROP TABLE \"prima-F\" CASCADE")));
        QVERIFY(run(*db, QStringLiteral("DELETE FROM a_grammaticale")));
        QString e;
        QVERIFY2(prepareServer(folder.adminConfig(), &e), qPrintable(e));
        QCOMPARE(count(*db, QStringLiteral("SELECT count(*) FROM \"prima-E\" WHERE nome = 'VERDI LUCA'")), 1);
        QVERIFY(db->hasTable(QStringLiteral("prima-F")));
        QVERIFY(count(*db, QStringLiteral("SELECT count(*) FROM a_grammaticale")) > 0);
    }
};

QTEST_GUILESS_MAIN(TstPgServer)
#include "tst_pgserver.moc"
