// School-year benchmarks on the results file: the close of a year of 10 classes × 30 finished
// pupils with every answer of every test (about 74,000 answer rows; the forced copy, the
// year's file written and checked, the transaction); a past year's class opened and its
// matrice read; the comparison of the current year with five closed ones.
#include "archive/annoscolastico.h"
#include "archive/resultmatrix.h"
#include "battery/items.h"
#include "insight/classstats.h"
#include "insight/yearcompare.h"
#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/database.h"
#include "storage/modquorv.h"
#include "storage/recordset.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Ten classes of 30 finished pupils, each with an answer to every item.
void fillSchool(qv::Database &db)
{
    db.begin();
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) "
                             "VALUES (?, ?, ?, ?, ?, ?, '2026-09-14 09:00:00')"));
    for (int c = 0; c < qv::kClassCount; ++c) {
        auto rs = db.openRecordset(qv::classTable(c));
        for (int i = 0; i < 30; ++i) {
            rs->addNew();
            rs->setField("nome", QStringLiteral("ALUNNO %1").arg(i));
            rs->setField("arrivo", 10);
            rs->setField("sub", 20);
            for (const qv::insight::ScoreField &f : qv::insight::scoreFields())
                rs->setField(QString::fromLatin1(f.name), (i * 7 + c) % (f.maximum + 1));
            rs->update();
            rs->setBookmark(rs->lastModified());
            const QString data = rs->field("data").toString();
            for (const QString &prova : qv::itemTests())
                for (const qv::Item &it : qv::testItems(prova)) {
                    const bool right = (i * 31 + it.numero * 7) % 10 < 6;
                    q.addBindValue(qv::classTable(c));
                    q.addBindValue(data);
                    q.addBindValue(prova);
                    q.addBindValue(it.numero);
                    q.addBindValue(right ? it.chiave : QStringLiteral("%1").arg((i + it.numero) % 4 + 1));
                    q.addBindValue(right ? 1 : 0);
                    q.exec();
                }
        }
    }
    db.commit();
}

struct Folder {
    QTemporaryDir dir;
    QString data = dir.filePath("Perquorvane");
    std::unique_ptr<qv::Database> db;
    Folder()
    {
        QString e;
        qv::prepareDataFolder(data, &e);
        db = qv::Database::open(QDir(data).filePath(qv::kResultsFile), &e);
    }
    // Closes the year `year` after filling the school: the year set by hand first, as a
    // teacher does on a computer whose clock is not trusted.
    void closeYear(int year)
    {
        qv::SchoolYears y(*db, data);
        const QDate today = QDate::currentDate();
        y.correct(year, today);
        fillSchool(*db);
        y.close(y.preview(today), QDateTime::currentDateTime());
    }
};

// The whole close of the year, the filled school copied in fresh before each round.
void BM_CloseYear(benchmark::State &state)
{
    QTemporaryDir templ;
    const QString filled = templ.filePath("filled.mdb");
    {
        Folder f;
        fillSchool(*f.db);
        f.db->checkpoint();
        f.db.reset();
        QFile::copy(QDir(f.data).filePath(qv::kResultsFile), filled);
    }
    int closed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<Folder>();
        f->db.reset();
        const QString results = QDir(f->data).filePath(qv::kResultsFile);
        qv::Database::removeFiles(results);
        QFile::copy(filled, results);
        QString e;
        f->db = qv::Database::open(results, &e);
        qv::SchoolYears y(*f->db, f->data);
        const qv::ClosePreview p = y.preview(QDate::currentDate());
        state.ResumeTiming();
        closed += y.close(p, QDateTime::currentDateTime()).ok ? 1 : 0;
        state.PauseTiming();
        f.reset();
        state.ResumeTiming();
    }
    if (closed != int(state.iterations()))
        state.SkipWithError("a close failed");
}

// A closed year's file opened read-only and the matrice of its class A (30 pupils) read.
void BM_PastYearClass(benchmark::State &state)
{
    Folder f;
    const int year = QDate::currentDate().year() - 2;
    f.closeYear(year);
    qv::SchoolYears y(*f.db, f.data);
    const QList<qv::PastYear> past = y.pastYears();
    if (past.size() != 1 || past.first().state != qv::PastYear::State::Ok) {
        state.SkipWithError("the year was not closed");
        return;
    }
    QTemporaryDir scratch;
    for (auto _ : state) {
        QString e;
        qv::Modquorv st;
        st.dbrisultati = y.openPast(past.first(), scratch.path(), &e);
        st.tabellaclasse = qv::classTable(0);
        qv::ResultMatrix m;
        benchmark::DoNotOptimize(qv::matrice(st, m));
    }
}

// The comparison: the current school of 300 and five closed years of 300 each, every
// past year listed and checked, opened and summarized, as the statistics window does.
void BM_CompareFiveYears(benchmark::State &state)
{
    Folder f;
    const int now = QDate::currentDate().year() - 6;
    for (int year = now; year < now + 5; ++year)
        f.closeYear(year);
    fillSchool(*f.db);
    qv::SchoolYears y(*f.db, f.data);
    QTemporaryDir scratch;
    std::size_t years = 0;
    for (auto _ : state) {
        std::vector<qv::insight::YearSummary> out(1);
        QString e;
        qv::insight::summarizeYear(*f.db, y.current(QDate::currentDate()).year, out.front(), &e);
        for (const qv::PastYear &past : y.pastYears()) {
            auto db = y.openPast(past, scratch.path(), &e);
            qv::insight::YearSummary one;
            if (db && qv::insight::summarizeYear(*db, past.year, one, &e))
                out.push_back(one);
        }
        years = out.size();
        benchmark::DoNotOptimize(out);
    }
    if (years != 6)
        state.SkipWithError("not every year was summarized");
}

} // namespace

BENCHMARK(BM_CloseYear)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PastYearClass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareFiveYears)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
