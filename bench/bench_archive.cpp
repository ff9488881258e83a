// Archive benchmarks: matrice and the class printout text for 100 and 10,000 records;
// export and import of 1,000 records; copies of the results file (made, checked unchanged,
// listed, restored) for 10 classes of 30 pupils and for 10,000 records.
#include "archive/backup.h"
#include "archive/exchange.h"
#include "archive/report.h"
#include "archive/resultmatrix.h"
#include "benchserver.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/modquorv.h"
#include "storage/recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Folder {
    QTemporaryDir dir;
    QString data = dir.filePath("Perquorvane");
    qv::Modquorv st;

    explicit Folder(int rows)
    {
        QString e;
        qv::prepareDataFolder(data, &e);
        st.dbrisultati = qv::Database::open(QDir(data).filePath(qv::kResultsFile), &e);
        st.tabellaclasse = "prima-B";
        fill(*st.dbrisultati, "prima-B", rows);
    }
    static void fill(qv::Database &db, const QString &table, int rows)
    {
        db.begin();
        auto rs = db.openRecordset(table);
        for (int i = 0; i < rows; ++i) {
            rs->addNew();
            rs->setField("nome", QStringLiteral("ALUNNO %1").arg(i));
            rs->setField("arrivo", 10);
            rs->setField("sub", 20);
            for (const char *f : {"lessico1", "fatti1", "inferen1", "gramsem", "logsem", "frasi1", "cronolog"})
                rs->setField(QString::fromLatin1(f), i % 5);
            rs->update();
        }
        db.commit();
    }
};

void BM_Matrice(benchmark::State &state)
{
    Folder f(int(state.range(0)));
    for (auto _ : state) {
        qv::ResultMatrix m;
        benchmark::DoNotOptimize(qv::matrice(f.st, m));
    }
}

// matrice of a class of 30 pupils on the results server QUORVANE_PG names.
void BM_ServerMatrice(benchmark::State &state)
{
    QTemporaryDir dir;
    QString e;
    qv::Modquorv st;
    st.dbrisultati = openBenchServer(dir, &e);
    if (!st.dbrisultati) {
        state.SkipWithError(e.toUtf8().constData());
        return;
    }
    st.tabellaclasse = "prima-D";
    QSqlQuery(st.dbrisultati->sql()).exec("DELETE FROM \"prima-D\"");
    Folder::fill(*st.dbrisultati, "prima-D", int(state.range(0)));
    for (auto _ : state) {
        qv::ResultMatrix m;
        benchmark::DoNotOptimize(qv::matrice(st, m));
    }
}

void BM_ClassReport(benchmark::State &state)
{
    Folder f(int(state.range(0)));
    qv::ResultMatrix m;
    qv::matrice(f.st, m);
    for (auto _ : state) {
        auto r = qv::classReport(m, "Prima  B");
        benchmark::DoNotOptimize(r);
    }
}

void BM_Export1000(benchmark::State &state)
{
    Folder f(1000);
    const QString disk = f.dir.filePath("disk/expquorvane.mdb");
    QDir().mkpath(f.dir.filePath("disk"));
    for (auto _ : state) {
        auto r = qv::esportaClasse(*f.st.dbrisultati, "prima-B", disk, QDir(f.data).filePath(qv::kExportFile));
        benchmark::DoNotOptimize(r);
    }
}

void BM_Import1000(benchmark::State &state)
{
    Folder f(1000);
    const QString disk = f.dir.filePath("disk/expquorvane.mdb");
    QDir().mkpath(f.dir.filePath("disk"));
    qv::esportaClasse(*f.st.dbrisultati, "prima-B", disk, QDir(f.data).filePath(qv::kExportFile));
    for (auto _ : state) {
        state.PauseTiming();
        QSqlQuery(f.st.dbrisultati->sql()).exec("DELETE FROM \"prima-C\"");
        state.ResumeTiming();
        auto r = qv::importaClasse(*f.st.dbrisultati, "prima-C", disk);
        benchmark::DoNotOptimize(r);
    }
}

// Hostile disks: 0 nine rows beside a column of the disk's own computed as a 900 MB blob
// (never read: the nine rows come in), then, each to be refused whole, 1 a name of 5 MB,
// 2 200,000 rows, 3 "prima" a view without end.
void BM_HostileDisk(benchmark::State &state)
{
    Folder f(30);
    const QString disk = f.dir.filePath("disk/expquorvane.mdb");
    QDir().mkpath(f.dir.filePath("disk"));
    {
        // Made as another program would, without the program's limits.
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "hostile");
        db.setDatabaseName(disk);
        db.open();
        const QString cols = qv::transferredFields().join(", ");
        QStringList sql;
        switch (state.range(0)) {
        case 0:
            sql = {"CREATE TABLE prima (" + cols + ", gonfio BLOB GENERATED ALWAYS AS (zeroblob(900000000)))",
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9) "
                   "INSERT INTO prima (nome, data) SELECT 'A' || i, 'd-' || i FROM n"};
            break;
        case 1:
            sql = {"CREATE TABLE prima (" + cols + ")",
                   "INSERT INTO prima (nome, data) VALUES (printf('%.*c', 5000000, 'x'), 'd-1')"};
            break;
        case 2:
            sql = {"CREATE TABLE prima (" + cols + ")",
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
                   "INSERT INTO prima (nome, data) SELECT 'A' || i, 'd-' || i FROM n"};
            break;
        default:
            sql = {"CREATE VIEW prima AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                   "SELECT 'A' AS nome, i AS data FROM n"};
        }
        for (const QString &s : sql)
            if (!QSqlQuery(db).exec(s))
                state.SkipWithError("the hostile disk could not be made");
        db.close();
    }
    QSqlDatabase::removeDatabase("hostile");
    for (auto _ : state) {
        auto r = qv::importaClasse(*f.st.dbrisultati, "prima-B", disk);
        if (r.ok != (state.range(0) == 0))
            state.SkipWithError(r.ok ? "a hostile disk was imported" : "the nine rows were refused");
        benchmark::DoNotOptimize(r);
    }
}

// A sealed export of 30 pupils and its import: the key derivation is most of it.
void BM_SealedRoundTrip(benchmark::State &state)
{
    Folder f(30);
    const QString folder = f.dir.filePath("disk");
    QDir().mkpath(folder);
    for (auto _ : state) {
        auto x = qv::esportaSigillato(*f.st.dbrisultati, "prima-B", folder, "parola d'ordine",
                                      QDir(f.data).filePath(qv::kExportFile));
        auto r = qv::importaSigillato(*f.st.dbrisultati, "prima-C", QDir(folder).filePath(qv::kSealedExportFile),
                                      "parola d'ordine");
        if (!x.ok || !r.ok)
            state.SkipWithError("the sealed round trip failed");
    }
}

// A results file with `rows` records spread over the ten classes, and its copies' folder.
struct Copies : Folder {
    QString copie = QDir(data).filePath(qv::kBackupFolder);
    QDateTime now = QDateTime(QDate(2026, 12, 9), QTime(8, 0, 0));

    explicit Copies(int rows) : Folder(0)
    {
        for (int i = 0; i < qv::kClassCount; ++i)
            fill(*st.dbrisultati, qv::classTable(i), rows / qv::kClassCount);
    }
    qv::BackupResult backup(bool force)
    {
        now = now.addSecs(60);
        return qv::makeBackup(*st.dbrisultati, copie, now, force);
    }
};

// The copy made at start-up when the results changed: hash, VACUUM INTO, check, rename.
void BM_BackupMade(benchmark::State &state)
{
    Copies c(int(state.range(0)));
    for (auto _ : state)
        if (!c.backup(true).ok())
            state.SkipWithError("copy failed");
    state.counters["bytes"] = double(QFileInfo(qv::listBackups(c.copie).first().file).size());
}

// The start-up check when nothing changed since the last copy: the hash alone.
void BM_BackupUnchanged(benchmark::State &state)
{
    Copies c(int(state.range(0)));
    c.backup(true);
    for (auto _ : state)
        if (c.backup(false).outcome != qv::BackupResult::Outcome::Unchanged)
            state.SkipWithError("a copy was made");
}

// Listing thirty copies, each opened and checked.
void BM_ListBackups(benchmark::State &state)
{
    Copies c(int(state.range(0)));
    for (int i = 0; i < qv::kBackupsKept; ++i)
        c.backup(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(qv::listBackups(c.copie));
}

// A restore: the copy of the present results, then the rows replaced in one transaction.
void BM_Restore(benchmark::State &state)
{
    Copies c(int(state.range(0)));
    const QString first = c.backup(true).file;
    for (auto _ : state) {
        c.now = c.now.addSecs(60);
        if (!qv::restoreBackup(*c.st.dbrisultati, first, c.copie, c.now).ok)
            state.SkipWithError("restore failed");
    }
}

} // namespace

BENCHMARK(BM_BackupMade)->Arg(300)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupUnchanged)->Arg(300)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListBackups)->Arg(300)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Restore)->Arg(300)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Matrice)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServerMatrice)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassReport)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileDisk)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SealedRoundTrip)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
