// The reading-comprehension test: its content tables, scoring by category, the stores
// after each passage, "Esco", resumption and the minute count.
#include "battery/comprehension/letturacontent.h"
#include "battery/comprehension/letturamodel.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/pupilrecord.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qv;
using Outcome = LetturaModel::Outcome;

namespace {

// Correct option of questions 1..34, as the answer key reads.
const int kChiave[35] = {0, 4, 3, 2, 1, 3, 2, 2, 4, 1, 3, 1, 4, 2, 3, 3, 1, 2, 1, 4,
                         4, 3, 3, 1, 3, 3, 2, 1, 2, 3, 1, 1, 4, 3, 2};
const QChar CR(13);

int wrong(int q) { return kChiave[q] % 4 + 1; }

Outcome answer(LetturaModel &m, int option)
{
    m.choose(option - 1, true);
    return m.nextQuestion();
}

// Answers the question on screen and the following ones up to (not including) `until`.
void answerUpTo(LetturaModel &m, int until, const std::function<int(int)> &pick)
{
    while (m.domanda < until && m.domanda <= lettura::kDomande)
        QVERIFY(answer(m, pick(m.domanda)) != Outcome::NoAnswer);
}

int words(const QString &s) { return int(s.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size()); }

// As name entry leaves things when a pupil resumes: database and cursor open again on the
// pupil's record, start mode 222.
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

// A record as an interruption or an older version may have left it, which the pupils' road
// never writes: written with the archive's rights, then read again by the pupil's cursor.
void setStored(test::ModelEnv &env, const FieldValues &f)
{
    const auto db = env.folder.open();
    auto rs = db ? db->openRecordset(env.session.state.tabellaclasse) : nullptr;
    QVERIFY(rs && rs->editAt(env.session.state.segnalibro));
    for (const auto &field : f)
        QVERIFY(rs->setField(field.first, field.second));
    QVERIFY2(rs->update(), qPrintable(rs->lastError()));
    QVERIFY(env.session.state.rsclasse->setBookmark(env.session.state.segnalibro));
}

} // namespace

class TstLettura : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;
    std::unique_ptr<LetturaModel> m;

    QVariant stored(const char *f) { return env->stored(QString::fromLatin1(f)); }
    void newTest()
    {
        env->addPupil("ROSSI ANNA");
        env->session.state.tipoavvio = kAvvioNuovo;
        m->setUp();
    }

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>();
        QVERIFY(env->folder.ok());
        QVERIFY(env->session.state.rsclasse);
        m = std::make_unique<LetturaModel>(env->session);
    }
    void cleanup()
    {
        m.reset();
        env.reset();
    }

    void contentTablesAreShapedAsShown()
    {
        const auto &d = lettura::domande();
        const auto &s = lettura::soluzioni();
        for (int c = 0; c < 5; ++c) {
            QVERIFY(d[0][size_t(c)].isEmpty());
            QVERIFY(d[35][size_t(c)].isEmpty());
        }
        QCOMPARE(s[0], qint16(0));
        QCOMPARE(s[35], qint16(0));
        for (int q = 1; q <= 34; ++q) {
            QCOMPARE(s[size_t(q)], qint16(kChiave[q]));
            const int shown = q <= 13 ? q : q - 13;
            const QString line = d[size_t(q)][0];
            QVERIFY2(line.startsWith(QStringLiteral(" %1. ").arg(shown)) && line.size() > 6, qPrintable(line));
            QVERIFY(!line.endsWith(' '));
            for (int k = 1; k <= 4; ++k) {
                const QString head = QStringLiteral(" %1)").arg(QChar('a' + k - 1));
                const QString opt = d[size_t(q)][size_t(k)];
                if (q == 13)
                    QCOMPARE(opt, head);
                else
                    QVERIFY2(opt.startsWith(head + ' ') && opt.size() > head.size() + 1, qPrintable(opt));
            }
            // Four different options.
            if (q != 13) {
                QSet<QString> distinct;
                for (int k = 1; k <= 4; ++k)
                    distinct.insert(d[size_t(q)][size_t(k)].mid(4));
                QCOMPARE(distinct.size(), 4);
            }
        }
        QCOMPARE(d[2][0], QStringLiteral(" 2. Quando si è svolta la pesca?"));
        QCOMPARE(d[2][1], QStringLiteral(" a) dal tramonto all'alba"));
        QCOMPARE(d[2][2], QStringLiteral(" b) al mattino"));
        QCOMPARE(d[2][3], QStringLiteral(" c) da prima dell'alba fino al pomeriggio"));
        QCOMPARE(d[2][4], QStringLiteral(" d) dal pomeriggio alla sera"));
        QVERIFY(d[14][0].startsWith(" 1. "));
        QVERIFY(d[34][0].startsWith(" 21. "));
    }

    void passagesAndSummariesAreLaidOut()
    {
        const auto &p = lettura::brano1Pezzi();
        for (const QString &piece : p)
            QVERIFY(!piece.isEmpty() && !piece.contains(CR) && !piece.contains('\n'));
        QCOMPARE(lettura::brano1(), p[0] + CR + CR + p[1] + p[2] + CR + p[3] + p[4] + p[5]);
        int w = 0;
        for (const QString &piece : p)
            w += words(piece);
        QVERIFY2(w >= 130 && w <= 175, qPrintable(QString::number(w)));
        QVERIFY(lettura::brano1().contains(QStringLiteral("quaranta chili")));

        const QString b2 = lettura::brano2();
        QVERIFY(!b2.contains(CR) && !b2.contains('\n'));
        QVERIFY2(words(b2) >= 85 && words(b2) <= 115, qPrintable(QString::number(words(b2))));
        QCOMPARE(b2.count(QRegularExpression("[.!?](\\s|$)")), 3);

        const auto &r = lettura::riassunti();
        for (int i = 0; i < 4; ++i) {
            QVERIFY(r[size_t(i)].startsWith(QStringLiteral("%1) ").arg(QChar('a' + i))));
            const int n = words(r[size_t(i)]) - 1;
            QVERIFY2(n >= 40 && n <= 60, qPrintable(r[size_t(i)]));
        }
        QCOMPARE(lettura::sintesiTesto(), QString(CR) + CR + r[0] + CR + CR + r[1]);
        QCOMPARE(lettura::sintesiTesto2(), r[2] + CR + CR + r[3]);
    }

    void newPupilSeesPassageOneAndQuestionOne()
    {
        newTest();
        QCOMPARE(m->domanda, qint16(1));
        QCOMPARE(m->brano, QStringLiteral("prima"));
        QCOMPARE(m->layout(), LetturaModel::Layout::Brano1);
        QCOMPARE(m->testo(), lettura::brano1());
        QCOMPARE(m->testoPunti(), 12);
        QVERIFY(!m->testo2Visible());
        QVERIFY(!m->anyChecked());
        QCOMPARE(m->labris(0), lettura::domande()[1][0]);
        QCOMPARE(m->labris(4), lettura::domande()[1][4]);
        QCOMPARE(env->session.state.minuti, qint16(0));
    }

    void allCorrectAndAllWrong_data()
    {
        QTest::addColumn<bool>("correct");
        QTest::newRow("all correct") << true;
        QTest::newRow("all wrong") << false;
    }
    void allCorrectAndAllWrong()
    {
        QFETCH(bool, correct);
        newTest();
        answerUpTo(*m, 35, [correct](int q) { return correct ? kChiave[q] : wrong(q); });
        QCOMPARE(m->domanda, qint16(35));
        const QList<QPair<const char *, int>> expected = {
            {"lessico1", 6}, {"fatti1", 3}, {"inferen1", 3}, {"sintesi1", 1},
            {"fatti2", 6},   {"inferen2", 10}, {"scopi2", 4}, {"sintesi2", 1}};
        for (const auto &e : expected)
            QCOMPARE(stored(e.first).toInt(), correct ? e.second : 0);
        for (const auto &e : expected)
            QVERIFY(!stored(e.first).isNull());
        QCOMPARE(stored("arrivo").toInt(), 3);
        QCOMPARE(stored("sub").toInt(), 1);
        QCOMPARE(env->session.state.tipoavvio, kAvvioNuovo);
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(env->nav.hidden, std::vector<Screen>{Screen::FLETTURA});
        QCOMPARE(env->nav.shown, std::vector<Screen>{Screen::FLgrasem});
        QCOMPARE(env->exit.ended, 0);
        QVERIFY(env->dialogs.alerts.isEmpty());
    }

    void lastTickedBoxWins()
    {
        newTest();
        // Question 1 (key d): b then d scores d.
        m->choose(1, true);
        m->choose(3, true);
        QVERIFY(!m->checked(1) && m->checked(3));
        QCOMPARE(m->nextQuestion(), Outcome::Shown);
        QCOMPARE(m->lessico, 1);
        QVERIFY(!m->anyChecked());
        // Question 2 (key c): c then a scores a.
        m->choose(2, true);
        m->choose(0, true);
        QCOMPARE(m->nextQuestion(), Outcome::Shown);
        QCOMPARE(m->fatti, 0);
        QCOMPARE(m->domanda, qint16(3));
    }

    void untickLeavesNoAnswer()
    {
        newTest();
        QCOMPARE(m->nextQuestion(), Outcome::NoAnswer);
        m->choose(3, true);
        m->choose(3, false);
        QVERIFY(!m->anyChecked());
        QCOMPARE(m->nextQuestion(), Outcome::NoAnswer);
        QCOMPARE(env->dialogs.alerts, QStringList({"Devi fornire la risposta", "Devi fornire la risposta"}));
        QCOMPARE(m->domanda, qint16(1));
        QCOMPARE(m->lessico, 0);
        // Ticking the key afterwards is still scored.
        QCOMPARE(answer(*m, 4), Outcome::Shown);
        QCOMPARE(m->lessico, 1);
    }

    void synthesisLayoutThenPassageOneStored()
    {
        newTest();
        answerUpTo(*m, 13, [](int q) { return kChiave[q]; });
        QCOMPARE(m->layout(), LetturaModel::Layout::Sintesi);
        QCOMPARE(m->testoPunti(), 10);
        QVERIFY(m->testo2Visible());
        QCOMPARE(m->testo(), lettura::sintesiTesto());
        QCOMPARE(m->testo2(), lettura::sintesiTesto2());
        QCOMPARE(m->labris(2), QStringLiteral(" b)"));
        // Only the checkpoint so far: still passage 1, at the synthesis question.
        QCOMPARE(stored("arrivo").toInt(), 1);
        QCOMPARE(stored("sub").toInt(), 13);

        QCOMPARE(answer(*m, 2), Outcome::Shown);
        QCOMPARE(stored("arrivo").toInt(), 2);
        QCOMPARE(stored("sub").toInt(), 14);
        QCOMPARE(stored("lessico1").toInt(), 6);
        QCOMPARE(stored("fatti1").toInt(), 3);
        QCOMPARE(stored("inferen1").toInt(), 3);
        QCOMPARE(stored("sintesi1").toInt(), 1);
        QCOMPARE(stored("temlettura").toInt(), 0);
        QVERIFY(stored("fatti2").isNull());
        QCOMPARE(m->lessico + m->fatti + m->inferen + m->sintesi, 0);
        QCOMPARE(m->brano, QStringLiteral("seconda"));
        QCOMPARE(m->layout(), LetturaModel::Layout::Brano2);
        QCOMPARE(m->testo(), lettura::brano2());
        QCOMPARE(m->testoPunti(), 14);
        QVERIFY(!m->testo2Visible());
        QCOMPARE(m->domanda, qint16(14));
        QVERIFY(m->labris(0).startsWith(" 1. "));
        QVERIFY(env->nav.shown.empty());
    }

    void wrongSynthesisClearsIt()
    {
        newTest();
        answerUpTo(*m, 13, [](int q) { return kChiave[q]; });
        QCOMPARE(answer(*m, 1), Outcome::Shown);
        QCOMPARE(stored("sintesi1").toInt(), 0);
        QCOMPARE(stored("lessico1").toInt(), 6);
    }

    void escoAtThirteenResumesWithSynthesis()
    {
        newTest();
        // Questions 1..12: the vocabulary ones right, the rest wrong.
        answerUpTo(*m, 13, [](int q) { return (q == 1 || q == 3 || q == 4 || q == 6 || q == 7 || q == 8) ? kChiave[q] : wrong(q); });
        m->choose(1, true); // ticked but not confirmed: not scored
        QCOMPARE(m->leave(), Outcome::Left);
        QCOMPARE(env->exit.ended, 1);
        QVERIFY(!env->session.state.dbrisultati->isOpen());
        reopen(*env);
        QCOMPARE(stored("arrivo").toInt(), 1);
        QCOMPARE(stored("sub").toInt(), 13);
        QCOMPARE(stored("lessico1").toInt(), 6);
        QCOMPARE(stored("fatti1").toInt(), 0);
        QCOMPARE(stored("sintesi1").toInt(), 0);

        LetturaModel again(env->session);
        again.setUp();
        QCOMPARE(again.domanda, qint16(13));
        QCOMPARE(again.brano, QStringLiteral("prima"));
        QCOMPARE(again.layout(), LetturaModel::Layout::Sintesi);
        QVERIFY(again.testo2Visible());
        QVERIFY(!again.anyChecked());
        QCOMPARE(again.lessico, 6);
        QCOMPARE(answer(again, 2), Outcome::Shown);
        QCOMPARE(stored("lessico1").toInt(), 6);
        QCOMPARE(stored("sintesi1").toInt(), 1);
        QCOMPARE(stored("arrivo").toInt(), 2);
    }

    void escoAtTwentyResumesInPassageTwo()
    {
        newTest();
        answerUpTo(*m, 20, [](int q) { return q == 15 ? wrong(q) : kChiave[q]; });
        QCOMPARE(m->domanda, qint16(20));
        QCOMPARE(m->leave(), Outcome::Left);
        reopen(*env);
        QCOMPARE(stored("arrivo").toInt(), 2);
        QCOMPARE(stored("sub").toInt(), 20);
        QCOMPARE(stored("fatti2").toInt(), 5);
        QCOMPARE(stored("inferen2").toInt(), 0);
        QCOMPARE(stored("scopi2").toInt(), 0);
        QCOMPARE(stored("sintesi2").toInt(), 0);
        QCOMPARE(stored("lessico1").toInt(), 6); // passage 1 untouched

        LetturaModel again(env->session);
        again.setUp();
        QCOMPARE(again.domanda, qint16(20));
        QCOMPARE(again.brano, QStringLiteral("seconda"));
        QCOMPARE(again.layout(), LetturaModel::Layout::Brano2);
        QCOMPARE(again.testoPunti(), 14);
        QCOMPARE(again.labris(0), lettura::domande()[20][0]);
        QVERIFY(again.labris(0).startsWith(" 7. "));
        QCOMPARE(again.fatti, 5);
        answerUpTo(again, 35, [](int q) { return kChiave[q]; });
        QCOMPARE(stored("fatti2").toInt(), 5);
        QCOMPARE(stored("inferen2").toInt(), 10);
        QCOMPARE(stored("scopi2").toInt(), 4);
        QCOMPARE(stored("sintesi2").toInt(), 1);
        QCOMPARE(stored("arrivo").toInt(), 3);
        QCOMPARE(env->nav.last(), Screen::FLgrasem);
    }

    void resumeWithEmptyFields()
    {
        env->addPupil("BIANCHI LUCA");
        setStored(*env, {{"sub", QVariant()}});
        QVERIFY(stored("sub").isNull());
        env->session.state.tipoavvio = kAvvioRipresa;
        m->setUp();
        QCOMPARE(m->domanda, qint16(1));
        QCOMPARE(stored("sub").toInt(), 1);
        QVERIFY(!stored("sub").isNull());
        QCOMPARE(stored("temlettura").toInt(), 0);
        QVERIFY(!stored("temlettura").isNull());
        QCOMPARE(env->session.state.minuti, qint16(0));

        // In passage 2, with no score stored: counters start from 0 and are written on leave.
        setStored(*env, {{"arrivo", 2}, {"sub", 16}, {"temlettura", QVariant()}});
        env->session.state.minuti = 9;
        LetturaModel again(env->session);
        again.setUp();
        QCOMPARE(again.domanda, qint16(16));
        QCOMPARE(again.fatti + again.inferen + again.scopi + again.sintesi, 0);
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(again.leave(), Outcome::Left);
        reopen(*env);
        QCOMPARE(stored("sub").toInt(), 16);
        QVERIFY(!stored("fatti2").isNull());
        QCOMPARE(stored("fatti2").toInt(), 0);
    }

    void progressCodeOutsideTheTestIsBounded()
    {
        env->addPupil("VERDI GIO");
        setStored(*env, {{"sub", 0}});
        env->session.state.tipoavvio = kAvvioRipresa;
        m->setUp();
        QCOMPARE(m->domanda, qint16(1));
        setStored(*env, {{"sub", 99}});
        m->setUp();
        QCOMPARE(m->domanda, qint16(34));
        QVERIFY(!m->labris(0).isEmpty());
    }

    void minutesAcrossLeaveAndResume()
    {
        newTest();
        answerUpTo(*m, 4, [](int q) { return kChiave[q]; });
        env->clock.advanceSecs(5 * 60);
        QCOMPARE(m->leave(), Outcome::Left);
        reopen(*env);
        QCOMPARE(stored("temlettura").toInt(), 5);

        env->clock.advanceSecs(3600); // time away does not count
        LetturaModel again(env->session);
        again.setUp();
        QCOMPARE(env->session.state.minuti, qint16(5));
        env->clock.advanceSecs(3 * 60);
        answerUpTo(again, 14, [](int q) { return kChiave[q]; });
        QCOMPARE(stored("temlettura").toInt(), 8);
        env->clock.advanceSecs(4 * 60);
        answerUpTo(again, 35, [](int q) { return kChiave[q]; });
        QCOMPARE(stored("temlettura").toInt(), 12);
    }

    void minutesInOneRunCountEachMinuteOnce()
    {
        env->clock.t = QDateTime(QDate(2026, 9, 14), QTime(9, 0, 30));
        newTest();
        env->clock.t = QDateTime(QDate(2026, 9, 14), QTime(9, 4, 50));
        answerUpTo(*m, 14, [](int q) { return kChiave[q]; });
        QCOMPARE(stored("temlettura").toInt(), 4);
        env->clock.t = QDateTime(QDate(2026, 9, 14), QTime(9, 7, 10));
        answerUpTo(*m, 35, [](int q) { return kChiave[q]; });
        QCOMPARE(stored("temlettura").toInt(), 7);
    }

    void failedStoreLosesNothing()
    {
        newTest();
        answerUpTo(*m, 13, [](int q) { return kChiave[q]; });
        const QString bm = env->session.state.segnalibro;
        env->session.state.segnalibro = QStringLiteral("987654");
        env->clock.advanceSecs(120);
        m->choose(1, true);
        QCOMPARE(m->nextQuestion(), Outcome::NotStored);
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QVERIFY(env->dialogs.alerts.first().startsWith("Non riesco a registrare"));
        QCOMPARE(m->domanda, qint16(13));
        QVERIFY(m->checked(1));
        QCOMPARE(m->lessico, 6);
        QCOMPARE(m->sintesi, qint16(0));
        QCOMPARE(m->layout(), LetturaModel::Layout::Sintesi);
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(m->leave(), Outcome::NotStored);
        QCOMPARE(env->exit.ended, 0);
        QCOMPARE(env->session.state.minuti, qint16(0));

        env->session.state.segnalibro = bm;
        QCOMPARE(m->nextQuestion(), Outcome::Shown);
        QCOMPARE(stored("sintesi1").toInt(), 1);
        QCOMPARE(stored("temlettura").toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TstLettura)
#include "tst_lettura.moc"
