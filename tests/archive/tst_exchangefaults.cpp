// A full disk in the middle of an export (the disk file) and of an import (the results
// file): a failure message, no count reported as done, the file written to exactly as it
// was, a sound file, and a following export or import that works.
#include "archive/archivio.h"
#include "archive/exchange.h"
#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/computer.h"
#include "support/fakes.h"
#include "support/tabledump.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

struct Computer : test::Computer {
    // `n` records with names long enough to fill pages quickly.
    void addMany(const QString &prefix, int n)
    {
        auto rs = db().openRecordset("prima-C");
        QVERIFY(db().begin());
        for (int i = 0; i < n; ++i) {
            rs->addNew();
            rs->setField("nome", QStringLiteral("%1 %2 CON UN COGNOME ASSAI LUNGO").arg(prefix).arg(i, 4, 10, QChar('0')));
            rs->setField("arrivo", 1 + i % 10);
            rs->setField("sub", 1 + i % 20);
            rs->setField("fatti1", i % 9);
            rs->setField("temlettura", i % 60);
            QVERIFY(rs->update());
        }
        QVERIFY(db().commit());
    }
};

int pageCount(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    return q.exec("PRAGMA page_count") && q.next() ? q.value(0).toInt() : -1;
}

int pageCount(const QString &file)
{
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    return db ? pageCount(db->sql()) : -1;
}

// While alive, a connection to a file in the folder of `file` (the file itself, or a new
// one being built beside it) cannot grow that file beyond `pages` pages.
struct DiskLimit {
    DiskLimit(const QString &file, int pages)
    {
        const QString folder = QFileInfo(file).absolutePath();
        Database::setOpenTweaker([folder, pages](const QString &p) {
            Database::OpenTweak t;
            if (QFileInfo(p).absolutePath() == folder)
                t.statements << QStringLiteral("PRAGMA max_page_count = %1").arg(pages);
            return t;
        });
    }
    ~DiskLimit() { Database::setOpenTweaker({}); }
};

QStringList diskRows(const QString &file)
{
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    return db ? test::tableRows(db->sql(), "prima") : QStringList{"<" + e + ">"};
}

QString diskIntegrity(const QString &file)
{
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    return db ? test::integrityCheck(db->sql()) : e;
}

QMap<QString, QStringList> allClassRows(Database &db)
{
    QMap<QString, QStringList> out;
    for (const QString &t : classTables())
        out[t] = test::tableRows(db.sql(), t);
    return out;
}

} // namespace

class TstExchangeFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> disk;
    QString diskFile() const { return disk->filePath("expquorvane.mdb"); }
    QStringList diskFolder() const { return QDir(disk->path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init() { disk = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        Database::setOpenTweaker({});
        disk.reset();
    }

    void diskFillsUpDuringTheExport()
    {
        Computer a, b;
        a.addMany("ALUNNO", 8);
        b.addMany("ALTRO", 6);
        a.exportTo(disk->path());
        b.exportTo(disk->path());
        QVERIFY(a.lastAlert().startsWith("Esportazione finita: 8"));
        a.addMany("NUOVO", 400); // the earlier 8 are removed, then 408 written
        const QStringList before = diskRows(diskFile());
        QCOMPARE(before.size(), 14);
        const QByteArray bytesBefore = test::fileBytes(diskFile());
        const QStringList folderBefore = diskFolder();
        {
            DiskLimit full(diskFile(), pageCount(diskFile()) + 3);
            const ExchangeResult r = esportaClasse(a.db(), "prima-C", diskFile(), a.env.folder.file("expquorvane.mdb"));
            QVERIFY(!r.ok);
            QCOMPARE(r.written, 0);
            QCOMPARE(r.replaced, 0);
            QVERIFY2(r.message.startsWith("Probabilmente non hai inserito un Floppy nuovo. Inseriscilo e riprova.\n"
                                          "L'esportazione non è riuscita e il disco è rimasto com'era."),
                     qPrintable(r.message));
            QVERIFY2(r.message.contains("full"), qPrintable(r.message)); // the page limit, not another fault
            // The same through the archive button.
            a.exportTo(disk->path());
            QCOMPARE(a.lastAlert(), r.message);
        }
        QCOMPARE(diskRows(diskFile()), before);
        QCOMPARE(test::fileBytes(diskFile()), bytesBefore);
        QCOMPARE(diskFolder(), folderBefore); // no journal left behind
        QCOMPARE(diskIntegrity(diskFile()), QString("ok"));

        // With room on the disk the same export goes through.
        a.exportTo(disk->path());
        QVERIFY2(a.lastAlert().startsWith("Esportazione finita: 408 risultati esportati"), qPrintable(a.lastAlert()));
        QCOMPARE(diskRows(diskFile()).size(), 408 + 6);
        QCOMPARE(diskIntegrity(diskFile()), QString("ok"));
    }

    void diskFillsUpWhileANewDiskFileIsFilled()
    {
        Computer a;
        a.addMany("ALUNNO", 300);
        const QString templ = a.env.folder.file("expquorvane.mdb");
        const QByteArray templBefore = test::fileBytes(templ);
        {
            DiskLimit full(diskFile(), pageCount(templ) + 2);
            a.exportTo(disk->path());
        }
        QVERIFY2(a.lastAlert().contains("L'esportazione non è riuscita e il disco è rimasto com'era."),
                 qPrintable(a.lastAlert()));
        // The disk had no export file: the half-filled new one is gone again.
        QCOMPARE(diskFolder(), QStringList());
        QCOMPARE(test::fileBytes(templ), templBefore);
        a.exportTo(disk->path());
        QVERIFY(a.lastAlert().startsWith("Esportazione finita: 300 risultati esportati"));
        QCOMPARE(diskRows(diskFile()).size(), 300);
    }

    void resultsFileFillsUpDuringTheImport()
    {
        Computer a, b;
        QV_FILE_ONLY(b.env.folder);
        a.addMany("ALUNNO", 500);
        a.exportTo(disk->path());
        b.addMany("ALTRO", 20);
        b.archivio.chooseClass(2);
        const QString pupil = b.env.addPupil("ROSSI ANNA");
        QVERIFY(b.env.session.storePupil({{"sub", 4}, {"fatti1", 3}}));
        const QMap<QString, QStringList> before = allClassRows(b.db());
        QCOMPARE(before["prima-C"].size(), 21);
        const QByteArray diskBefore = test::fileBytes(diskFile());

        QSqlQuery q(b.db().sql());
        QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pageCount(b.db().sql()) + 3)));
        q.finish();
        b.importFrom(disk->path());
        QVERIFY2(b.lastAlert().startsWith("L'importazione non è riuscita e la classe è rimasta com'era."),
                 qPrintable(b.lastAlert()));
        QVERIFY2(b.lastAlert().contains("full"), qPrintable(b.lastAlert()));
        QVERIFY(!b.lastAlert().contains("importat"));
        const ExchangeResult r = importaClasse(b.db(), "prima-C", diskFile());
        QVERIFY(!r.ok);
        QCOMPARE(r.added, 0);
        QCOMPARE(r.present, 0);
        QCOMPARE(allClassRows(b.db()), before);
        QCOMPARE(test::integrityCheck(b.db().sql()), QString("ok"));
        QCOMPARE(b.archivio.numalunni(), 21);
        QCOMPARE(test::fileBytes(diskFile()), diskBefore);

        // Room again: the pupil's next store and the import both work.
        QVERIFY(q.exec("PRAGMA max_page_count = 1073741823"));
        q.finish();
        b.env.session.state.rsclasse = b.db().openRecordset("prima-C");
        b.env.session.state.segnalibro = pupil;
        QVERIFY(b.env.session.storePupil({{"sub", 5}}));
        QCOMPARE(b.env.stored("sub").toInt(), 5);
        b.importFrom(disk->path());
        QCOMPARE(b.lastAlert(), QString("Importazione finita: 500 risultati importati."));
        QCOMPARE(b.count(), 521);
        QCOMPARE(b.archivio.numalunni(), 521);
        QCOMPARE(test::integrityCheck(b.db().sql()), QString("ok"));
    }

    // A disk whose table is damaged after its first rows: the import stops at the damage,
    // so it takes nothing and says the file is damaged, rather than report the rows
    // before the damage as the whole disk.
    void diskDamagedPartWayIsRefusedWhole()
    {
        Computer a, b;
        a.addMany("ALUNNO", 300);
        a.exportTo(disk->path());
        b.addMany("ALTRO", 3);
        const QByteArray good = test::fileBytes(diskFile());
        const int pageSize = 4096;
        QCOMPARE(good.size() % pageSize, 0);
        // The first page whose loss breaks the table's scan after some rows were read.
        bool found = false;
        for (int page = 1; page < good.size() / pageSize && !found; ++page) {
            QByteArray bad = good;
            bad.replace(page * pageSize, pageSize, QByteArray(pageSize, '\0'));
            QFile f(diskFile());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bad);
            f.close();
            QString e;
            auto db = Database::open(diskFile(), &e, Database::Journal::Rollback);
            // A page of the schema (it spans several with the disk's three tables): the file
            // does not open at all, which is not the damage sought here.
            if (!db)
                continue;
            QSqlQuery q(db->sql());
            q.setForwardOnly(true);
            int read = 0;
            if (q.exec("SELECT * FROM prima ORDER BY rowid"))
                while (q.next())
                    ++read;
            found = read > 0 && q.lastError().isValid();
        }
        QVERIFY(found);
        const QMap<QString, QStringList> before = allClassRows(b.db());
        b.importFrom(disk->path());
        QVERIFY2(b.lastAlert().contains("è danneggiato e non si può leggere tutto: non ho importato nulla."),
                 qPrintable(b.lastAlert()));
        QCOMPARE(allClassRows(b.db()), before);
        QCOMPARE(b.archivio.numalunni(), 3);
    }
};

QTEST_GUILESS_MAIN(TstExchangeFaults)
#include "tst_exchangefaults.moc"
