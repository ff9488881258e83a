// Copies of the results file: made only when the results changed, thirty kept, listed
// without being touched, a damaged one refused, a failed one reported and leaving nothing
// half made, a restore that brings back the copy's rows (seen by another program too) and
// keeps the teacher's settings, and a process killed in the middle of copies and restores.
#include "archive/backup.h"
#include "storage/strumenti.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/schema.h"
#include "support/fakes.h"
#include "support/tabledump.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>
#include <cstdio>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

const char *kLoopVariable = "QUORVANE_BACKUP_LOOP";

// Every row of the class tables (and of the recycle bin) with rowids and types.
QStringList allRows(const QSqlDatabase &db, bool withBin = true)
{
    QStringList out;
    for (const QString &t : classTables() + (withBin ? QStringList{"eliminati"} : QStringList()))
        for (const QString &r : test::tableRows(db, t))
            out << t + ':' + r;
    return out;
}

// A results file made by the set-up code, its copies' folder and a clock that moves forward.
struct Results {
    test::DataFolder folder;
    std::unique_ptr<Database> db;
    QDateTime now{QDate(2026, 12, 9), QTime(8, 30, 5)};

    Results() { open(); }
    void open()
    {
        QString e;
        db = Database::open(file(), &e);
        if (db)
            ensureArchiveTables(*db, &e);
    }
    QString file() const { return folder.file(kResultsFile); }
    QString copie() const { return folder.file(kBackupFolder); }
    bool run(const QString &sql)
    {
        QSqlQuery q(db->sql());
        return q.exec(sql) || (qWarning() << sql << q.lastError().text(), false);
    }
    // `n` pupils in `table`, in one transaction.
    bool fill(const QString &table, int n, const QString &prefix)
    {
        db->begin();
        QSqlQuery q(db->sql());
        q.prepare(QStringLiteral(
                      "INSERT INTO \"%1\" (nome, arrivo, sub, lessico1, temlettura) VALUES (?, 10, 20, ?, ?)")
                      .arg(table));
        for (int i = 0; i < n; ++i) {
            q.addBindValue(QStringLiteral("%1 %2 CON UN COGNOME LUNGO").arg(prefix).arg(i));
            q.addBindValue(i % 7);
            q.addBindValue(i % 60);
            if (!q.exec())
                return db->rollback() && false;
        }
        return db->commit();
    }
    BackupResult backup(bool force = false, int secs = 60)
    {
        now = now.addSecs(secs);
        return makeBackup(*db, copie(), now, force);
    }
    QStringList rows(bool withBin = true) const { return allRows(db->sql(), withBin); }
    QStringList entries() const
    {
        return QDir(copie()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QString integrity() const { return test::integrityCheck(db->sql()); }
    QStringList listed() const
    {
        QStringList out;
        for (const BackupInfo &b : listBackups(copie()))
            out << QFileInfo(b.file).fileName() + (b.damaged ? " (damaged)" : "");
        return out;
    }
};

// A small file system mounted on a folder while alive (as root); `ok` false where mounting is not allowed.
struct Mount {
    QByteArray dir;
    bool ok;
    Mount(const QString &folder, const QByteArray &options)
        : dir(QFile::encodeName(folder)),
          ok(QDir().mkpath(folder) && ::mount("tmpfs", dir.constData(), "tmpfs", 0, options.constData()) == 0)
    {
    }
    bool remount(unsigned long flags)
    {
        return ::mount(nullptr, dir.constData(), nullptr, MS_REMOUNT | flags, nullptr) == 0;
    }
    ~Mount()
    {
        if (ok)
            ::umount2(dir.constData(), MNT_DETACH);
    }
};

// The child process of the kill test: restores the two copies of "sorgenti" in turn (each
// restore first making a copy) and says "giro" after each.
int restoreLoop(const QString &dataFolder)
{
    QString e;
    auto db = Database::open(QDir(dataFolder).filePath(kResultsFile), &e);
    const QDir sources(dataFolder + "/sorgenti");
    const QStringList names = sources.entryList({"*.mdb"}, QDir::Files, QDir::Name);
    if (!db || names.size() != 2)
        return 2;
    for (int i = 0;; ++i) {
        const RestoreResult r =
            restoreBackup(*db, sources.filePath(names[i % 2]), QDir(dataFolder).filePath(kBackupFolder),
                          QDateTime::currentDateTime().addSecs(i));
        if (!r.ok)
            return fprintf(stderr, "%s\n", qPrintable(r.message)), 1;
        fprintf(stdout, "giro\n");
        fflush(stdout);
    }
}

} // namespace

class TstBackup : public QObject {
    Q_OBJECT

private slots:
    // Each change since the last copy, in turn, on one archive: a copy is made or not.
    // The leftover of an interrupted copy is never listed and goes even when none is made.
    void aCopyIsMadeOnlyWhenTheResultsChanged()
    {
        Results r;
        QVERIFY(r.fill("prima-A", 2, "ROSSI"));
        QCOMPARE(r.backup().outcome, BackupResult::Outcome::Made);
        for (const char *name : {".quorvane-2026-12-09_08-31-05_02.mdb.parziale",
                                 ".quorvane-2026-12-09_08-31-05_02.mdb.parziale-journal"}) {
            QFile f(QDir(r.copie()).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(3000, 'x')) == 3000);
        }
        QCOMPARE(r.listed().size(), 1);
        const struct {
            const char *what;
            std::function<bool()> change;
            bool made;
            bool force = false;
        } cases[] = {
            {"nothing", [] { return true; }, false},
            {"a score", [&] { return r.run("UPDATE \"prima-A\" SET lessico1 = 5 WHERE rowid = 1"); }, true},
            {"a score set to the same value",
             [&] { return r.run("UPDATE \"prima-A\" SET lessico1 = 5 WHERE rowid = 1"); }, false},
            {"a pupil in the last class", [&] { return r.fill("prima-L", 1, "NERI"); }, true},
            {"a pupil deleted", [&] { return r.run("DELETE FROM \"prima-A\" WHERE rowid = 2"); }, true},
            {"only the recycle bin",
             [&] { return r.run("INSERT INTO eliminati (classe, eliminato) VALUES ('prima-A', 'ieri')"); },
             true},
            {"only the teacher's settings", [&] { return setSetting(*r.db, "parola", "segreta"); }, false},
            {"only a pupil's tools",
             [&] { return writeTools(*r.db, "prima-A", "d1", PupilTools{.highContrast = true}); }, true},
            {"the last copy removed by hand",
             [&] { return QFile::remove(listBackups(r.copie()).first().file); }, true},
            {"nothing, forced", [] { return true; }, true, true},
        };
        for (const auto &c : cases) {
            QVERIFY2(c.change(), c.what);
            const int before = int(r.listed().size());
            const BackupResult b = r.backup(c.force);
            QVERIFY2(b.ok() && b.message.isEmpty() && (b.outcome == BackupResult::Outcome::Made) == c.made,
                     c.what);
            QVERIFY2(r.listed().size() == before + c.made, c.what);
            QVERIFY2(!c.made || listBackups(r.copie()).first().file == b.file, c.what);
            QVERIFY2(r.entries().filter(".parziale").isEmpty(), c.what);
        }
        QCOMPARE(r.integrity(), QString("ok"));
    }

    void thirtyCopiesAreKeptAndListedUntouched()
    {
        Results r;
        QVERIFY(r.fill("prima-C", 3, "BIANCHI"));
        QStringList made;
        for (int i = 0; i < kBackupsKept + 5; ++i) {
            QVERIFY(r.run(QStringLiteral("UPDATE \"prima-C\" SET fatti1 = %1 WHERE rowid = 1").arg(i)));
            made.prepend(QFileInfo(r.backup().file).fileName());
            QCOMPARE(r.backup(false, 30).outcome, BackupResult::Outcome::Unchanged);
        }
        // Two more in the same second get their own names, in order.
        QVERIFY(r.fill("prima-L", 1, "GIALLI"));
        made.prepend(QFileInfo(r.backup(false, 1).file).fileName());
        made.prepend(QFileInfo(r.backup(true, 0).file).fileName());
        const QString stamp = "quorvane-" + r.now.toString("yyyy-MM-dd_HH-mm-ss");
        QCOMPARE(made.mid(0, 2), (QStringList{stamp + "_02.mdb", stamp + ".mdb"}));

        const QStringList entries = r.entries();
        QList<QByteArray> bytes;
        for (const QString &f : entries)
            bytes << test::fileBytes(QDir(r.copie()).filePath(f));
        const QList<BackupInfo> list = listBackups(r.copie());
        QCOMPARE(r.listed(), made.mid(0, kBackupsKept));
        QCOMPARE(list.first().when, r.now);
        for (int i = 0; i < list.size(); ++i)
            QCOMPARE(list[i].counts, (QList<int>{0, 0, 3, 0, 0, 0, 0, 0, 0, i < 2 ? 1 : 0}));
        // Listing opened every copy and changed none, nor left a companion beside it.
        QCOMPARE(r.entries(), entries);
        for (int i = 0; i < entries.size(); ++i)
            QVERIFY(test::fileBytes(QDir(r.copie()).filePath(entries[i])) == bytes[i]);
    }

    // A copy without the recycle bin is one of an older version: the bin stays as it is.
    void restoreBringsBackTheCopyAndKeepsTheSettings_data()
    {
        QTest::addColumn<bool>("copyHasBin");
        QTest::newRow("copy with the recycle bin") << true;
        QTest::newRow("copy of an older version") << false;
    }
    void restoreBringsBackTheCopyAndKeepsTheSettings()
    {
        QFETCH(bool, copyHasBin);
        Results r;
        // A gap in the rowids, which a restore must keep.
        QVERIFY(r.fill("prima-C", 4, "ROSSI") && r.run("DELETE FROM \"prima-C\" WHERE rowid = 3") &&
                r.fill("prima-L", 2, "VERDI"));
        QVERIFY(r.run("INSERT INTO eliminati (classe, eliminato, nome) VALUES ('prima-B', 'ieri', 'GIALLI')"));
        QVERIFY(setSetting(*r.db, "parola", "vecchia"));
        const PupilTools large{.textPercent = 150};
        QVERIFY(writeTools(*r.db, "prima-C", "c1", large));
        const BackupResult copy = r.backup();
        if (!copyHasBin) {
            QString e;
            auto old = Database::open(copy.file, &e, Database::Journal::Rollback);
            QVERIFY(old && QSqlQuery(old->sql()).exec("DROP TABLE eliminati") &&
                    QSqlQuery(old->sql()).exec("DROP TABLE strumenti"));
        }
        const QStringList atCopy = r.rows(false);

        // After the copy: a pupil deleted into the bin, a score changed, two pupils added, settings changed.
        QVERIFY(
            r.run(
                "INSERT INTO eliminati (classe, eliminato, nome, data) SELECT 'prima-C', 'oggi', nome, data "
                "FROM \"prima-C\" WHERE rowid = 2") &&
            r.run("DELETE FROM \"prima-C\" WHERE rowid = 2") &&
            r.run("UPDATE \"prima-L\" SET lessico1 = 9") && r.fill("prima-C", 2, "NUOVO"));
        QVERIFY(setSetting(*r.db, "parola", "nuova") && setSetting(*r.db, "contatore", "7"));
        const PupilTools aloud{.readAloud = true};
        QVERIFY(writeTools(*r.db, "prima-C", "c1", aloud) && writeTools(*r.db, "prima-L", "l1", aloud));
        const QStringList beforeRestore = r.rows();
        const QStringList binBefore = test::tableRows(r.db->sql(), "eliminati");

        // Another copy of the program is reading the file: it keeps its consistent view
        // through the restore, and sees the restored rows after.
        QString e;
        auto other = Database::open(r.file(), &e);
        QSqlQuery reading(other->sql());
        QVERIFY(reading.exec("BEGIN") && reading.exec("SELECT count(*) FROM \"prima-C\"") && reading.next());
        reading.finish();

        r.now = r.now.addSecs(3600);
        const RestoreResult back = restoreBackup(*r.db, copy.file, r.copie(), r.now);
        QVERIFY2(back.ok, qPrintable(back.message));
        QVERIFY2(back.message.startsWith(
                     "Ho rimesso la copia del 09/12/2026 alle 08:31:05: ora l'archivio ha 5 risultati."),
                 qPrintable(back.message));
        QCOMPARE(back.message.contains("il cestino è rimasto com'era"), !copyHasBin);
        QCOMPARE(r.rows(false), atCopy); // the deleted pupil is back with its rowid; the added ones are gone
        QCOMPARE(test::tableRows(r.db->sql(), "eliminati").size(), copyHasBin ? 1 : 2);
        if (!copyHasBin)
            QCOMPARE(test::tableRows(r.db->sql(), "eliminati"), binBefore);
        // The tools come back with the copy's records; a copy without them leaves them as they are.
        const auto toolsOf = [&](const char *table, const char *data) {
            PupilTools t;
            return readTools(*r.db, table, data, &t) ? t : PupilTools{.textPercent = 0};
        };
        QCOMPARE(toolsOf("prima-C", "c1"), copyHasBin ? large : aloud);
        QCOMPARE(toolsOf("prima-L", "l1"), copyHasBin ? PupilTools() : aloud);
        QCOMPARE(setting(*r.db, "parola"), QString("nuova"));
        QCOMPARE(setting(*r.db, "contatore"), QString("7"));
        QCOMPARE(r.integrity(), QString("ok"));

        QCOMPARE(allRows(other->sql()), beforeRestore);
        QVERIFY(reading.exec("COMMIT"));
        QCOMPARE(allRows(other->sql()), r.rows());

        // The copy made just before holds the results as they were, and puts them back.
        const BackupInfo safety = inspectBackup(back.safetyCopy);
        QVERIFY(!safety.damaged && safety.when == r.now);
        QCOMPARE(safety.counts.at(2), 4);
        QVERIFY(restoreBackup(*r.db, back.safetyCopy, r.copie(), r.now.addSecs(60)).ok);
        QCOMPARE(r.rows(), beforeRestore);
    }

    void damagedCopiesAreListedAndRefused()
    {
        Results r;
        QVERIFY(r.fill("prima-G", 40, "ROSSI"));
        const BackupResult good = r.backup();
        const QByteArray bytes = test::fileBytes(good.file);
        QByteArray garbled = bytes;
        for (int i = 4096; i < garbled.size(); i += 7)
            garbled[i] = char(garbled[i] ^ 0x5a);
        QTemporaryDir dir;
        QString e;
        auto other = Database::create(dir.filePath("altro.db"), &e, Database::Journal::Rollback);
        QVERIFY(other && QSqlQuery(other->sql()).exec("CREATE TABLE spesa (cosa TEXT)"));
        other.reset();
        const struct {
            const char *what;
            QByteArray content;
        } cases[] = {
            {"garbled pages", garbled},
            {"cut in half", bytes.left(bytes.size() / 2)},
            {"not a database", QByteArray("Elenco della spesa: pane, latte.\n").repeated(200)},
            {"no class tables", test::fileBytes(dir.filePath("altro.db"))},
        };
        const QStringList rowsBefore = r.rows();
        for (int day = 1; const auto &c : cases) {
            const QString date = QStringLiteral("%1/01/2026").arg(day, 2, 10, QChar('0'));
            QFile f(QDir(r.copie()).filePath(
                QStringLiteral("quorvane-2026-01-%1_10-00-00.mdb").arg(day++, 2, 10, QChar('0'))));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(c.content) == c.content.size());
            f.close();
            const QStringList listed = r.listed();
            QVERIFY2(listed.first() == QFileInfo(good.file).fileName() &&
                         listed.contains(QFileInfo(f).fileName() + " (damaged)"),
                     c.what);
            const BackupInfo bad = inspectBackup(f.fileName());
            QVERIFY2(!bad.problem.isEmpty() && bad.counts == QList<int>(kClassCount, 0), c.what);

            const QStringList entries = r.entries();
            const RestoreResult back = restoreBackup(*r.db, f.fileName(), r.copie(), r.now);
            QVERIFY2(
                !back.ok &&
                    back.message.startsWith("Non posso rimettere la copia del " + date + " alle 10:00:00: ") &&
                    back.message.contains("Scegli un'altra copia"),
                qPrintable(back.message));
            QCOMPARE(r.entries(), entries); // a refused restore makes no copy
            QCOMPARE(r.rows(), rowsBefore);
        }
        QCOMPARE(r.integrity(), QString("ok"));
    }

    void aFailedCopySaysWhyAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("why");
        QTest::newRow("folder is a file") << "file" << "c'è un file. Sposta o rinomina quel file.";
        QTest::newRow("write-protected folder") << "protected" << "è protetta dalla scrittura";
        QTest::newRow("full disk") << "full" << "è pieno. Libera spazio";
    }
    void aFailedCopySaysWhyAndLeavesNothing()
    {
        QFETCH(QString, fault);
        QFETCH(QString, why);
        Results r;
        QVERIFY(r.fill("prima-D", 400, "ALUNNO"));
        std::unique_ptr<Mount> mount;
        if (fault == "full") { // room for one copy and a half
            const qint64 size = QFileInfo(makeBackup(*r.db, r.folder.file("prova"), r.now, true).file).size();
            mount = std::make_unique<Mount>(r.copie(), "size=" + QByteArray::number(size * 3 / 2 / 1024) + "k");
        } else if (fault == "protected" &&
                   geteuid() == 0) { // root writes through permissions, not through a read-only mount
            mount = std::make_unique<Mount>(r.copie(), "size=4m");
        }
        if (mount && !mount->ok) {
            if (geteuid() == 0)
                QSKIP("cannot mount a small file system here");
            // An ordinary user may mount in namespaces of their own: the case runs again there.
            const QString name = QStringLiteral("aFailedCopySaysWhyAndLeavesNothing(%1)").arg(QTest::currentDataTag());
            QProcess child;
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start("unshare", {"--user", "--map-root-user", "--mount", QCoreApplication::applicationFilePath(),
                                    name.left(name.indexOf('(')) + ':' + QTest::currentDataTag()});
            child.waitForFinished(120000);
            const QString out = QString::fromLocal8Bit(child.readAll());
            if (!out.contains("PASS   : TstBackup::" + name) && !out.contains("FAIL!  : TstBackup::" + name))
                QSKIP(qPrintable("cannot mount a small file system here: " + out.left(300)));
            QVERIFY2(out.contains("PASS   : TstBackup::" + name), qPrintable(out));
            return;
        }
        const BackupResult good = r.backup();
        QVERIFY2(good.ok(), qPrintable(good.message));
        QString goodCopy = good.file;
        const QString moved = r.folder.file("copie-spostate");
        if (fault == "file") {
            QVERIFY(QDir().rename(r.copie(), moved));
            goodCopy = QDir(moved).filePath(QFileInfo(good.file).fileName());
            QFile f(r.copie());
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("non una cartella") > 0);
        } else if (fault == "protected") {
            QVERIFY(mount ? mount->remount(MS_RDONLY)
                          : ::chmod(QFile::encodeName(r.copie()).constData(), 0555) == 0);
        }
        QVERIFY(r.fill("prima-D", 1, "ULTIMO"));
        const QStringList rowsBefore = r.rows();
        const QStringList entriesBefore = r.entries();

        const BackupResult b = r.backup();
        QVERIFY2(b.outcome == BackupResult::Outcome::Failed &&
                     b.message.startsWith("La copia di sicurezza dei risultati non è riuscita: ") &&
                     b.message.contains(why) && b.message.contains("I risultati non sono stati toccati"),
                 qPrintable(b.message));
        const QString pending = pendingBackupProblem(*r.db);
        QVERIFY2(pending.startsWith(
                     "La copia di sicurezza dei risultati del 09/12/2026 alle 08:32:05 non è riuscita: ") &&
                     pending.contains(why),
                 qPrintable(pending));
        // A restore needs a copy of the present results first: refused as well.
        const RestoreResult back = restoreBackup(*r.db, goodCopy, r.copie(), r.now);
        QVERIFY2(!back.ok && back.message.startsWith("Non ho rimesso la copia del 09/12/2026 alle 08:31:05, perché prima devo fare una copia") &&
                     back.message.contains(why),
                 qPrintable(back.message));
        QCOMPARE(r.entries(), entriesBefore);
        QCOMPARE(r.listed(), fault == "file" ? QStringList() : QStringList{QFileInfo(good.file).fileName()});
        QCOMPARE(r.rows(), rowsBefore);
        QCOMPARE(r.integrity(), QString("ok"));

        // The fault lifted: the next copy is made and the problem is no longer pending.
        if (fault == "file")
            QVERIFY(QFile::remove(r.copie()) && QDir().rename(moved, r.copie()));
        else if (fault == "protected")
            QVERIFY(mount ? mount->remount(0) : ::chmod(QFile::encodeName(r.copie()).constData(), 0755) == 0);
        else
            mount.reset();
        QCOMPARE(r.backup().outcome, BackupResult::Outcome::Made);
        QCOMPARE(pendingBackupProblem(*r.db), QString());
    }

    // A process restoring in a loop (each restore makes a copy first) is killed at random
    // moments: the results file holds one copy's rows whole, every copy listed is sound, the
    // sources are untouched, and the next copy clears what the killed one left (its lock, a
    // half-written file).
    void aKilledCopyOrRestoreLeavesEverythingWhole()
    {
        Results r;
        for (const QString &t : classTables())
            QVERIFY(r.fill(t, 150, t.toUpper()));
        const QString sources = r.folder.file("sorgenti");
        const QString a = makeBackup(*r.db, sources, r.now, true).file;
        const QStringList rowsA = r.rows();
        QVERIFY(r.run("DELETE FROM \"prima-A\" WHERE rowid % 2 = 0") &&
                r.run("UPDATE \"prima-B\" SET lessico1 = 6") && r.fill("prima-C", 20, "NUOVO"));
        const QString b = makeBackup(*r.db, sources, r.now.addSecs(60), true).file;
        const QStringList rowsB = r.rows();
        const QByteArray bytesA = test::fileBytes(a), bytesB = test::fileBytes(b);
        r.db.reset();

        for (int round = 0; round < 10; ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(kLoopVariable, r.folder.path());
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {});
            // Killed at a random point of a round, as long as the last round took.
            QElapsedTimer clock;
            clock.start();
            QList<qint64> ended;
            QByteArray out;
            while (ended.size() < 2 && child.waitForReadyRead(60000)) {
                out += child.readAllStandardOutput();
                while (ended.size() < out.count("giro"))
                    ended << clock.elapsed();
            }
            QVERIFY2(ended.size() >= 2, qPrintable(child.readAllStandardError()));
            QThread::msleep(
                QRandomGenerator::global()->bounded(quint32(std::max<qint64>(1, ended[1] - ended[0]))));
            child.kill();
            QVERIFY(child.waitForFinished());

            r.open();
            QCOMPARE(r.integrity(), QString("ok"));
            const QStringList rows = r.rows();
            QVERIFY2(rows == rowsA || rows == rowsB,
                     qPrintable(QString("round %1: %2 rows").arg(round).arg(rows.size())));
            QVERIFY2(r.listed().filter("damaged").isEmpty(), qPrintable(r.listed().join(", ")));
            QVERIFY(test::fileBytes(a) == bytesA && test::fileBytes(b) == bytesB);
            r.db.reset();
        }
        r.open();
        QCOMPARE(r.backup(true).outcome, BackupResult::Outcome::Made);
        QCOMPARE(r.entries().filter(QRegularExpression("^\\.")), QStringList());

        // Killed between creating its lock and writing its owner into it: the empty lock is an
        // orphan, not another program at work.
        QFile orphan(QDir(r.copie()).filePath(".copie.lock"));
        QVERIFY(orphan.open(QIODevice::WriteOnly));
        orphan.close();
        const BackupResult after = r.backup(true);
        QVERIFY2(after.outcome == BackupResult::Outcome::Made, qPrintable(after.message));
        QVERIFY(!orphan.exists());
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kLoopVariable))
        return restoreLoop(qEnvironmentVariable(kLoopVariable));
    TstBackup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
