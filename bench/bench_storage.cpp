// Storage benchmarks on class tables of 100 and 10,000 records: seek on "nome", a full
// MoveNext pass, one pupil store (bookmark, Edit, fields, Update), the model's store through
// Session::storePupil with and without an answer-log row, AddNew … Update; and a store in
// turn with its floor, the same fields written by a bare prepared UPDATE; that pair again on
// the results server.
#include "benchserver.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "storage/session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>

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

// Every store gives the row a value it does not hold (a count never reset), as a pupil's
// store does: SQLite leaves a row given the values it holds unwritten, without a sync.
void BM_StorePupil(benchmark::State &state)
{
    Fixture &f = fixture(int(state.range(0)));
    static int writes = 0;
    int i = 0;
    for (auto _ : state) {
        f.rs->setBookmark(f.bookmarks.at(i++ % f.bookmarks.size()));
        f.rs->edit();
        f.rs->setField("sub", i % 30);
        f.rs->setField("arrivo", 2);
        f.rs->setField("lessico1", 3);
        f.rs->setField("temlettura", ++writes % 30000);
        f.rs->update();
    }
}

// Seams that do nothing: the store touches only the clock.
struct Quiet : qv::Dialogs, qv::Clock, qv::Exit, qv::Navigator {
    void alert(const QString &) override {}
    bool ask(const QString &, Buttons) override { return true; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    QStringList askLogin(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QStringList askPasswords(const QString &, const QString &, const QStringList &) override { return {}; }
    std::optional<qv::PupilTools> askTools(const QString &, const qv::PupilTools &) override { return std::nullopt; }
    DiskSecret askDiskPassphrase(const QString &, bool) override { return {}; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    void endProgram() override {}
    void show(qv::Screen) override {}
    void hide(qv::Screen) override {}
    void unload(qv::Screen) override {}
};

// A checkpoint as the models make it: one answered question, its log row (second argument
// 1) or none (0), and the record's progress fields, in one store.
void BM_SessionStore(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const bool withLog = state.range(1) != 0;
    QTemporaryDir dir;
    const QString folder = dir.filePath("Perquorvane");
    QString e;
    qv::prepareDataFolder(folder, &e);
    Quiet quiet;
    qv::Session s(quiet, quiet, quiet, quiet, folder);
    s.state.dbrisultati = qv::Database::open(QDir(folder).filePath(qv::kResultsFile), &e);
    s.state.tabellaclasse = "prima-A";
    s.state.rsclasse = s.state.dbrisultati->openRecordset("prima-A");
    QStringList bookmarks;
    s.state.dbrisultati->begin();
    for (int i = 0; i < rows; ++i) {
        s.state.rsclasse->addNew();
        s.state.rsclasse->setField("nome", QStringLiteral("ALUNNO %1").arg(i, 5, 10, QLatin1Char('0')));
        s.state.rsclasse->update();
        bookmarks << s.state.rsclasse->lastModified();
    }
    s.state.dbrisultati->commit();
    int i = 0;
    for (auto _ : state) {
        s.state.segnalibro = bookmarks.at(i % bookmarks.size());
        if (withLog)
            s.logAnswer({QStringLiteral("lettura"), i % 34 + 1, QStringLiteral("2"), i % 3 != 0});
        ++i;
        const bool ok = s.storePupil({{"sub", i % 34 + 1}, {"arrivo", 1}, {"lessico1", 3}, {"temlettura", 4}});
        benchmark::DoNotOptimize(ok);
    }
}

// The store's and the floor's mean times over the run, and their ratio: the aim's measure.
void reportAgainstFloor(benchmark::State &state, std::chrono::steady_clock::duration store,
                        std::chrono::steady_clock::duration bare)
{
    const double n = double(state.iterations());
    const double storeMs = std::chrono::duration<double, std::milli>(store).count();
    const double bareMs = std::chrono::duration<double, std::milli>(bare).count();
    state.counters["store_ms"] = storeMs / n;
    state.counters["bare_ms"] = bareMs / n;
    state.counters["ratio"] = bareMs > 0 ? storeMs / bareMs : 0;
}

// Times a store through the cursor, with the condition on the progress that the pupils'
// stores carry, against `bare`, one UPDATE of the same four fields prepared once (its last
// parameter the row), taking turns on the rows of `bookmarks`, each going first every other
// time so that both meet the same load. Counters: the mean of each, and their ratio.
// Every write, of either, gives the row a value it does not hold (a count of all writes so
// far, never reset, not even between repetitions), so that each writes its page and syncs the
// log as a pupil's store does: SQLite leaves a row given the values it holds unwritten.
void storeAgainstBare(benchmark::State &state, qv::Recordset &rs, const QStringList &bookmarks, QSqlQuery &q)
{
    using Clock = std::chrono::steady_clock;
    static int writes = 0;
    Clock::duration store{}, bare{};
    int i = 0;
    auto value = [&] { return ++writes % 30000; };
    for (auto _ : state) {
        const QString &bookmark = bookmarks.at(i++ % bookmarks.size());
        const int sub = i % 30;
        auto storeOnce = [&] {
            const auto t0 = Clock::now();
            rs.setBookmark(bookmark);
            // As the pupils' road stores: only if the progress is still the one read.
            const QList<QPair<QString, QVariant>> expect{{"arrivo", rs.field("arrivo")}, {"sub", rs.field("sub")}};
            rs.edit();
            rs.setField("sub", sub);
            rs.setField("arrivo", 2);
            rs.setField("lessico1", 3);
            rs.setField("temlettura", value());
            const bool ok = rs.update(expect);
            store += Clock::now() - t0;
            return ok;
        };
        auto bareOnce = [&] {
            const auto t0 = Clock::now();
            q.bindValue(0, sub);
            q.bindValue(1, 2);
            q.bindValue(2, 3);
            q.bindValue(3, value());
            q.bindValue(4, bookmark.toLongLong());
            const bool ok = q.exec() && q.numRowsAffected() == 1;
            bare += Clock::now() - t0;
            return ok;
        };
        if (!(i % 2 ? storeOnce() && bareOnce() : bareOnce() && storeOnce())) {
            state.SkipWithError("a write failed");
            break;
        }
    }
    reportAgainstFloor(state, store, bare);
}

// One store (as BM_StorePupil) against its floor: the same four fields of the same row in
// the same file, on the same connection (QSQLITE, WAL, synchronous=FULL), by one UPDATE
// prepared once, taking turns (storeAgainstBare) so that both also meet the same state of
// the write-ahead log, whose syncs cost far more while it grows than once it is reused.
void BM_StoreAgainstBareUpdate(benchmark::State &state)
{
    Fixture &f = fixture(int(state.range(0)));
    QSqlQuery q(f.db->sql());
    if (!q.prepare(QStringLiteral("UPDATE \"prima-A\" SET \"sub\" = ?, \"arrivo\" = ?, \"lessico1\" = ?, "
                                  "\"temlettura\" = ? WHERE rowid = ?"))) {
        state.SkipWithError(q.lastError().text().toUtf8().constData());
        return;
    }
    storeAgainstBare(state, *f.rs, f.bookmarks, q);
}

// The same pair on the results server QUORVANE_PG names (bench/run.sh starts a private
// one): the program's store, a lab computer's (the pupils' role, through its view of the
// unfinished records and the table's guard) on the cursor standing on the pupil's record,
// one cursor per pupil as on thirty computers, with the condition on the progress that the
// road's stores carry, against one UPDATE of the same fields of the table prepared once on
// the technician's connection of the same driver (QPSQL), taking turns on a class of 30
// pupils. The progress grows at every store, as the guard wants it.
void BM_ServerStoreAgainstBareUpdate(benchmark::State &state)
{
    QTemporaryDir dir;
    QString e;
    auto db = openBenchServer(dir, &e);
    auto pupils = db ? qv::Database::connect(qv::ServerConfig::parse(qEnvironmentVariable("QUORVANE_PG") + " user=quorvane_aula"), &e)
                     : nullptr;
    if (!db || !pupils) {
        state.SkipWithError(e.toUtf8().constData());
        return;
    }
    QSqlQuery(db->sql()).exec("DELETE FROM \"prima-C\"");
    std::vector<std::unique_ptr<qv::Recordset>> cursors;
    QStringList bookmarks;
    for (int i = 0; i < int(state.range(0)); ++i) {
        auto rs = pupils->openRecordset("prima-C");
        rs->addNew();
        rs->setField("nome", QStringLiteral("ALUNNO %1").arg(i));
        rs->setField("arrivo", 1);
        rs->setField("sub", 1);
        if (!rs->update() || !rs->setBookmark(rs->lastModified())) {
            state.SkipWithError(rs->lastError().toUtf8().constData());
            return;
        }
        bookmarks << rs->lastModified();
        cursors.push_back(std::move(rs));
    }
    QSqlQuery q(db->sql());
    q.prepare("UPDATE \"prima-C\" SET \"sub\" = ?, \"arrivo\" = ?, \"lessico1\" = ?, \"temlettura\" = ? WHERE rowid = ?");
    using Clock = std::chrono::steady_clock;
    Clock::duration store{}, bare{};
    // Each row's progress as the last write left it: the store's condition, as the pupils'
    // road stores only if the progress is still the one it last read or wrote.
    std::vector<std::pair<int, int>> held(cursors.size(), {1, 1});
    int i = 0;
    for (auto _ : state) {
        const int k = i % int(cursors.size());
        const int step = ++i;
        const int arrivo = 2 + step / 30000, sub = 1 + step % 30000;
        auto storeOnce = [&] {
            const auto t0 = Clock::now();
            qv::Recordset &rs = *cursors[size_t(k)];
            const QList<QPair<QString, QVariant>> expect{{"arrivo", held[size_t(k)].first}, {"sub", held[size_t(k)].second}};
            const bool ok = rs.editAt(bookmarks.at(k)) && rs.setField("sub", sub) && rs.setField("arrivo", arrivo)
                && rs.setField("lessico1", 3) && rs.setField("temlettura", 4) && rs.update(expect);
            store += Clock::now() - t0;
            held[size_t(k)] = {arrivo, sub};
            return ok;
        };
        auto bareOnce = [&] {
            const auto t0 = Clock::now();
            q.bindValue(0, sub);
            q.bindValue(1, arrivo);
            q.bindValue(2, 3);
            q.bindValue(3, 4);
            q.bindValue(4, bookmarks.at(k).toLongLong());
            const bool ok = q.exec() && q.numRowsAffected() == 1;
            bare += Clock::now() - t0;
            held[size_t(k)] = {arrivo, sub};
            return ok;
        };
        // The bare UPDATE writes the progress the store then finds (and the store's the next
        // bare UPDATE overwrites): each takes the same row in the same state.
        if (!(step % 2 ? bareOnce() && storeOnce() : storeOnce() && bareOnce())) {
            state.SkipWithError(("a write failed: " + cursors[size_t(k)]->lastError()).toUtf8().constData());
            break;
        }
    }
    reportAgainstFloor(state, store, bare);
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
BENCHMARK(BM_SessionStore)->Args({100, 0})->Args({100, 1})->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreAgainstBareUpdate)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServerStoreAgainstBareUpdate)->Arg(30)->Unit(benchmark::kMillisecond);
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
