// Class statistics benchmarks: the statistics window's figures (read, counts, sixteen
// fields, bands, levels, the school's profile) for a class of 30 finished pupils with the
// other classes empty, and with all ten classes of 30 filled (the school of 300).
#include "insight/classstats.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct School {
    QTemporaryDir dir;
    std::unique_ptr<qv::Database> db;

    explicit School(int classes)
    {
        const QString data = dir.filePath("Perquorvane");
        QString e;
        qv::prepareDataFolder(data, &e);
        db = qv::Database::open(QDir(data).filePath(qv::kResultsFile), &e);
        db->begin();
        for (int c = 0; c < classes; ++c) {
            auto rs = db->openRecordset(qv::classTable(c));
            for (int i = 0; i < 30; ++i) {
                rs->addNew();
                rs->setField("nome", QStringLiteral("ALUNNO %1").arg(i));
                rs->setField("arrivo", 10);
                rs->setField("sub", 20);
                for (const qv::insight::ScoreField &f : qv::insight::scoreFields())
                    rs->setField(QString::fromLatin1(f.name), (i * 7 + c) % (f.maximum + 1));
                for (const qv::insight::PartInfo &p : qv::insight::parts())
                    rs->setField(QString::fromLatin1(p.minutesField), 5 + i % 20);
                rs->update();
            }
        }
        db->commit();
    }
};

// Everything the window shows for class A; range(0) = how many classes hold 30 pupils.
void BM_ClassInsight(benchmark::State &state)
{
    School s(int(state.range(0)));
    for (auto _ : state) {
        qv::insight::ClassInsight ci;
        benchmark::DoNotOptimize(qv::insight::classInsight(*s.db, qv::classTable(0), ci, nullptr));
    }
}

// The statistics and levels of every one of the ten classes of 30, one after the other.
void BM_EveryClass(benchmark::State &state)
{
    School s(qv::kClassCount);
    for (auto _ : state)
        for (int c = 0; c < qv::kClassCount; ++c) {
            qv::insight::ClassInsight ci;
            benchmark::DoNotOptimize(qv::insight::classInsight(*s.db, qv::classTable(c), ci, nullptr));
        }
}

} // namespace

BENCHMARK(BM_ClassInsight)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EveryClass)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
