// The sentence-comprehension test: its content, one point per correct conclusion, the
// store and hand-over after question 12, "Esco", resumption and the minute count.
#include "battery/comprehension/frasicontent.h"
#include "battery/comprehension/frasimodel.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/pupilrecord.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qv;
using Outcome = FrasiModel::Outcome;

namespace {

const int kChiave[13] = {0, 3, 1, 2, 4, 2, 4, 3, 2, 4, 3, 2, 4};

Outcome answer(FrasiModel &m, int option)
{
    m.choose(option - 1, true);
    return m.nextQuestion();
}

void answerUpTo(FrasiModel &m, int until, const std::function<int(int)> &pick)
{
    while (m.domanda < until && m.domanda <= frasi::kDomande)
        QVERIFY(answer(m, pick(m.domanda)) != Outcome::NoAnswer);
}

void reopen(test::ModelEnv &env)
{
    Modquorv &st = env.session.state;
    st.rsclasse.reset();
    st.dbrisultati.reset();
    QString e;
    st.dbrisultati = env.folder.open(&e);
    QVERIFY2(st.dbrisultati, qPrintable(e));
    st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
    QVERIFY(st.rsclasse && st.rsclasse->setBookmark(st.segnalibro));
    st.tipoavvio = kAvvioRipresa;
}

} // namespace

class TstFrasi : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;
    std::unique_ptr<FrasiModel> m;

    QVariant stored(const char *f) { return env->stored(QString::fromLatin1(f)); }
    // As the logical-analysis test leaves the record: arrivo 6, sub 1, start mode 111.
    void newTest()
    {
        env->addPupil("ROSSI ANNA");
        QVERIFY(env->session.storePupil({{"arrivo", 6}, {"sub", 1}}));
        env->session.state.tipoavvio = kAvvioNuovo;
        m->setUp();
    }

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>();
        QVERIFY(env->folder.ok());
        m = std::make_unique<FrasiModel>(env->session);
    }
    void cleanup()
    {
        m.reset();
        env.reset();
    }

    void contentIsShapedAsShown()
    {
        const auto &d = frasi::domande();
        const auto &s = frasi::soluzioni();
        QCOMPARE(d[1][0], QStringLiteral(" Non tutti i gatti sono grigi, vuol dire che"));
        QCOMPARE(d[1][1], QStringLiteral(" nessun gatto è grigio"));
        QCOMPARE(d[1][2], QStringLiteral(" tutti i gatti sono grigi"));
        QCOMPARE(d[1][3], QStringLiteral(" solo alcuni gatti sono grigi"));
        QCOMPARE(d[1][4], QStringLiteral(" sono pochi i gatti grigi"));
        const QRegularExpression link("(quindi|allora|vuol dire che)$");
        for (int q = 0; q < frasi::kRighe; ++q) {
            const bool used = q >= 1 && q <= 12;
            QCOMPARE(s[size_t(q)], qint16(used ? kChiave[q] : 0));
            QVERIFY(d[size_t(q)][5].isEmpty());
            if (!used) {
                QVERIFY(d[size_t(q)][0].isEmpty());
                continue;
            }
            QVERIFY2(d[size_t(q)][0].startsWith(' ') && link.match(d[size_t(q)][0]).hasMatch(),
                     qPrintable(d[size_t(q)][0]));
            QSet<QString> distinct;
            for (int k = 1; k <= 4; ++k) {
                const QString c = d[size_t(q)][size_t(k)];
                QVERIFY2(c.startsWith(' ') && c.size() > 2 && !c.at(1).isSpace(), qPrintable(c));
                distinct.insert(c);
            }
            QCOMPARE(distinct.size(), 4);
        }
    }

    void newTestShowsQuestionOne()
    {
        env->addPupil("NERI PIA");
        QVERIFY(env->session.storePupil({{"arrivo", 6}, {"sub", 7}}));
        env->session.state.tipoavvio = kAvvioNuovo;
        env->session.state.minuti = 4;
        m->setUp();
        QCOMPARE(m->domanda, qint16(1)); // 111 starts from the beginning whatever sub says
        QCOMPARE(m->punti, qint16(0));
        QCOMPARE(env->session.state.minuti, qint16(0));
        QVERIFY(!m->anyChecked());
        QCOMPARE(m->premessa(), frasi::domande()[1][0]);
        QCOMPARE(m->conclusione(2), QStringLiteral(" solo alcuni gatti sono grigi"));
    }

    void scores_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        QTest::newRow("all correct") << 0 << 12;
        QTest::newRow("always conclusion 1") << 1 << 1;
        QTest::newRow("all wrong") << 2 << 0;
    }
    void scores()
    {
        QFETCH(int, mode);
        QFETCH(int, expected);
        newTest();
        answerUpTo(*m, 13, [mode](int q) { return mode == 0 ? kChiave[q] : mode == 1 ? 1 : kChiave[q] % 4 + 1; });
        QCOMPARE(stored("frasi1").toInt(), expected);
        QCOMPARE(stored("arrivo").toInt(), 7);
        QCOMPARE(stored("sub").toInt(), 1);
        QCOMPARE(stored("temfrasi").toInt(), 0);
        QVERIFY(!stored("temfrasi").isNull());
        QCOMPARE(env->session.state.tipoavvio, kAvvioNuovo);
        QCOMPARE(env->nav.shown, std::vector<Screen>{Screen::FLstoria1});
        QCOMPARE(env->nav.hidden, std::vector<Screen>{Screen::FLfrasi});
        QCOMPARE(env->exit.ended, 0);
    }

    void lastTickedWinsAndUntickIsNoAnswer()
    {
        newTest();
        QCOMPARE(m->nextQuestion(), Outcome::NoAnswer);
        m->choose(2, true);
        m->choose(2, false);
        QCOMPARE(m->nextQuestion(), Outcome::NoAnswer);
        QCOMPARE(env->dialogs.alerts, QStringList({"Devi fornire la risposta", "Devi fornire la risposta"}));
        QCOMPARE(m->domanda, qint16(1));
        // Question 1 (key 3): 1 then 3 scores 3.
        m->choose(0, true);
        m->choose(2, true);
        QVERIFY(!m->checked(0) && m->checked(2));
        QCOMPARE(m->nextQuestion(), Outcome::Shown);
        QCOMPARE(m->punti, qint16(1));
        QVERIFY(!m->anyChecked());
        // Question 2 (key 1): 1 then 4 scores 4.
        m->choose(0, true);
        m->choose(3, true);
        QCOMPARE(m->nextQuestion(), Outcome::Shown);
        QCOMPARE(m->punti, qint16(1));
    }

    void escoAtFiveAndResume()
    {
        newTest();
        answerUpTo(*m, 5, [](int q) { return q == 2 ? 3 : kChiave[q]; });
        QCOMPARE(m->punti, qint16(3));
        env->clock.advanceSecs(4 * 60);
        m->choose(1, true); // ticked, not confirmed
        QCOMPARE(m->leave(), Outcome::Left);
        QCOMPARE(env->exit.ended, 1);
        reopen(*env);
        QCOMPARE(stored("sub").toInt(), 5);
        QCOMPARE(stored("arrivo").toInt(), 6);
        QCOMPARE(stored("frasi1").toInt(), 3);
        QCOMPARE(stored("temfrasi").toInt(), 4);

        FrasiModel again(env->session);
        again.setUp();
        QCOMPARE(again.domanda, qint16(5));
        QCOMPARE(again.punti, qint16(3));
        QCOMPARE(again.premessa(), frasi::domande()[5][0]);
        QCOMPARE(env->session.state.minuti, qint16(4));
        env->clock.advanceSecs(6 * 60);
        answerUpTo(again, 13, [](int q) { return kChiave[q]; });
        QCOMPARE(stored("frasi1").toInt(), 11);
        QCOMPARE(stored("temfrasi").toInt(), 10);
        QCOMPARE(stored("arrivo").toInt(), 7);
    }

    void resumeWithEmptyFields()
    {
        env->addPupil("BIANCHI LUCA");
        QVERIFY(env->session.storePupil({{"arrivo", 6}, {"sub", QVariant()}}));
        env->session.state.tipoavvio = kAvvioRipresa;
        env->session.state.minuti = 8;
        m->setUp();
        QCOMPARE(m->domanda, qint16(1));
        QCOMPARE(m->punti, qint16(0));
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(stored("sub").toInt(), 1);
        for (const char *f : {"sub", "frasi1", "temfrasi"})
            QVERIFY2(!stored(f).isNull(), f);
        QCOMPARE(stored("frasi1").toInt(), 0);
        QCOMPARE(stored("temfrasi").toInt(), 0);
    }

    void failedStoreLosesNothing()
    {
        newTest();
        answerUpTo(*m, 12, [](int q) { return kChiave[q]; });
        const QString bm = env->session.state.segnalibro;
        env->session.state.segnalibro = QStringLiteral("987654");
        m->choose(3, true);
        QCOMPARE(m->nextQuestion(), Outcome::NotStored);
        QCOMPARE(m->domanda, qint16(12));
        QCOMPARE(m->punti, qint16(11));
        QVERIFY(m->checked(3));
        QVERIFY(env->nav.shown.empty());
        QCOMPARE(env->session.state.tipoavvio, kAvvioNuovo);
        QCOMPARE(m->leave(), Outcome::NotStored);
        QCOMPARE(env->exit.ended, 0);
        env->session.state.segnalibro = bm;
        QCOMPARE(m->nextQuestion(), Outcome::Finished);
        QCOMPARE(stored("frasi1").toInt(), 12);
    }
};

QTEST_GUILESS_MAIN(TstFrasi)
#include "tst_frasi.moc"
