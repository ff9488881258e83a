// The step protocol as every test meets it: after each answer the record holds what "Esco"
// would store there, minutes included; a step that cannot be written is told at once, leaves
// the test where it was with nothing scored or logged, and is stored whole at the next try.
#include "battery/analysis/analysiscontent.h"
#include "battery/analysis/grammaticamodel.h"
#include "battery/analysis/logicamodel.h"
#include "battery/analysis/storia1model.h"
#include "battery/analysis/storia2model.h"
#include "battery/comprehension/frasimodel.h"
#include "battery/comprehension/letturamodel.h"
#include "battery/geography/cartgecontent.h"
#include "battery/geography/cartgemodel.h"
#include "storage/minutes.h"
#include "storage/pupilrecord.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qv;

namespace {

// One test as the protocol sees it: started afresh, the point on show answered rightly or
// not, left with "Esco"; point() is where the test stands.
struct Taker {
    virtual ~Taker() = default;
    virtual void start() = 0;
    virtual void answer(bool right) = 0;
    virtual void esco() = 0;
    virtual int point() const = 0;
};

template <class M> struct Questions : Taker {
    M m;
    const int *key;
    Questions(Session &s, const int *k) : m(s), key(k) {}
    void start() override { m.setUp(); }
    void answer(bool right) override
    {
        const int q = m.domanda;
        m.choose((right ? key[q] : key[q] % 4 + 1) - 1, true);
        m.nextQuestion();
    }
    void esco() override { m.leave(); }
    int point() const override { return m.domanda; }
};

template <class M> struct Analysis : Taker {
    M m;
    const QList<AnalysisSentence> &frasi;
    Analysis(Session &s, const QList<AnalysisSentence> &f) : m(s), frasi(f) {}
    void start() override { QVERIFY(m.open()); }
    void answer(bool right) override
    {
        const AnalysisSentence &s = frasi.at(m.numfrase() - 1);
        for (int k = 0; k < s.elementi.size(); ++k)
            m.drop(k, int(m.categorie().indexOf(s.categorie.at(k))));
        if (!right)
            m.drop(0, int((m.categorie().indexOf(s.categorie.at(0)) + 1) % m.categorie().size()));
        m.next();
    }
    void esco() override { m.leave(); }
    int point() const override { return m.numfrase(); }
};

struct Schemes : Taker {
    Storia1Model m;
    explicit Schemes(Session &s) : m(s) { m.setSeedSource([] { return 7u; }); }
    void start() override { m.apertura(); }
    void answer(bool right) override
    {
        for (int k = 1; k <= m.caselle(); ++k)
            for (int i = 0; i < m.caselle(); ++i)
                if (m.frase(i) == m.chiave(right || k > 1 ? k : 3))
                    m.drop(k - 1, i);
        m.nuovo();
    }
    void esco() override { m.esco(); }
    int point() const override { return m.numesercizio(); }
};

struct Dates : Taker {
    Storia2Model m;
    explicit Dates(Session &s) : m(s) {}
    void start() override { m.apertura(); }
    void answer(bool right) override
    {
        for (int r = 0; r < Storia2Model::kRighe; ++r)
            for (int j = 0; j < Storia2Model::kRighe; ++j)
                if (m.data(j) == m.chiave(right || r > 0 ? r : 1))
                    m.drop(r, j);
        m.seguente();
    }
    void esco() override { m.esco(); }
    int point() const override { return m.parte(); }
};

struct Maps : Taker {
    CartgeModel m;
    explicit Maps(Session &s) : m(s) {}
    void start() override { m.load(); }
    void answer(bool right) override
    {
        const int i = m.numero - 1;
        const int n = m.political() ? kRegioni : kElementiFisici;
        m.clickList2(right ? i : (i + 1) % n);
        if (m.political())
            m.clickList1(right ? i : (i + 3) % n);
        m.elementoSeguente();
    }
    void esco() override { m.esco(); }
    int point() const override { return m.numero; }
};

const int kLettura[35] = {0, 4, 3, 2, 1, 3, 2, 2, 4, 1, 3, 1, 4, 2, 3, 3, 1, 2, 1, 4,
                          4, 3, 3, 1, 3, 3, 2, 1, 2, 3, 1, 1, 4, 3, 2};
const int kFrasi[13] = {0, 3, 1, 2, 4, 2, 4, 3, 2, 4, 3, 2, 4};

std::unique_ptr<Taker> taker(const QString &test, test::ModelEnv &e)
{
    Session &s = e.session;
    if (test == QLatin1String("lettura"))
        return std::make_unique<Questions<LetturaModel>>(s, kLettura);
    if (test == QLatin1String("frasi"))
        return std::make_unique<Questions<FrasiModel>>(s, kFrasi);
    if (test == QLatin1String("grammatica"))
        return std::make_unique<Analysis<GrammaticaModel>>(s, grammaticaSentences());
    if (test == QLatin1String("logica"))
        return std::make_unique<Analysis<LogicaModel>>(s, logicaSentences());
    if (test == QLatin1String("cause"))
        return std::make_unique<Schemes>(s);
    if (test == QLatin1String("cronologia"))
        return std::make_unique<Dates>(s);
    return std::make_unique<Maps>(s);
}

const QDateTime kT0(QDate(2026, 9, 14), QTime(10, 0, 50));

// A new pupil in `e` through the first `k` points of `test`, each 47 seconds after the last.
std::unique_ptr<Taker> through(test::ModelEnv &e, const QString &test, int k)
{
    e.clock.t = kT0;
    e.addPupil(QStringLiteral("ROSSI ANNA"));
    if (test == QLatin1String("frasi")) // as the logical analysis leaves the record
        e.session.storePupil({{QStringLiteral("arrivo"), 6}, {QStringLiteral("sub"), 1}});
    e.session.state.tipoavvio = kAvvioNuovo;
    auto t = taker(test, e);
    t->start();
    for (int n = 0; n < k; ++n) {
        e.clock.advanceSecs(47);
        t->answer(n % 3 != 0);
    }
    return t;
}

} // namespace

class TstSteps : public QObject {
    Q_OBJECT

private slots:
    // The points answered before the step looked at, the stage it falls in, and the instant
    // the stage's minutes began.
    void steps_data()
    {
        QTest::addColumn<QString>("test");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("stage");
        QTest::addColumn<QDateTime>("since");
        const struct {
            const char *test;
            int k;
            Stage stage;
        } rows[] = {
            {"lettura", 5, Stage::Lettura1},   {"lettura", 12, Stage::Lettura1},  {"lettura", 14, Stage::Lettura2},
            {"lettura", 25, Stage::Lettura2},  {"frasi", 1, Stage::Frasi},        {"frasi", 11, Stage::Frasi},
            {"grammatica", 1, Stage::Grammatica}, {"grammatica", 5, Stage::Grammatica}, {"logica", 3, Stage::Logica},
            {"cause", 2, Stage::CauseSemplici}, {"cause", 4, Stage::CauseSemplici}, {"cause", 7, Stage::CauseComplesse},
            {"cronologia", 1, Stage::Cronologia}, {"cartge", 3, Stage::Fisica},   {"cartge", 21, Stage::Fisica},
            {"cartge", 23, Stage::Politica},   {"cartge", 39, Stage::Politica},
        };
        for (const auto &r : rows)
            QTest::addRow("%s %d", r.test, r.k)
                << QString::fromLatin1(r.test) << r.k << int(r.stage)
                // The political map's minutes begin when the physical map is done.
                << kT0.addSecs(r.stage == Stage::Politica ? 47 * kElementiFisici : 0);
    }

    // A run that only answers and one that answers and leaves leave the same record.
    void checkpointIsWhatEscoWouldStore_data() { steps_data(); }
    void checkpointIsWhatEscoWouldStore()
    {
        QFETCH(QString, test);
        QFETCH(int, k);
        QFETCH(int, stage);
        QFETCH(QDateTime, since);
        const StageCodes &codes = stageCodes(Stage(stage));
        test::ModelEnv answered, left;
        const auto a = through(answered, test, k);
        const auto b = through(left, test, k);
        b->esco();
        QCOMPARE(left.exit.ended, 1);
        QCOMPARE(answered.exit.ended, 0);
        QVERIFY(answered.dialogs.alerts.isEmpty());

        QCOMPARE(answered.stored(QStringLiteral("arrivo")).toInt(), codes.arrivo);
        QCOMPARE(answered.stored(QStringLiteral("sub")).toInt(), a->point());
        QCOMPARE(answered.stored(QString::fromLatin1(codes.minuti)).toInt(), minuteBoundaries(since, answered.clock.t));
        // All but "data", the day the record was made, which no test store writes.
        for (const QString &f : pupilFields())
            if (f != QLatin1String("data"))
                QVERIFY2(answered.stored(f) == left.stored(f), qPrintable(f));
        // Resumed from the checkpoint, the test stands where it was.
        answered.session.state.tipoavvio = kAvvioRipresa;
        answered.session.state.tappa = qint16(codes.arrivo);
        const auto again = taker(test, answered);
        again->start();
        QCOMPARE(again->point(), a->point());
    }

    void failedStepIsToldAndRetried_data() { steps_data(); }
    void failedStepIsToldAndRetried()
    {
        QFETCH(QString, test);
        QFETCH(int, k);
        QFETCH(int, stage);
        QFETCH(QDateTime, since);
        const QString minutesField = QString::fromLatin1(stageCodes(Stage(stage)).minuti);
        test::ModelEnv e;
        const auto t = through(e, test, k);
        const QString segnalibro = e.session.state.segnalibro;
        const int at = t->point();
        const QVariant arrivo = e.stored(QStringLiteral("arrivo")), sub = e.stored(QStringLiteral("sub"));
        const qint16 minuti = e.session.state.minuti;
        const int pending = e.session.pendingAnswers();

        // The cursor no longer finds the pupil's row: every store fails.
        e.session.state.segnalibro = QStringLiteral("987654");
        e.clock.advanceSecs(95);
        t->answer(true);
        QCOMPARE(e.dialogs.alerts, QStringList{Session::storeFailedMessage()});
        QCOMPARE(t->point(), at);
        QCOMPARE(e.session.state.minuti, minuti);
        QCOMPARE(e.session.pendingAnswers(), pending);
        t->esco();
        QCOMPARE(e.exit.ended, 0);
        QCOMPARE(e.dialogs.alerts.size(), 2);

        e.session.state.segnalibro = segnalibro;
        QCOMPARE(e.stored(QStringLiteral("sub")), sub);
        e.clock.advanceSecs(30);
        t->answer(true);
        QCOMPARE(e.dialogs.alerts.size(), 2);
        QVERIFY(e.stored(QStringLiteral("arrivo")) != arrivo || e.stored(QStringLiteral("sub")) != sub);
        QCOMPARE(e.stored(minutesField).toInt(), minuteBoundaries(since, e.clock.t));
        QCOMPARE(e.session.pendingAnswers(), 0);
    }
};

QTEST_GUILESS_MAIN(TstSteps)
#include "tst_steps.moc"
