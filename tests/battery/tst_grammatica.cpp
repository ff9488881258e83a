// The grammatical analysis model: the whole test, scoring, the check of a sentence,
// leaving and resuming, minutes, and the failures of its content table.
#include "battery/analysis/analysiscontent.h"
#include "battery/analysis/grammaticamodel.h"
#include "storage/database.h"
#include "storage/minutes.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

// Puts the right category in every box of the sentence on show.
void answer(GrammaticaModel &m, const AnalysisSentence &s)
{
    QCOMPARE(m.nelementi(), qint16(s.elementi.size()));
    for (int k = 0; k < s.elementi.size(); ++k) {
        QCOMPARE(m.element(k), s.elementi.at(k));
        QVERIFY(m.drop(k, int(grammaticaCategorie().indexOf(s.categorie.at(k)))));
    }
}

const AnalysisSentence &sentence(int numfrase)
{
    return grammaticaSentences().at(numfrase - 1);
}

bool exec(test::ModelEnv &env, const QString &sql)
{
    QSqlQuery q(env.session.state.dbrisultati->sql());
    return q.exec(sql);
}

// After "Esco" closed everything: the database and the pupil's cursor as the
// resumption leaves them.
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

class TstGrammatica : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>();
        QVERIFY2(env->folder.ok(), qPrintable(env->folder.error()));
        env->addPupil("ROSSI ANNA");
        env->session.state.tipoavvio = kAvvioNuovo;
    }
    void cleanup() { env.reset(); }

    void perfectRunScores53AndHandsOver()
    {
        env->session.state.minuti = 7; // left over from the test before: a fresh start clears it
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        QCOMPARE(env->session.state.minuti, qint16(0));
        for (int n = 1; n <= 6; ++n) {
            QCOMPARE(m.numfrase(), qint16(n));
            answer(m, sentence(n));
            QCOMPARE(env->session.state.elementi[1], sentence(n).elementi.at(0));
            env->clock.advanceSecs(40);
            const auto out = m.next();
            QCOMPARE(m.giuste(), qint16(sentence(n).elementi.size()));
            QCOMPARE(out, n < 6 ? AnalysisModel::Outcome::Next : AnalysisModel::Outcome::Finished);
        }
        QCOMPARE(m.punti(), qint16(53));
        QCOMPARE(env->stored("gramsem").toInt(), 53);
        QCOMPARE(env->stored("arrivo").toInt(), 4);
        QCOMPARE(env->stored("sub").toInt(), 1);
        QCOMPARE(env->stored("temgram").toInt(), 4); // 09:00:00 to 09:04:00
        QCOMPARE(env->session.state.tipoavvio, kAvvioNuovo);
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(env->nav.hidden, std::vector<Screen>{Screen::FLgrasem});
        QCOMPARE(env->nav.shown, std::vector<Screen>{Screen::FLogsem});
        QVERIFY(env->dialogs.alerts.isEmpty());
        QCOMPARE(env->exit.ended, 0);
    }

    void incompleteSentenceIsRefused()
    {
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        for (int k = 0; k < 7; ++k) // the eighth box of the first sentence stays empty
            m.drop(k, 0);
        QCOMPARE(m.next(), AnalysisModel::Outcome::Stay);
        QCOMPARE(env->dialogs.alerts, QStringList{"Devi completare l'esercizio"});
        QCOMPARE(m.numfrase(), qint16(1));
        QCOMPARE(m.punti(), qint16(0));
        QCOMPARE(m.box(0), QString("Articolo"));
        QCOMPARE(m.element(0), QString("Il"));
        // Boxes past nelementi (rows 8 and 9) are not looked at.
        m.drop(7, 1);
        QCOMPARE(m.next(), AnalysisModel::Outcome::Next);
        QCOMPARE(m.numfrase(), qint16(2));
        QCOMPARE(m.giuste(), qint16(2)); // "Il" Articolo and "nonna" Nome
    }

    void dropsReplaceAndPastNelementiDoNotCount()
    {
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        answer(m, sentence(1));
        QVERIFY(m.drop(1, 2)); // "Verbo" on "gatto"...
        QCOMPARE(m.box(1), QString("Verbo"));
        QVERIFY(m.drop(1, 1)); // ...then "Nome": the later drop wins
        QCOMPARE(m.box(1), QString("Nome"));
        QVERIFY(m.drop(8, 0));
        QVERIFY(m.drop(9, 7));
        QCOMPARE(m.box(9), QString("Avverbio"));
        QVERIFY(!m.drop(10, 0));
        QVERIFY(!m.drop(0, 8));
        QVERIFY(!m.drop(-1, 0));
        QCOMPARE(m.next(), AnalysisModel::Outcome::Next);
        QCOMPARE(m.giuste(), qint16(8));
        QCOMPARE(m.punti(), qint16(8));
        for (int r = 0; r < AnalysisModel::kRighe; ++r)
            QVERIFY(m.box(r).isEmpty());
        QCOMPARE(m.element(9), sentence(2).elementi.at(9));
    }

    void wrongAndCaseDifferentCaptionsCountWrong()
    {
        // A key stored in lower case never matches its capitalised label.
        QVERIFY(exec(*env, "UPDATE a_grammaticale SET categoria1 = 'articolo' WHERE ordine = 1"));
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        answer(m, sentence(1));
        m.drop(3, 1); // "dorme" marked "Nome"
        QCOMPARE(m.next(), AnalysisModel::Outcome::Next);
        QCOMPARE(m.giuste(), qint16(6));
        QCOMPARE(m.punti(), qint16(6));
    }

    void leaveAndResumeAtMiddleSentence()
    {
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        answer(m, sentence(1));
        m.next();
        answer(m, sentence(2));
        m.drop(0, 1); // one wrong: 8 + 9
        m.next();
        QCOMPARE(m.numfrase(), qint16(3));
        m.drop(0, 0); // partly done sentence 3 is not scored when leaving
        env->clock.advanceSecs(130); // 09:02:10
        m.leave();
        QCOMPARE(env->exit.ended, 1);
        QVERIFY(!env->session.state.dbrisultati->isOpen());
        reopenForResume(*env);
        QCOMPARE(env->stored("sub").toInt(), 3);
        QCOMPARE(env->stored("arrivo").toInt(), 3);
        QCOMPARE(env->stored("gramsem").toInt(), 17);
        QCOMPARE(env->stored("temgram").toInt(), 2);

        env->clock.advanceSecs(3600); // the next day, as far as minutes go: only work counts
        GrammaticaModel r(env->session);
        QVERIFY(r.open());
        QCOMPARE(r.numfrase(), qint16(3));
        QCOMPARE(r.punti(), qint16(17));
        QCOMPARE(env->session.state.minuti, qint16(2));
        QCOMPARE(r.element(0), sentence(3).elementi.at(0));
        QVERIFY(r.box(0).isEmpty());
        for (int n = 3; n <= 6; ++n) {
            answer(r, sentence(n));
            r.next();
        }
        QCOMPARE(r.punti(), qint16(17 + 10 + 10 + 8 + 7));
        QCOMPARE(env->stored("gramsem").toInt(), 52);
        QCOMPARE(env->stored("arrivo").toInt(), 4);
        QCOMPARE(env->stored("temgram").toInt(), 2); // no minute boundary crossed since resuming
        QCOMPARE(env->nav.last(), Screen::FLogsem);
    }

    void leaveOnFirstSentenceAndSameMinute()
    {
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        env->clock.advanceSecs(59);
        m.leave();
        reopenForResume(*env);
        QCOMPARE(env->stored("sub").toInt(), 1);
        QCOMPARE(env->stored("arrivo").toInt(), 3);
        QCOMPARE(env->stored("gramsem").toInt(), 0);
        QCOMPARE(env->stored("temgram").toInt(), 0);
        // Resume and leave again within the same minute: still 0.
        GrammaticaModel r(env->session);
        QVERIFY(r.open());
        r.leave();
        reopenForResume(*env);
        QCOMPARE(env->stored("temgram").toInt(), 0);
        QCOMPARE(env->exit.ended, 2);
    }

    void resumeWithNullFieldsStoresStartValues()
    {
        QVERIFY(exec(*env, "UPDATE \"prima-C\" SET sub = NULL, gramsem = NULL, temgram = NULL, arrivo = 3"));
        env->session.state.tipoavvio = kAvvioRipresa;
        env->session.state.minuti = 9;
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        QCOMPARE(m.numfrase(), qint16(1));
        QCOMPARE(m.punti(), qint16(0));
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(env->stored("sub"), QVariant(1));
        QCOMPARE(env->stored("gramsem"), QVariant(0));
        QCOMPARE(env->stored("temgram"), QVariant(0));
        QCOMPARE(m.element(0), QString("Il"));
    }

    void resumeAtSentenceWithoutRowRestarts()
    {
        QVERIFY(exec(*env, "UPDATE \"prima-C\" SET sub = 9, gramsem = 40, temgram = 5, arrivo = 3"));
        env->session.state.tipoavvio = kAvvioRipresa;
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QVERIFY(env->dialogs.alerts.at(0).contains("frase 9"));
        QCOMPARE(m.numfrase(), qint16(1));
        QCOMPARE(m.punti(), qint16(0)); // the sentences are done again, so is their score
        QCOMPARE(env->session.state.minuti, qint16(5));
        QCOMPARE(m.element(0), QString("Il"));
    }

    void missingTableGivesMessageAndKeepsProgress()
    {
        QVERIFY(exec(*env, "UPDATE \"prima-C\" SET sub = 4, gramsem = 25, temgram = 6, arrivo = 3"));
        QVERIFY(exec(*env, "DROP TABLE a_grammaticale"));
        env->session.state.tipoavvio = kAvvioRipresa;
        GrammaticaModel m(env->session);
        QVERIFY(!m.open());
        QVERIFY(!m.ready());
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QVERIFY(env->dialogs.alerts.at(0).contains("a_grammaticale"));
        QCOMPARE(m.nelementi(), qint16(0));
        QCOMPARE(m.next(), AnalysisModel::Outcome::Stay);
        QCOMPARE(env->dialogs.alerts.size(), 2);
        QCOMPARE(m.numfrase(), qint16(4));
        QVERIFY(env->nav.shown.empty());
        env->clock.advanceSecs(61);
        m.leave();
        reopenForResume(*env);
        QCOMPARE(env->stored("sub").toInt(), 4);
        QCOMPARE(env->stored("gramsem").toInt(), 25);
        QCOMPARE(env->stored("temgram").toInt(), 7);
        QCOMPARE(env->stored("arrivo").toInt(), 3);
    }

    void shortTableIsRefused()
    {
        QVERIFY(exec(*env, "DELETE FROM a_grammaticale WHERE ordine = 6"));
        GrammaticaModel m(env->session);
        QVERIFY(!m.open());
        QCOMPARE(env->dialogs.alerts.size(), 1);
    }

    void reopeningStartsAfresh()
    {
        // The screen object lives on; showing it again for the next pupil sets it up anew.
        GrammaticaModel m(env->session);
        QVERIFY(m.open());
        answer(m, sentence(1));
        m.next();
        m.drop(0, 3);
        env->addPupil("BIANCHI LUCA");
        QVERIFY(m.open());
        QCOMPARE(m.numfrase(), qint16(1));
        QCOMPARE(m.punti(), qint16(0));
        QVERIFY(m.box(0).isEmpty());
        QCOMPARE(m.element(0), QString("Il"));
    }
};

QTEST_GUILESS_MAIN(TstGrammatica)
#include "tst_grammatica.moc"
