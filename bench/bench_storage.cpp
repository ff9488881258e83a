// Storage benchmarks on class tables of 100 and 10,000 records: seek on "nome", a full
// MoveNext pass, one pupil store (bookmark, Edit, fields, Update), AddNew … Update; and the
// floor a store is judged against: the same fields written by a bare prepared UPDATE.
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<qv::Database> db;
    std::unique_ptr<qv::Recordset> rs;
    QStringList bookmarks;

    explicit Fixture(int rows)
    {
        const QString folder = dir.filePath("Perquorvane");
        QString e;
        qv::prepareDataFolder(folder, &e);
        db = qv::Database::open(QDir(folder).filePath(qv::kResultsFile), &e);
        db->begin();
        rs = db->openRecordset("prima-A");
        for (int i = 0; i < rows; ++i) {
            rs->addNew();
            rs->setField("nome", QStringLiteral("ALUNNO %1").arg(i, 5, 10, QLatin1Char('0')));
            rs->setField("arrivo", 1);
            rs->setField("sub", 1);
            rs->update();
            bookmarks << rs->lastModified();
        }
        db->commit();
    }
};

// Made on first use, shared by the benchmarks of one size; emptied before the
// QCoreApplication goes, since the database connections cannot outlive it.
std::map<int, std::unique_ptr<Fixture>> fixtures;

Fixture &fixture(int rows)
{
    auto &f = fixtures[rows];
    if (!f)
        f = std::make_unique<Fixture>(rows);
    return *f;
}

void BM_SeekNome(benchmark::State &state)
{
    Fixture &f = fixture(int(state.range(0)));
    f.rs->setIndex("nome");
    int i = 0;
    for (auto _ : state) {
        f.rs->seek("=", QStringLiteral("ALUNNO %1").arg(i++ % state.range(0), 5, 10, QLatin1Char('0')));
        benchmark::DoNotOptimize(f.rs->noMatch());
    }
}

void BM_MoveNextPass(benchmark::State &state)
{
    Fixture &f = fixture(int(state.range(0)));
    f.rs->setIndex(QString());
    for (auto _ : state) {
        int n = 0;
        for (f.rs->moveFirst(); !f.rs->eof(); f.rs->moveNext())
            ++n;
        benchmark::DoNotOptimize(n);
    }
}

void BM_StorePupil(benchmark::State &state)
{
    Fixture &f = fixture(int(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        f.rs->setBookmark(f.bookmarks.at(i++ % f.bookmarks.size()));
        f.rs->edit();
        f.rs->setField("sub", i % 30);
        f.rs->setField("arrivo", 2);
        f.rs->setField("lessico1", 3);
        f.rs->setField("temlettura", 4);
        f.rs->update();
    }
}

// The floor of BM_StorePupil: the same four fields of the same rows, in the same file and
// on the same connection (QSQLITE, WAL, synchronous=FULL), by one UPDATE prepared once.
void BM_BareUpdate(benchmark::State &state)
{
    Fixture &f = fixture(int(state.range(0)));
    QList<qint64> rowids;
    for (const QString &b : f.bookmarks)
        rowids << b.toLongLong();
    QSqlQuery q(f.db->sql());
    if (!q.prepare(QStringLiteral("UPDATE \"prima-A\" SET \"sub\" = ?, \"arrivo\" = ?, \"lessico1\" = ?, "
                                  "\"temlettura\" = ? WHERE rowid = ?"))) {
        state.SkipWithError(q.lastError().text().toUtf8().constData());
        return;
    }
    int i = 0;
    for (auto _ : state) {
        const qint64 rowid = rowids.at(i++ % rowids.size());
        q.bindValue(0, i % 30);
        q.bindValue(1, 2);
        q.bindValue(2, 3);
        q.bindValue(3, 4);
        q.bindValue(4, rowid);
        if (!q.exec() || q.numRowsAffected() != 1) {
            state.SkipWithError(q.lastError().text().toUtf8().constData());
            break;
        }
    }
}

void BM_AddNew(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        f.rs->addNew();
        f.rs->setField("nome", QStringLiteral("NUOVO %1").arg(i++));
        f.rs->setField("arrivo", 1);
        f.rs->setField("sub", 1);
        f.rs->update();
    }
}

} // namespace

BENCHMARK(BM_SeekNome)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveNextPass)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StorePupil)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareUpdate)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddNew)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixtures.clear();
    return 0;
}
