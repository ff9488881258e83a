// A store that closes a test or a part, or "Esco", fails (the record cannot be written):
// in the grammar, causal-scheme and chronology tests the pupil is told, stays where they
// were with the answers on show, and a second try stores everything, minutes included.
#include "battery/analysis/analysiscontent.h"
#include "battery/analysis/grammaticamodel.h"
#include "battery/analysis/storia1model.h"
#include "battery/analysis/storia2model.h"
#include "storage/minutes.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qv;

namespace {

void risolvi(GrammaticaModel &m, int numfrase)
{
    const AnalysisSentence &s = grammaticaSentences().at(numfrase - 1);
    for (int k = 0; k < s.elementi.size(); ++k)
        m.drop(k, int(grammaticaCategorie().indexOf(s.categorie.at(k))));
}

void risolvi(Storia1Model &m)
{
    for (int k = 1; k <= m.caselle(); ++k)
        for (int i = 0; i < m.caselle(); ++i)
            if (m.frase(i) == m.chiave(k))
                m.drop(k - 1, i);
}

void risolvi(Storia2Model &m)
{
    for (int r = 0; r < Storia2Model::kRighe; ++r)
        for (int j = 0; j < Storia2Model::kRighe; ++j)
            if (m.data(j) == m.chiave(r))
                m.drop(r, j);
}

} // namespace

class TstFailedStores : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;
    QString segnalibro;

    // The next stores fail: the cursor cannot find the pupil's row.
    void breakStores() { env->session.state.segnalibro = QStringLiteral("987654"); }
    void mendStores() { env->session.state.segnalibro = segnalibro; }
    int alerts(const QString &text) const { return int(env->dialogs.alerts.count(text)); }

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>();
        env->addPupil(QStringLiteral("ROSSI ANNA"));
        env->session.state.tipoavvio = kAvvioNuovo;
        segnalibro = env->session.state.segnalibro;
    }
    void cleanup() { env.reset(); }

    void grammarStaysOnTheLastSentenceUntilItIsStored()
    {
        const QDateTime inizio = env->clock.t;
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        for (int n = 1; n <= 5; ++n) {
            risolvi(m, n);
            env->clock.advanceSecs(50);
            QCOMPARE(m.next(), AnalysisModel::Outcome::Next);
        }
        risolvi(m, 6);
        const qint16 prima = m.punti();
        env->clock.advanceSecs(50);
        breakStores();
        QCOMPARE(m.next(), AnalysisModel::Outcome::Stay);
        QCOMPARE(alerts(Session::storeFailedMessage()), 1);
        QCOMPARE(m.punti(), prima);
        QCOMPARE(m.numfrase(), qint16(6));
        QCOMPARE(m.box(0), grammaticaSentences().at(5).categorie.at(0)); // the answers stay
        QVERIFY(env->nav.shown.empty());                                 // no hand-over

        // "Esco" cannot store either: the pupil stays.
        m.leave();
        QCOMPARE(alerts(Session::storeFailedMessage()), 2);
        QCOMPARE(env->exit.ended, 0);

        mendStores();
        QCOMPARE(env->stored("arrivo").toInt(), 3);
        QCOMPARE(env->stored("sub").toInt(), 6);
        env->clock.advanceSecs(50);
        QCOMPARE(m.next(), AnalysisModel::Outcome::Finished);
        QVERIFY(env->nav.last() == Screen::FLogsem);
        QCOMPARE(env->stored("arrivo").toInt(), 4);
        QCOMPARE(env->stored("gramsem").toInt(), 53);
        QCOMPARE(env->stored("temgram").toInt(), minuteBoundaries(inizio, env->clock.t));
    }

    void causalSchemesKeepTheSimpleScoreWhenTheChangeOfSchemeFails()
    {
        const QDateTime inizio = env->clock.t;
        Storia1Model m(env->session);
        m.setSeedSource([] { return 7u; });
        m.apertura();
        for (int n = 1; n <= 4; ++n) {
            risolvi(m);
            env->clock.advanceSecs(40);
            m.nuovo();
        }
        risolvi(m);
        breakStores();
        env->clock.advanceSecs(40);
        m.nuovo();
        QCOMPARE(alerts(Session::storeFailedMessage()), 1);
        QCOMPARE(m.numesercizio(), 5);
        QCOMPARE(m.tiposchema(), 1);
        QCOMPARE(m.punti(), 12);
        QCOMPARE(m.casella(0), m.chiave(1)); // the set stays as the pupil left it

        mendStores();
        m.nuovo();
        QCOMPARE(m.tiposchema(), 2);
        QCOMPARE(m.numesercizio(), 6);
        QCOMPARE(env->stored("causasem").toInt(), 15);
        QCOMPARE(env->stored("sub").toInt(), 6);

        for (int n = 6; n <= 8; ++n) {
            risolvi(m);
            env->clock.advanceSecs(40);
            m.nuovo();
        }
        risolvi(m);
        breakStores();
        env->clock.advanceSecs(40);
        m.nuovo();
        QCOMPARE(alerts(Session::storeFailedMessage()), 2);
        QCOMPARE(m.numesercizio(), 9);
        QCOMPARE(m.punti(), 12);
        QVERIFY(env->nav.shown.empty());
        m.esco();
        QCOMPARE(alerts(Session::storeFailedMessage()), 3);
        QCOMPARE(env->exit.ended, 0);

        mendStores();
        m.nuovo();
        QVERIFY(env->nav.last() == Screen::FLstoria2);
        QCOMPARE(env->stored("causacom").toInt(), 16);
        QCOMPARE(env->stored("causasem").toInt(), 15);
        QCOMPARE(env->stored("arrivo").toInt(), 8);
        QCOMPARE(env->stored("temcause").toInt(), minuteBoundaries(inizio, env->clock.t));
    }

    void chronologyKeepsTheHalfOnShowWhenItCannotBeStored()
    {
        const QDateTime inizio = env->clock.t;
        Storia2Model m(env->session);
        m.apertura();
        risolvi(m);
        breakStores();
        env->clock.advanceSecs(70);
        m.seguente();
        QCOMPARE(alerts(Session::storeFailedMessage()), 1);
        QCOMPARE(m.parte(), 1);
        QCOMPARE(m.punti(), 0);
        QCOMPARE(m.casella(0), m.chiave(0));
        // "Esco" with the half complete scores and stores it; it cannot, so the pupil stays.
        m.esco();
        QCOMPARE(alerts(Session::storeFailedMessage()), 2);
        QCOMPARE(env->exit.ended, 0);
        QCOMPARE(m.punti(), 0);

        mendStores();
        m.seguente();
        QCOMPARE(m.parte(), 2);
        QCOMPARE(env->stored("cronolog").toInt(), 10);
        risolvi(m);
        breakStores();
        env->clock.advanceSecs(70);
        m.seguente();
        QCOMPARE(m.parte(), 2);
        QCOMPARE(m.punti(), 10);
        QVERIFY(env->nav.shown.empty());

        mendStores();
        m.seguente();
        QVERIFY(env->nav.last() == Screen::FLcartge);
        QCOMPARE(env->stored("cronolog").toInt(), 20);
        QCOMPARE(env->stored("arrivo").toInt(), 9);
        QCOMPARE(env->stored("temcrono").toInt(), minuteBoundaries(inizio, env->clock.t));
    }
};

QTEST_GUILESS_MAIN(TstFailedStores)
#include "tst_failedstores.moc"
