// The logical analysis model: the whole test, the tolerant opening, the wrap-around of a
// short sentence table, leaving and resuming, and the hand-over to the sentence test.
#include "battery/analysis/analysiscontent.h"
#include "battery/analysis/logicamodel.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

void answer(LogicaModel &m, const AnalysisSentence &s)
{
    QCOMPARE(m.nelementi(), qint16(s.elementi.size()));
    for (int k = 0; k < s.elementi.size(); ++k) {
        QCOMPARE(m.element(k), s.elementi.at(k));
        QVERIFY(m.drop(k, int(logicaCategorie().indexOf(s.categorie.at(k)))));
    }
}

const AnalysisSentence &sentence(int n)
{
    return logicaSentences().at(n - 1);
}

bool exec(test::ModelEnv &env, const QString &sql)
{
    QSqlQuery q(env.session.state.dbrisultati->sql());
    return q.exec(sql);
}

void reopenForResume(test::ModelEnv &env)
{
    QString e;
    Modquorv &st = env.session.state;
    st.rsclasse.reset();
    st.dbrisultati = env.folder.open(&e);
    QVERIFY2(st.dbrisultati, qPrintable(e));
    st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
    QVERIFY(st.rsclasse && st.rsclasse->setBookmark(st.segnalibro));
    st.tipoavvio = kAvvioRipresa;
}

} // namespace

class TstLogica : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>();
        QVERIFY2(env->folder.ok(), qPrintable(env->folder.error()));
        env->addPupil("VERDI SARA");
        env->session.state.tipoavvio = kAvvioNuovo;
    }
    void cleanup() { env.reset(); }

    void perfectRunScores34AndHandsOver()
    {
        LogicaModel m(env->session);
        QVERIFY(m.open());
        QCOMPARE(m.categorie().size(), 6);
        for (int n = 1; n <= 6; ++n) {
            QCOMPARE(m.numfrase(), qint16(n));
            answer(m, sentence(n));
            env->clock.advanceSecs(25);
            QCOMPARE(m.next(), n < 6 ? AnalysisModel::Outcome::Next : AnalysisModel::Outcome::Finished);
        }
        QCOMPARE(m.punti(), qint16(34));
        QCOMPARE(env->stored("logsem").toInt(), 34);
        QCOMPARE(env->stored("arrivo").toInt(), 6);
        QCOMPARE(env->stored("sub").toInt(), 1);
        QCOMPARE(env->stored("temlogica").toInt(), 2); // 09:00:00 to 09:02:30
        QCOMPARE(env->session.state.tipoavvio, kAvvioNuovo);
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(env->nav.hidden, std::vector<Screen>{Screen::FLogsem});
        QCOMPARE(env->nav.shown, std::vector<Screen>{Screen::FLfrasi});
        QVERIFY(env->dialogs.alerts.isEmpty());
    }

    void risultatoComparesExactly()
    {
        // One letter off, or another case, never matches the caption of its label.
        QVERIFY(exec(*env, "UPDATE A_logica SET categoria1 = 'soggetto', categoria2 = 'Predicato Verbale', "
                           "categoria3 = 'Complemento ogetto' WHERE ordine = 1"));
        LogicaModel m(env->session);
        QVERIFY(m.open());
        answer(m, sentence(1));
        QCOMPARE(m.next(), AnalysisModel::Outcome::Next);
        QCOMPARE(m.giuste(), qint16(3));
        QCOMPARE(m.punti(), qint16(3));
        // Incomplete sentence: message, nothing scored.
        m.drop(0, 0);
        QCOMPARE(m.next(), AnalysisModel::Outcome::Stay);
        QCOMPARE(env->dialogs.alerts, QStringList{"Devi completare l'esercizio"});
        QCOMPARE(m.punti(), qint16(3));
        QCOMPARE(m.numfrase(), qint16(2));
    }

    void shortTableWrapsAroundAndStillEndsAfterSix()
    {
        QVERIFY(exec(*env, "DELETE FROM A_logica WHERE ordine > 2"));
        LogicaModel m(env->session);
        QVERIFY(m.open());
        for (int n = 1; n <= 6; ++n) {
            QCOMPARE(m.numfrase(), qint16(n));
            answer(m, sentence(n % 2 ? 1 : 2));
            m.next();
        }
        QCOMPARE(m.punti(), qint16(3 * (6 + 5)));
        QCOMPARE(env->stored("logsem").toInt(), 33);
        QCOMPARE(env->nav.last(), Screen::FLfrasi);
    }

    void resumeInShortTableFindsTheSentenceInItsPlace()
    {
        QVERIFY(exec(*env, "DELETE FROM A_logica WHERE ordine > 2"));
        QVERIFY(exec(*env, "UPDATE \"prima-C\" SET arrivo = 5, sub = 5, logsem = 20, temlogica = 3"));
        env->session.state.tipoavvio = kAvvioRipresa;
        LogicaModel m(env->session);
        QVERIFY(m.open());
        QVERIFY(env->dialogs.alerts.isEmpty());
        QCOMPARE(m.numfrase(), qint16(5));
        QCOMPARE(m.punti(), qint16(20));
        answer(m, sentence(1)); // sentences 1, 2, 1, 2, 1: the fifth is the first row
        m.next();
        answer(m, sentence(2));
        QCOMPARE(m.next(), AnalysisModel::Outcome::Finished);
        QCOMPARE(env->stored("logsem").toInt(), 31);
    }

    void leaveStoresScoredSentencesAndResumes()
    {
        LogicaModel m(env->session);
        QVERIFY(m.open());
        for (int n = 1; n <= 3; ++n) {
            answer(m, sentence(n));
            m.next();
        }
        answer(m, sentence(4)); // on show, not scored when leaving
        env->clock.advanceSecs(200);
        m.leave();
        QCOMPARE(env->exit.ended, 1);
        reopenForResume(*env);
        QCOMPARE(env->stored("sub").toInt(), 4);
        QCOMPARE(env->stored("arrivo").toInt(), 5);
        QCOMPARE(env->stored("logsem").toInt(), 17);
        QCOMPARE(env->stored("temlogica").toInt(), 3);

        env->clock.advanceSecs(30); // 09:03:50
        LogicaModel r(env->session);
        QVERIFY(r.open());
        QCOMPARE(r.numfrase(), qint16(4));
        QCOMPARE(r.punti(), qint16(17));
        QCOMPARE(r.element(0), sentence(4).elementi.at(0));
        QVERIFY(r.box(0).isEmpty());
        for (int n = 4; n <= 6; ++n) {
            answer(r, sentence(n));
            env->clock.advanceSecs(10);
            r.next();
        }
        QCOMPARE(env->stored("logsem").toInt(), 34);
        QCOMPARE(env->stored("temlogica").toInt(), 4); // 3 + (09:03:50 to 09:04:20)
        QCOMPARE(env->stored("arrivo").toInt(), 6);
    }

    void resumeOfFinishedGrammarAndOfNullFields()
    {
        // Grammar done: arrivo 4, sub 1, logsem and temlogica still Null.
        QVERIFY(exec(*env, "UPDATE \"prima-C\" SET arrivo = 4, sub = 1, gramsem = 50, temgram = 8"));
        env->session.state.tipoavvio = kAvvioRipresa;
        env->session.state.minuti = 8;
        LogicaModel m(env->session);
        QVERIFY(m.open());
        QCOMPARE(m.numfrase(), qint16(1));
        QCOMPARE(m.punti(), qint16(0));
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(env->stored("logsem"), QVariant(0));
        QCOMPARE(env->stored("temlogica"), QVariant(0));

        QVERIFY(exec(*env, "UPDATE \"prima-C\" SET sub = NULL, logsem = NULL, temlogica = NULL"));
        LogicaModel n(env->session);
        QVERIFY(n.open());
        QCOMPARE(n.numfrase(), qint16(1));
        QCOMPARE(env->stored("sub"), QVariant(1));
        QCOMPARE(env->stored("logsem"), QVariant(0));
        QCOMPARE(env->stored("temlogica"), QVariant(0));
        QCOMPARE(n.element(0), sentence(1).elementi.at(0));
    }

    void openingGoesOnWhenProgressCannotBeRead()
    {
        // The pupil's row is gone: every step of the resumption fails and is passed over.
        QVERIFY(exec(*env, "DELETE FROM \"prima-C\""));
        env->session.state.tipoavvio = kAvvioRipresa;
        LogicaModel m(env->session);
        QVERIFY(m.open());
        QCOMPARE(m.numfrase(), qint16(1));
        QCOMPARE(m.punti(), qint16(0));
        QCOMPARE(m.element(0), sentence(1).elementi.at(0));
        // No cursor at all.
        env->session.state.rsclasse.reset();
        QVERIFY(m.open());
        QCOMPARE(m.numfrase(), qint16(1));
        // Storing fails: the pupil is told rather than left believing it worked, and stays.
        m.leave();
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QVERIFY(env->dialogs.alerts.at(0).contains("registrare"));
        QCOMPARE(env->exit.ended, 0);
    }

    void resumeAtSentenceOutOfRangeRestarts()
    {
        QVERIFY(exec(*env, "UPDATE \"prima-C\" SET arrivo = 5, sub = 0, logsem = 12, temlogica = 2"));
        env->session.state.tipoavvio = kAvvioRipresa;
        LogicaModel m(env->session);
        QVERIFY(m.open());
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QCOMPARE(m.numfrase(), qint16(1));
        QCOMPARE(m.punti(), qint16(0));
    }

    void missingOrEmptyTable()
    {
        QVERIFY(exec(*env, "DELETE FROM A_logica"));
        LogicaModel m(env->session);
        QVERIFY(!m.open());
        QVERIFY(env->dialogs.alerts.at(0).contains("A_logica"));
        QVERIFY(exec(*env, "DROP TABLE A_logica"));
        QVERIFY(!m.open());
        QCOMPARE(m.next(), AnalysisModel::Outcome::Stay);
        QCOMPARE(env->dialogs.alerts.size(), 3);
        QVERIFY(env->nav.shown.empty());
    }
};

QTEST_GUILESS_MAIN(TstLogica)
#include "tst_logica.moc"
