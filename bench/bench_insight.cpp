// Class statistics benchmarks: the statistics window's figures (read, counts, sixteen
// fields, bands, levels, the school's profile) for a class of 30 finished pupils with the
// other classes empty, and with all ten classes of 30 filled (the school of 300); the
// per-question analysis of a class of 300 pupils.
#include "battery/items.h"
#include "insight/classstats.h"
#include "insight/questions.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
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

// The per-question analysis of one class of 300 pupils who answered every item of every
// test (about 80,000 rows of the answer log).
void BM_QuestionAnalysis(benchmark::State &state)
{
    School s(0);
    QSqlQuery q(s.db->sql());
    s.db->begin();
    auto rs = s.db->openRecordset(qv::classTable(0));
    q.prepare(QStringLiteral("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) "
                             "VALUES (?, ?, ?, ?, ?, ?, '2026-09-14 09:00:00')"));
    std::size_t rows = 0;
    for (int i = 0; i < 300; ++i) {
        rs->addNew();
        rs->setField("nome", QStringLiteral("ALUNNO %1").arg(i));
        rs->update();
        rs->setBookmark(rs->lastModified());
        const QString data = rs->field("data").toString();
        for (const QString &prova : qv::itemTests())
            for (const qv::Item &it : qv::testItems(prova)) {
                const bool right = (i * 31 + it.numero * 7) % 10 < 6;
                q.addBindValue(qv::classTable(0));
                q.addBindValue(data);
                q.addBindValue(prova);
                q.addBindValue(it.numero);
                q.addBindValue(right ? it.chiave : QStringLiteral("%1").arg((i + it.numero) % 4 + 1));
                q.addBindValue(right ? 1 : 0);
                q.exec();
                ++rows;
            }
    }
    s.db->commit();
    state.counters["answer_rows"] = double(rows);
    for (auto _ : state) {
        qv::insight::QuestionAnalysis a;
        benchmark::DoNotOptimize(qv::insight::questionAnalysis(*s.db, qv::classTable(0), a, nullptr));
    }
}

} // namespace

BENCHMARK(BM_QuestionAnalysis)->Unit(benchmark::kMillisecond);
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
