// Faults of the results file: a truncated or garbled file, a full disk during stores and
// while the set-up tool makes the files. Each gives a reported failure, never a crash,
// and never a half-written record or file.
#include "startup/datafolder.h"
#include "startup/inizio.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

class TstFaults : public QObject {
    Q_OBJECT

    static QString integrity(Database &db)
    {
        QSqlQuery q(db.sql());
        return q.exec("PRAGMA integrity_check") && q.next() ? q.value(0).toString() : QString();
    }

private slots:
    void truncatedOrGarbledFilesAreReportedAtStart()
    {
        for (int variant = 0; variant < 3; ++variant) {
            test::ModelEnv env;
            env.addPupil("ROSSI ANNA");
            env.session.state.rsclasse.reset();
            env.session.state.dbrisultati.reset();
            QFile f(env.folder.file("quorvane.mdb"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QByteArray bytes = f.readAll();
            if (variant == 0)
                bytes.truncate(bytes.size() / 3);
            else if (variant == 1)
                bytes.truncate(100); // less than the header
            else
                for (int i = 100; i < bytes.size(); i += 97)
                    bytes[i] = char(QRandomGenerator::global()->bounded(256));
            f.resize(0);
            f.write(bytes);
            f.close();
            QFile::remove(env.folder.file("quorvane.mdb-wal"));
            InizioModel m(env.session);
            QString e;
            const bool ok = m.load(&e);
            // A file that still opens must have all its tables; otherwise the message names it.
            if (!ok) {
                QVERIFY(e.contains("quorvane.mdb") || e.contains("tabella") || e.contains("archivio"));
                QVERIFY(!env.session.state.dbrisultati);
            } else {
                QVERIFY(env.session.state.dbrisultati);
            }
        }
    }

    void fullDiskRefusesTheWriteAndKeepsWhatWasStored()
    {
        test::ModelEnv env;
        const QString bm = env.addPupil("BIANCHI LUCA");
        QVERIFY(env.session.storePupil({{"sub", 5}, {"lessico1", 4}}));
        Database &db = *env.session.state.dbrisultati;
        QSqlQuery q(db.sql());
        QVERIFY(q.exec("PRAGMA page_count") && q.next());
        const int pages = q.value(0).toInt();
        q.finish();
        QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)));
        q.finish();
        Recordset &rs = *env.session.state.rsclasse;
        const int before = rs.recordCount();
        int added = 0;
        bool failed = false;
        for (int i = 0; i < 5000 && !failed; ++i) {
            rs.addNew();
            rs.setField("nome", QStringLiteral("ALUNNO %1 CON UN NOME LUNGO ABBASTANZA").arg(i));
            rs.setField("arrivo", 1);
            rs.setField("sub", 1);
            if (rs.update())
                ++added;
            else
                failed = true;
        }
        QVERIFY2(failed, "the page limit was never reached");
        QVERIFY(!rs.lastError().isEmpty());
        QCOMPARE(rs.recordCount(), before + added);
        // The pupil's record is as it was stored, and the file is sound.
        env.session.state.segnalibro = bm;
        QCOMPARE(env.stored("sub").toInt(), 5);
        QCOMPARE(env.stored("lessico1").toInt(), 4);
        QCOMPARE(integrity(db), QString("ok"));
        // A store into the existing row still works or fails whole: never half the fields.
        const bool stored = env.session.storePupil({{"sub", 6}, {"lessico1", 5}});
        QCOMPARE(env.stored("sub").toInt(), stored ? 6 : 5);
        QCOMPARE(env.stored("lessico1").toInt(), stored ? 5 : 4);
    }

    // The set-up tool on a full disk: no file left half made, a message that says what to
    // free, and a later run with room that makes everything.
    void setUpOnAFullDiskLeavesNothingHalfMade()
    {
        for (const QString full : {"quorvane.mdb", "expquorvane.mdb"}) {
            QTemporaryDir dir;
            const QString folder = dir.filePath("Perquorvane");
            Database::setOpenTweaker([full](const QString &path) {
                Database::OpenTweak t;
                if (QFileInfo(path).fileName() == "." + full + ".nuovo")
                    t.statements << "PRAGMA max_page_count = 2";
                return t;
            });
            QString e;
            QVERIFY(!prepareDataFolder(folder, &e));
            Database::setOpenTweaker({});
            QVERIFY2(e.contains("full") && e.contains("libera spazio"), qPrintable(e));
            const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
            QCOMPARE(left, full == "quorvane.mdb" ? QStringList() : QStringList{"quorvane.mdb"});

            QVERIFY2(prepareDataFolder(folder, &e), qPrintable(e));
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), (QStringList{"expquorvane.mdb", "quorvane.mdb"}));
            auto exp = Database::open(QDir(folder).filePath("expquorvane.mdb"), &e, Database::Journal::Rollback);
            QVERIFY(exp && exp->hasTable("prima"));
        }
    }

    // An export template filled by an earlier version is emptied by the set-up tool.
    void setUpEmptiesAFilledTemplate()
    {
        test::ModelEnv env;
        env.addPupil("ROSSI ANNA");
        QString e;
        {
            auto exp = Database::open(env.folder.file("expquorvane.mdb"), &e, Database::Journal::Rollback);
            QSqlQuery q(exp->sql());
            QVERIFY(q.exec("INSERT INTO prima (nome, data) VALUES ('A', 'x-1'), ('B', 'x-2')"));
        }
        QString notice;
        QVERIFY2(prepareDataFolder(env.folder.path(), &e, &notice), qPrintable(e));
        QVERIFY2(notice.contains("conteneva 2 risultati"), qPrintable(notice));
        auto exp = Database::open(env.folder.file("expquorvane.mdb"), &e, Database::Journal::Rollback);
        QCOMPARE(exp->openRecordset("prima")->recordCount(), 0);
        QCOMPARE(env.session.state.dbrisultati->openRecordset("prima-C")->recordCount(), 1);
        QVERIFY(prepareDataFolder(env.folder.path(), &e, &notice));
    }
};

QTEST_GUILESS_MAIN(TstFaults)
#include "tst_faults.moc"
