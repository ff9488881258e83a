// Words a teacher reads: messages whose words follow a number, for one result and for
// several; stored moments shown as dates; why the server refused, in Italian first.
#include "archive/backup.h"
#include "storage/serverconfig.h"
#include "storage/wording.h"
#include "support/computer.h"

#include <QtTest>

using namespace qv;

class TstWording : public QObject {
    Q_OBJECT

private slots:
    // One class of `n` results exported twice onto one disk, copied and put back, then
    // deleted into the bin and the bin emptied: each message agrees with `n`.
    void messagesAgreeWithTheCount_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one") << 1
            << QStringList{"Esportazione finita: 1 risultato esportato",
                           "\nLa copia di un'esportazione precedente (1) è stata sostituita,",
                           "ora l'archivio ha 1 risultato.",
                           "Vuoi cancellare per sempre il risultato che è nel cestino? Non si potrà più recuperare.",
                           "Il cestino è stato svuotato. Il risultato che conteneva resta soltanto nelle copie di "
                           "sicurezza fatte prima (nella cartella \"copie\"), finché non se ne saranno fatte altre 30"};
        QTest::newRow("three") << 3
            << QStringList{"Esportazione finita: 3 risultati esportati",
                           "\nLe copie di un'esportazione precedente (3) sono state sostituite,",
                           "ora l'archivio ha 3 risultati.",
                           "Vuoi cancellare per sempre i 3 risultati che sono nel cestino? Non si potranno più "
                           "recuperare.",
                           "Il cestino è stato svuotato. I risultati che conteneva restano soltanto nelle copie"};
    }
    void messagesAgreeWithTheCount()
    {
        QFETCH(int, n);
        QFETCH(QStringList, expected);
        test::Computer c;
        for (int i = 0; i < n; ++i)
            QVERIFY(!c.add(QStringLiteral("ALUNNO %1").arg(i)).isEmpty());
        QTemporaryDir disk;
        c.exportTo(disk.path());
        c.exportTo(disk.path());
        QStringList said{c.lastAlert()};

        const QString copie = c.env.folder.file(QString::fromLatin1(kBackupFolder));
        QVERIFY(makeBackup(c.db(), copie, c.env.clock.now()).ok());
        c.env.clock.advanceSecs(60);
        c.archivio.ripristino(c.archivio.copie().value(0));
        said << c.lastAlert();

        c.archivio.chooseClass(2);
        for (int i = 0; i < n; ++i) {
            c.archivio.select(0);
            c.archivio.elimino();
        }
        QCOMPARE(c.archivio.cestino().size(), n);
        c.archivio.svuotoCestino();
        said << c.env.dialogs.questions.last() << c.lastAlert();
        QCOMPARE(c.archivio.cestino().size(), 0);
        for (const QString &fragment : expected)
            QVERIFY2(said.join(QLatin1Char('\n')).contains(fragment), qPrintable(said.join("\n---\n")));
    }

    // The record's key, with and without seconds, and what another program may have left, as shown.
    void storedMomentsAsShown_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("seconds");
        QTest::addColumn<QString>("shown");
        QTest::newRow("record key") << "2026-12-10 09:04:55.218 f67b57d9" << false << "10/12/2026 09:04";
        QTest::newRow("record key, seconds") << "2026-12-10 09:04:55.218 f67b57d9" << true << "10/12/2026 09:04:55";
        QTest::newRow("hour skipped by summer time") << "2026-03-29 02:30:00.000 0a1b2c3d" << false << "29/03/2026 02:30";
        QTest::newRow("no such day") << "2026-02-30 10:00:00.000 0a1b2c3d" << false << "2026-02-30 10:00:00.000 0a1b2c3d";
        QTest::newRow("another program's") << " 10/12/2026 9.04.55 " << false << "10/12/2026 9.04.55";
    }
    void storedMomentsAsShown()
    {
        QFETCH(QString, stored);
        QFETCH(bool, seconds);
        QFETCH(QString, shown);
        QCOMPARE(shownStamp(stored, seconds), shown);
    }

    // libpq's English text of a failed connection, with the password file as it is: the
    // Italian cause and what to do come first, the engine's text after them.
    void serverFailureExplained_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("passMode"); // the password file's mode; -1 none
        QTest::addColumn<QStringList>("expected");
        const QString lab = QStringLiteral("host=10.0.0.5 port=5432 dbname=quorvane user=maestra");
        const QString at = QStringLiteral("connection to server at \"10.0.0.5\", port 5432 failed: ");
        QTest::newRow("wrong password")
            << lab << at + "FATAL:  password authentication failed for user \"maestra\"" << 0600
            << QStringList{"il server non accetta la password dell'utente \"maestra\".\nControlla la password",
                           "(indicato dalla variabile PGPASSFILE)"};
        QTest::newRow("password file open to others")
            << lab << at + "fe_sendauth: no password supplied" << 0644
            << QStringList{"si può leggere o cambiare anche da altri utenti", "chmod 600 {pass}"};
        QTest::newRow("password file missing") << lab << at + "fe_sendauth: no password supplied" << -1
            << QStringList{"il file delle password \"{pass}\"", "non c'è", "10.0.0.5:5432:quorvane:maestra:la-password"};
        QTest::newRow("no line for this server") << lab << at + "fe_sendauth: no password supplied" << 0600
            << QStringList{"non c'è una riga per questo server", "10.0.0.5:5432:quorvane:maestra:la-password"};
        QTest::newRow("no server on the socket")
            << "host=/run/quorvane dbname=quorvane"
            << "connection to server on socket \"/run/quorvane/.s.PGSQL.5432\" failed: No such file or directory\n"
               "\tIs the server running locally and accepting connections on that socket?"
            << -1
            << QStringList{"nella cartella \"/run/quorvane\" di questo computer non risponde nessun server",
                           "sudo systemctl start postgresql"};
        // A computer and a server set up in Italian: libpq, the server and the C library translated.
        QTest::newRow("wrong password, in Italian")
            << lab << "connessione al server su \"10.0.0.5\", porta 5432 non riuscita: FATAL:  autenticazione con "
                      "password fallita per l'utente \"maestra\"" << 0600
            << QStringList{"il server non accetta la password dell'utente \"maestra\"."};
        QTest::newRow("no server on the socket, in Italian") << "host=/run/quorvane dbname=quorvane"
            << "connessione al server sul socket \"/run/quorvane/.s.PGSQL.5432\" non riuscita: File o directory non "
               "esistente" << -1
            << QStringList{"nella cartella \"/run/quorvane\" di questo computer non risponde nessun server"};
        QTest::newRow("refused") << lab << at + "Connection refused\n\tIs the server running on that host?" << -1
            << QStringList{"PostgreSQL non accetta collegamenti sulla porta 5432", "listen_addresses"};
        QTest::newRow("not in pg_hba.conf")
            << lab << at + "FATAL:  no pg_hba.conf entry for host \"10.0.0.7\", user \"maestra\", database \"quorvane\"" << -1
            << QStringList{"non ammette collegamenti da questo computer", "pg_hba.conf"};
        QTest::newRow("no such database") << lab << at + "FATAL:  database \"quorvane\" does not exist" << -1
            << QStringList{"sul server non c'è il database \"quorvane\"", "mkquorvane --server"};
        QTest::newRow("not understood") << lab << at + "something new" << -1
            << QStringList{"il server non risponde come dovrebbe.\nControlla che il server sia acceso"};
    }
    void serverFailureExplained()
    {
        QFETCH(QString, ini);
        QFETCH(QString, engine);
        QFETCH(int, passMode);
        QFETCH(QStringList, expected);
        QTemporaryDir home;
        const QString pass = home.filePath(QStringLiteral("pgpass"));
        if (passMode > 0) {
            QFile f(pass);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("altro:5432:*:maestra:segreta\n") > 0);
            f.close();
            const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner;
            QVERIFY(f.setPermissions(passMode == 0644 ? own | QFile::ReadGroup | QFile::ReadOther : own));
        }
        qputenv("PGPASSFILE", pass.toLocal8Bit());
        const QString said = ServerConfig::parse(ini, QStringLiteral("/scuola/server.ini")).explainFailure(engine);
        qunsetenv("PGPASSFILE");
        for (QString fragment : expected)
            QVERIFY2(said.contains(fragment.replace(QStringLiteral("{pass}"), pass)), qPrintable(said));
        // The engine's own words close the message, on one line.
        QVERIFY2(said.endsWith(QStringLiteral("\n(Risposta di PostgreSQL: %1)").arg(engine.simplified())), qPrintable(said));
        QCOMPARE(said.count(QLatin1Char('\n')), 2);
    }
};

QTEST_GUILESS_MAIN(TstWording)
#include "tst_wording.moc"
