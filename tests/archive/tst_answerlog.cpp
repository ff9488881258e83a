// The answer log in the archive: export and import carry it (newer-copy rule, disks of an
// older version), the recycle bin keeps it with its result and erases it when emptied,
// copies include it and an older copy without it restores.
#include "archive/backup.h"
#include "archive/cestino.h"
#include "archive/exchange.h"
#include "storage/schema.h"
#include "support/computer.h"
#include "support/tabledump.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

// The rows of an executed query of the log as "data|prova|numero|risposta|giusta".
QStringList logRows(QSqlQuery &q)
{
    QStringList out;
    while (q.next())
        out << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                           q.value(3).toString(), q.value(4).toString()}
                   .join('|');
    return out;
}

struct Computer : test::Computer {
    // An answer row of the class's log, as a store writes it.
    bool answer(const QString &data, const QString &prova, int numero, const QString &given, bool right)
    {
        QSqlQuery q(db().sql());
        q.prepare("INSERT INTO risposte VALUES ('prima-C', ?, ?, ?, ?, ?, '2026-09-14 09:00:00') ON CONFLICT "
                  "(classe, data, prova, numero) DO UPDATE SET risposta = excluded.risposta, giusta = excluded.giusta");
        for (const QVariant &v : QVariantList{data, prova, numero, given, int(right)})
            q.addBindValue(v);
        return q.exec();
    }
    // The class's log as "data|prova|numero|risposta|giusta", sorted.
    QStringList log(const QString &classe = "prima-C")
    {
        QSqlQuery q(db().sql());
        q.prepare("SELECT data, prova, numero, risposta, giusta FROM risposte WHERE classe = ? ORDER BY 1, 2, 3");
        q.addBindValue(classe);
        q.exec();
        return logRows(q);
    }
    bool run(const QString &sql)
    {
        QSqlQuery q(db().sql());
        return q.exec(sql);
    }
};

QStringList diskLog(const QString &file)
{
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    QSqlQuery q(db->sql());
    q.exec("SELECT data, prova, numero, risposta, giusta FROM risposte ORDER BY 1, 2, 3");
    return logRows(q);
}

} // namespace

class TstAnswerLog : public QObject {
    Q_OBJECT

    QTemporaryDir disk;
    QString diskFile() const { return disk.filePath("expquorvane.mdb"); }

private slots:
    void cleanup() { QFile::remove(diskFile()); }

    // Export carries the answers of the class's records only; import takes them for the
    // records it adds or updates and leaves those of a record it leaves alone.
    void exportAndImportCarryTheAnswersOfTheRecordsThatMove()
    {
        Computer lab, teacher;
        const QString ahead = lab.add("ROSSI ANNA", {{"arrivo", 6}, {"sub", 3}, {"frasi1", 1}});
        const QString same = lab.add("BIANCHI LUCA", {{"arrivo", 6}, {"sub", 2}, {"frasi1", 1}});
        QVERIFY(lab.answer(ahead, "frasi", 1, "3", true) && lab.answer(ahead, "frasi", 2, "1", false));
        QVERIFY(lab.answer(same, "frasi", 1, "3", true));
        // A row of a pupil no longer in the class does not travel.
        QVERIFY(lab.answer("2026-01-01 00:00:00.000 dead", "frasi", 1, "3", true));
        lab.exportTo(disk.path());
        QCOMPARE(diskLog(diskFile()).size(), 3);
        QVERIFY(diskLog(diskFile()).filter("dead").isEmpty());

        teacher.importFrom(disk.path());
        QCOMPARE(teacher.count(), 2);
        QCOMPARE(teacher.log(), lab.log().filter(QRegularExpression("^(?!.*dead)")));

        // The lab's first pupil got further; the teacher's copy of the second has answers of
        // its own that the disk's (as far on) copy must not replace.
        QVERIFY(lab.run(QString("UPDATE \"prima-C\" SET sub = 4, frasi1 = 2 WHERE data = '%1'").arg(ahead)));
        QVERIFY(lab.answer(ahead, "frasi", 3, "2", true));
        QVERIFY(lab.answer(same, "frasi", 1, "4", false)); // left on the lab, record unchanged
        QVERIFY(teacher.answer(same, "frasi", 2, "1", true));
        const QStringList teacherSame = teacher.log().filter(same);
        lab.exportTo(disk.path());
        teacher.importFrom(disk.path());
        QVERIFY2(teacher.lastAlert().contains("1 aggiornato"), qPrintable(teacher.lastAlert()));
        QCOMPARE(teacher.log().filter(ahead), lab.log().filter(ahead));
        QCOMPARE(teacher.log().filter(same), teacherSame);
        // Exported again: the disk holds each answer once.
        lab.exportTo(disk.path());
        QCOMPARE(diskLog(diskFile()).filter(ahead).size(), 3);
    }

    // A disk of an older version has no answer table: its records import without answers,
    // an updated record drops its answers (they were of the replaced copy), and an export
    // onto it adds the table and leaves "prima" as older versions read it.
    void aDiskOfAnOlderVersionImportsWithoutAnswers()
    {
        Computer lab, teacher;
        const QString data = lab.add("ROSSI ANNA", {{"arrivo", 6}, {"sub", 3}});
        const QString old = teacher.add("VERDI CARLO", {{"arrivo", 6}, {"sub", 2}});
        QVERIFY(teacher.answer(data, "frasi", 1, "3", true)); // e.g. of a copy deleted since
        QVERIFY(teacher.answer(old, "frasi", 1, "3", true));
        lab.exportTo(disk.path());
        {
            QString e;
            auto d = Database::open(diskFile(), &e, Database::Journal::Rollback);
            QVERIFY(QSqlQuery(d->sql()).exec("DROP TABLE risposte"));
        }
        teacher.importFrom(disk.path());
        QVERIFY2(teacher.lastAlert().startsWith("Importazione finita: 1 risultato importato"), qPrintable(teacher.lastAlert()));
        QCOMPARE(teacher.log().filter(data), QStringList());
        QCOMPARE(teacher.log().filter(old).size(), 1);
        // Exporting onto that disk gives it the table again.
        teacher.exportTo(disk.path());
        QCOMPARE(diskLog(diskFile()).filter(old).size(), 1);
    }

    // Malformed answer rows on a disk are skipped; the records still import.
    void malformedAnswersOnADiskAreSkipped()
    {
        Computer lab, teacher;
        const QString data = lab.add("ROSSI ANNA", {{"arrivo", 6}, {"sub", 3}});
        QVERIFY(lab.answer(data, "frasi", 1, "3", true));
        lab.exportTo(disk.path());
        {
            QString e;
            auto d = Database::open(diskFile(), &e, Database::Journal::Rollback);
            // A table filled by another tool, without the program's constraints.
            QSqlQuery q(d->sql());
            QVERIFY(q.exec("DROP TABLE risposte"));
            QVERIFY(q.exec("CREATE TABLE risposte (data, prova, numero, risposta, giusta, quando)"));
            QVERIFY(q.exec(QString("INSERT INTO risposte VALUES ('%1', 'frasi', 1, '3', 1, 'x')").arg(data)));
            for (const char *bad : {"'storia', 1, '1', 1", "'frasi', 0, '1', 1", "'frasi', 2, '1', 7",
                                       "'frasi', 'tre', '1', 1", "'frasi', 4, '1', NULL"})
                QVERIFY(q.exec(QString("INSERT INTO risposte VALUES ('%1', %2, 'x')").arg(data, QString::fromLatin1(bad))));
        }
        teacher.importFrom(disk.path());
        QCOMPARE(teacher.count(), 1);
        QCOMPARE(teacher.log(), QStringList{data + "|frasi|1|3|1"});
    }

    // A result deleted keeps its answers; put back, it has them; the bin emptied erases
    // them for real (secure_delete), but not those of a record imported again since.
    void theBinKeepsAndErasesTheAnswersWithItsResults()
    {
        Computer c;
        const QString gone = c.add("CANCELLATA ANNA", {{"arrivo", 6}});
        const QString back = c.add("RITORNA LUCA", {{"arrivo", 6}});
        const QString twice = c.add("DOPPIA ELSA", {{"arrivo", 6}});
        QVERIFY(c.answer(twice, "frasi", 2, "1", true));
        QVERIFY(c.answer(gone, "politica", 3, "RISPOSTASEGRETA", false));
        QVERIFY(c.answer(back, "frasi", 1, "3", true));
        const QStringList before = c.log();
        auto rowid = [&](const QString &data) {
            QSqlQuery q(c.db().sql());
            q.exec(QString("SELECT rowid FROM \"prima-C\" WHERE data = '%1'").arg(data));
            return q.next() ? q.value(0).toLongLong() : -1;
        };
        QString e;
        QVERIFY(moveToBin(c.db(), "prima-C", rowid(gone), QDateTime::currentDateTime(), &e));
        QVERIFY(moveToBin(c.db(), "prima-C", rowid(back), QDateTime::currentDateTime(), &e));
        QVERIFY(moveToBin(c.db(), "prima-C", rowid(twice), QDateTime::currentDateTime(), &e));
        QCOMPARE(c.log(), before);
        QString m;
        const auto bin = binContents(c.db());
        for (const DeletedResult &d : bin)
            if (d.data == back)
                QVERIFY(restoreFromBin(c.db(), d.id, &m));
        // A copy of a deleted one imported again shares its data, and so its answers.
        QCOMPARE(c.add("DOPPIA ELSA", {{"arrivo", 6}, {"data", twice}}), twice);
        if (!c.db().onServer()) { // the file overwrites what it deletes
            QSqlQuery q(c.db().sql());
            QVERIFY(q.exec("PRAGMA secure_delete") && q.next());
            QCOMPARE(q.value(0).toInt(), 1);
        }
        QVERIFY(emptyBin(c.db(), &e));
        QCOMPARE(c.log().filter(gone), QStringList());
        QCOMPARE(c.log().filter(back), before.filter(back));
        QCOMPARE(c.log().filter(twice).size(), 1);
        QVERIFY(!test::fileBytes(c.db().path()).contains("RISPOSTASEGRETA"));
        QVERIFY(!test::fileBytes(c.db().path() + "-wal").contains("RISPOSTASEGRETA"));
    }

    // The copies see a change of the log, restore it, and a copy made before the log existed
    // restores with no answers for the records it puts back.
    void copiesIncludeTheLog()
    {
        Computer c;
        QV_FILE_ONLY(c.env.folder);
        const QString copie = c.env.folder.file(kBackupFolder);
        const QString data = c.add("ROSSI ANNA", {{"arrivo", 6}});
        QDateTime now(QDate(2026, 12, 9), QTime(8, 30, 5));
        QCOMPARE(makeBackup(c.db(), copie, now).outcome, BackupResult::Outcome::Made);
        QVERIFY(c.answer(data, "frasi", 1, "3", true));
        const BackupResult withLog = makeBackup(c.db(), copie, now = now.addSecs(60));
        QCOMPARE(withLog.outcome, BackupResult::Outcome::Made);
        QCOMPARE(makeBackup(c.db(), copie, now = now.addSecs(60)).outcome, BackupResult::Outcome::Unchanged);
        const QStringList logged = c.log();
        QVERIFY(c.run("DELETE FROM risposte"));
        QVERIFY(restoreBackup(c.db(), withLog.file, copie, now = now.addSecs(60)).ok);
        QCOMPARE(c.log(), logged);

        // An older version's copy: no "risposte" (nor "eliminati").
        const QString older = QDir(copie).filePath("quorvane-2026-01-01_08-00-00.mdb");
        QVERIFY(QFile::copy(withLog.file, older));
        {
            QString e;
            auto d = Database::open(older, &e, Database::Journal::Rollback);
            QVERIFY(QSqlQuery(d->sql()).exec("DROP TABLE risposte"));
            QVERIFY(QSqlQuery(d->sql()).exec("DROP TABLE eliminati"));
        }
        const RestoreResult r = restoreBackup(c.db(), older, copie, now = now.addSecs(60));
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(c.count(), 1);
        QCOMPARE(c.log(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstAnswerLog)
#include "tst_answerlog.moc"
