// Erasing one pupil for good from the recycle bin: gone from the results file and from every
// copy (to the bytes), and not brought back by an older disk's import or an older copy's restore.
#include "archive/backup.h"
#include "archive/exchange.h"
#include "storage/strumenti.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "support/computer.h"
#include "support/tabledump.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

// Rows that name the pupil's data in each table of a results file (or copy).
int traces(Database &db, const QString &data)
{
    int n = 0;
    for (const QString &t : classTables() + QStringList{"eliminati", "risposte", "strumenti"}) {
        QSqlQuery q(db.sql());
        q.prepare(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE data = ?").arg(t));
        q.addBindValue(data);
        n += q.exec() && q.next() ? q.value(0).toInt() : 0;
    }
    return n;
}

int traces(const QString &file, const QString &data)
{
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    return db ? traces(*db, data) : -1;
}

} // namespace

class TstErasure : public QObject {
    Q_OBJECT

private slots:
    void erasedEverywhereAndNeverBack()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        const QString copie = a.env.folder.file(kBackupFolder);
        const QString data = a.add("ZANZOTTO ERMENEGILDA", {{"arrivo", 10}, {"sub", 20}});
        a.add("BIANCHI LUCA");
        QVERIFY(writeTools(a.db(), "prima-C", data, PupilTools{true, false, 125}));
        QSqlQuery q(a.db().sql());
        QVERIFY(q.exec("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) VALUES ('prima-C', '"
                       + data + "', 'lettura', 1, 'ZANZOTTO', 1, '2026-09-14 09:01:00')"));
        // Two copies and an old disk hold the pupil; a damaged copy lies among them.
        QDateTime t = a.env.clock.t;
        QVERIFY(makeBackup(a.db(), copie, t, true).ok());
        QVERIFY(makeBackup(a.db(), copie, t.addSecs(60), true).ok());
        QTemporaryDir disk, aside;
        QVERIFY(esportaClasse(a.db(), "prima-C", disk.filePath(kExportFile), a.env.folder.file(kExportFile)).ok);
        const QString old = listBackups(copie).first().file;
        QVERIFY(QFile::copy(old, aside.filePath("vecchia.mdb")));
        {
            QFile bad(QDir(copie).filePath("quorvane-2026-09-01_08-00-00.mdb"));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(QByteArray("ZANZOTTO ERMENEGILDA ").repeated(500));
        }

        // Into the bin, then erased for good after the question.
        a.archivio.chooseClass(2);
        a.archivio.select(0);
        a.archivio.elimino();
        QCOMPARE(a.archivio.cestino().size(), 1);
        a.env.dialogs.answers = {false};
        a.archivio.cancelloPerSempre(a.archivio.cestino().first().id);
        QCOMPARE(traces(a.db(), data), 3); // on No, the bin, the answer and the tools stay
        a.archivio.cancelloPerSempre(a.archivio.cestino().first().id);
        QCOMPARE(a.lastAlert(), QString("Il risultato di ZANZOTTO ERMENEGILDA è stato cancellato per sempre dall'archivio e "
                                        "dalle 2 copie di sicurezza che lo contenevano.\nUna copia danneggiata, che non si "
                                        "poteva pulire, è stata cancellata.\nSe era stato esportato su un disco, cancella "
                                        "anche quell'esportazione."));
        QCOMPARE(traces(a.db(), data), 0);
        QVERIFY(a.archivio.cestino().isEmpty());
        QCOMPARE(a.count(), 1);
        // No copy keeps a trace, not even in its bytes; nor does the results file.
        const QList<BackupInfo> left = listBackups(copie);
        QCOMPARE(left.size(), 2);
        for (const BackupInfo &c : left) {
            QVERIFY2(!c.damaged, qPrintable(c.problem));
            QCOMPARE(traces(c.file, data), 0);
            QVERIFY(!test::fileBytes(c.file).contains("ZANZOTTO"));
        }
        QVERIFY(!test::fileBytes(a.env.folder.file(kResultsFile)).contains("ZANZOTTO"));
        QVERIFY(QDir(copie).entryList(QDir::Hidden | QDir::Files).filter(".parziale").isEmpty());

        // The old disk brings back only the others.
        a.importFrom(disk.path());
        QCOMPARE(a.lastAlert(), QString("Importazione finita: 0 risultati importati; 1 già presente, non aggiunto di nuovo; "
                                        "1 cancellato per sempre da questo archivio, non importato di nuovo."));
        QCOMPARE(traces(a.db(), data), 0);
        // A copy kept elsewhere and put back in the folder: restored, but without the pupil.
        const QString back = QDir(copie).filePath("quorvane-2026-09-02_08-00-00.mdb");
        QVERIFY(QFile::copy(aside.filePath("vecchia.mdb"), back));
        const RestoreResult r = restoreBackup(a.db(), back, copie, t.addSecs(120));
        QVERIFY2(r.ok && r.message.contains("1 risultato della copia era stato cancellato per sempre e non è stato rimesso."),
                 qPrintable(r.message));
        QCOMPARE(traces(a.db(), data), 0);
        QCOMPARE(a.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TstErasure)
#include "tst_erasure.moc"
