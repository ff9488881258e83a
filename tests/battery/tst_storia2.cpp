// The chronology of events: content and keys, the two halves, scoring, leaving and
// resuming, minutes.
#include "battery/analysis/cronologiacontent.h"
#include "battery/analysis/storia2model.h"
#include "startup/datafolder.h"
#include "support/fakes.h"

#include <QSet>
#include <QtTest>

using namespace qv;

namespace {

int sorgente(const Storia2Model &m, const QString &data)
{
    for (int r = 0; r < Storia2Model::kRighe; ++r)
        if (m.data(r) == data)
            return r;
    return -1;
}

void risolvi(Storia2Model &m)
{
    for (int r = 0; r < Storia2Model::kRighe; ++r)
        m.drop(r, sorgente(m, m.chiave(r)));
}

void riapri(test::ModelEnv &env)
{
    Modquorv &st = env.session.state;
    st.rsclasse.reset();
    QString e;
    st.dbrisultati = env.folder.open(&e);
    st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
    st.rsclasse->setBookmark(st.segnalibro);
    st.tipoavvio = kAvvioRipresa;
}

} // namespace

class TstStoria2 : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;

    void scrivi(const FieldValues &f) { QVERIFY(env->session.storePupil(f)); }

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>();
        QVERIFY(env->session.state.rsclasse);
        env->addPupil(QStringLiteral("VERDI LUCA"));
        env->session.state.tipoavvio = kAvvioNuovo;
    }
    void cleanup() { env.reset(); }

    void contentHasTwentyEventsAndTheGivenDates()
    {
        const QStringList date = {"5 milioni a.f.", "45 000 a.fa", "3500 a.C.", "334 a.C.", "31 a.C.",
                                  "476", "800", "843", "1348", "1492", "1775-1783", "1789",
                                  "1814-1815", "1861", "1914-1918", "1917", "1933", "1939-1945",
                                  "25 aprile 1945", "1957"};
        for (int n = 1; n <= kCronologiaEventi; ++n) {
            QCOMPARE(cronologiaData(n), date.at(n - 1));
            QVERIFY(!cronologiaEvento(n).trimmed().isEmpty());
            QVERIFY(!cronologiaEvento(n).contains(QLatin1Char('\n')));
        }
        QCOMPARE(cronologiaEvento(4), QStringLiteral("ALESSANDRO MAGNO crea il suo impero."));
        QVERIFY(cronologiaEvento(0).isEmpty() && cronologiaData(21).isEmpty());

        const std::array<int, 10> e1 = {5, 1, 17, 3, 9, 19, 15, 7, 11, 13};
        const std::array<int, 10> e2 = {6, 2, 18, 4, 10, 20, 16, 8, 12, 14};
        QCOMPARE(cronologiaEventiMeta(1), e1);
        QCOMPARE(cronologiaEventiMeta(2), e2);
        // The dates of each half are those of its events, in chronological order.
        for (int parte = 1; parte <= 2; ++parte) {
            const auto &d = cronologiaDateMeta(parte);
            const auto &e = cronologiaEventiMeta(parte);
            QCOMPARE(QSet<int>(d.begin(), d.end()), QSet<int>(e.begin(), e.end()));
            QVERIFY(std::is_sorted(d.begin(), d.end()));
        }
        QSet<QString> tutte;
        for (int n = 1; n <= 20; ++n)
            tutte.insert(cronologiaData(n));
        QCOMPARE(tutte.size(), 20);
    }

    void freshStartShowsTheFirstHalf()
    {
        env->session.state.minuti = 7; // left over by an earlier test
        Storia2Model m(env->session);
        m.apertura();
        QCOMPARE(m.parte(), 1);
        QCOMPARE(m.punti(), 0);
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(m.evento(0), cronologiaEvento(5));
        QCOMPARE(m.evento(9), cronologiaEvento(13));
        QCOMPARE(m.data(0), QStringLiteral("5 milioni a.f."));
        QCOMPARE(m.data(9), QStringLiteral("25 aprile 1945"));
        QCOMPARE(m.chiave(0), QStringLiteral("31 a.C."));
        for (int r = 0; r < 10; ++r) {
            QVERIFY(m.casella(r).isEmpty());
            QVERIFY(!m.usata(r));
        }
    }

    // Both halves right without leaving: 20, 2 + 3 minutes, hand-over to the map test.
    void perfectRunScoresTwentyAndHandsOver()
    {
        Storia2Model m(env->session);
        m.apertura();
        risolvi(m);
        env->clock.advanceSecs(2 * 60 + 10);
        m.seguente();
        QCOMPARE(m.giuste(), 10);
        QCOMPARE(env->stored("cronolog").toInt(), 10);
        QCOMPARE(env->stored("arrivo").toInt(), 8);
        QCOMPARE(env->stored("sub").toInt(), 2);
        QCOMPARE(env->stored("temcrono").toInt(), 2);
        QCOMPARE(m.parte(), 2);
        QCOMPARE(m.evento(0), cronologiaEvento(6));
        QCOMPARE(m.data(0), QStringLiteral("45 000 a.fa"));
        QVERIFY(m.casella(0).isEmpty() && !m.usata(0));
        QVERIFY(env->nav.shown.empty());

        risolvi(m);
        env->clock.advanceSecs(3 * 60);
        m.seguente();
        QCOMPARE(m.giuste(), 10);
        QCOMPARE(env->stored("cronolog").toInt(), 20);
        QCOMPARE(env->stored("arrivo").toInt(), 9);
        QCOMPARE(env->stored("sub").toInt(), 1);
        QCOMPARE(env->stored("temcrono").toInt(), 5);
        QCOMPARE(env->session.state.tipoavvio, kAvvioNuovo);
        QCOMPARE(env->nav.hidden, std::vector<Screen>{Screen::FLstoria2});
        QCOMPARE(env->nav.shown, std::vector<Screen>{Screen::FLcartge});
        QVERIFY(env->dialogs.alerts.isEmpty());
    }

    void anEmptyBoxStopsTheCheckUntilItIsFilled()
    {
        Storia2Model n(env->session);
        n.apertura();
        for (int r = 0; r < 10; ++r)
            if (r != 4)
                n.drop(r, sorgente(n, n.chiave(r)));
        n.seguente();
        QCOMPARE(env->dialogs.alerts, QStringList{QStringLiteral("Devi completare l'esercizio")});
        QCOMPARE(n.completo(), QStringLiteral("no"));
        QCOMPARE(n.parte(), 1);
        QVERIFY(env->stored("cronolog").isNull());
        n.drop(4, sorgente(n, n.chiave(4)));
        n.seguente();
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QCOMPARE(n.parte(), 2);
        QCOMPARE(env->stored("cronolog").toInt(), 10);
    }

    void oneDateInTwoBoxesIsRightOnceAndStaysMarked()
    {
        Storia2Model m(env->session);
        m.apertura();
        risolvi(m);
        const int s1348 = sorgente(m, QStringLiteral("1348"));
        int riga1348 = -1;
        for (int r = 0; r < 10; ++r)
            if (m.chiave(r) == QStringLiteral("1348"))
                riga1348 = r;
        QVERIFY(riga1348 >= 0);
        const int altra = (riga1348 + 1) % 10;
        m.drop(altra, s1348); // replaces a right date
        QCOMPARE(m.casella(altra), QStringLiteral("1348"));
        QVERIFY(m.usata(s1348));
        m.drop(riga1348, s1348); // dropped again: still marked
        QVERIFY(m.usata(s1348));
        QVERIFY(!m.drop(10, 0) && !m.drop(0, 10));
        m.seguente();
        QCOMPARE(m.giuste(), 9);
        for (int r = 0; r < 10; ++r)
            QVERIFY(!m.usata(r));
    }

    void everyBoxIsComparedWithItsOwnEvent()
    {
        Storia2Model m(env->session);
        m.apertura();
        // The dates in the order of the column, not of the events: only the rows whose
        // event happens to have that date are right.
        int attese = 0;
        for (int r = 0; r < 10; ++r) {
            m.drop(r, r);
            attese += m.data(r) == m.chiave(r);
        }
        m.seguente();
        QCOMPARE(m.giuste(), attese);
        QVERIFY(attese < 10);
    }

    void leaveWithAFullSecondHalfFinishesTheTest()
    {
        Storia2Model m(env->session);
        m.apertura();
        risolvi(m);
        m.seguente();
        risolvi(m);
        m.drop(0, sorgente(m, m.chiave(1))); // one wrong
        env->clock.advanceSecs(60);
        m.esco();
        QCOMPARE(env->exit.ended, 1);
        riapri(*env);
        QCOMPARE(env->stored("cronolog").toInt(), 19);
        QCOMPARE(env->stored("arrivo").toInt(), 9);
        QCOMPARE(env->stored("sub").toInt(), 1);
        QCOMPARE(env->stored("temcrono").toInt(), 1);
    }

    // An incomplete half is not scored, but the minutes of this stretch are kept and the
    // progress code still names the half on show.
    void leaveWithAnEmptyBoxKeepsTheHalfAndTheMinutes()
    {
        Storia2Model m(env->session);
        m.apertura();
        risolvi(m);
        env->clock.advanceSecs(2 * 60);
        m.seguente();
        m.drop(0, 0);
        env->clock.advanceSecs(3 * 60);
        m.esco();
        QCOMPARE(env->exit.ended, 1);
        riapri(*env);
        QCOMPARE(env->stored("cronolog").toInt(), 10);
        QCOMPARE(env->stored("arrivo").toInt(), 8);
        QCOMPARE(env->stored("sub").toInt(), 2);
        QCOMPARE(env->stored("temcrono").toInt(), 5);

        // Resumption at the second half: score and minutes carried on.
        Storia2Model r(env->session);
        r.apertura();
        QCOMPARE(r.parte(), 2);
        QCOMPARE(r.punti(), 10);
        QCOMPARE(env->session.state.minuti, qint16(5));
        QVERIFY(r.casella(0).isEmpty());
        risolvi(r);
        env->clock.advanceSecs(60);
        r.seguente();
        QCOMPARE(env->stored("cronolog").toInt(), 20);
        QCOMPARE(env->stored("temcrono").toInt(), 6);
        QCOMPARE(env->stored("arrivo").toInt(), 9);
    }

    void leaveWithAnEmptyFirstHalfStoresNoScore()
    {
        Storia2Model m(env->session);
        m.apertura();
        env->clock.advanceSecs(90);
        m.esco();
        riapri(*env);
        QCOMPARE(env->stored("cronolog").toInt(), 0);
        QCOMPARE(env->stored("arrivo").toInt(), 8);
        QCOMPARE(env->stored("sub").toInt(), 1);
        QCOMPARE(env->stored("temcrono").toInt(), 1);
    }

    void resumeWithNullFieldsStartsTheFirstHalf()
    {
        scrivi({{"arrivo", 8}, {"sub", QVariant()}});
        env->session.state.tipoavvio = kAvvioRipresa;
        Storia2Model m(env->session);
        m.apertura();
        QCOMPARE(m.parte(), 1);
        QCOMPARE(m.punti(), 0);
        QCOMPARE(env->session.state.minuti, qint16(0));
        QCOMPARE(env->stored("sub").toInt(), 1);
        QCOMPARE(env->stored("cronolog").toInt(), 0);
        QCOMPARE(env->stored("temcrono").toInt(), 0);
        QVERIFY(!env->stored("temcrono").isNull());
    }

    void resumeThatCannotReadTheRecordStartsTheFirstHalf()
    {
        scrivi({{"arrivo", 8}, {"sub", 7}, {"cronolog", 10}, {"temcrono", 4}});
        env->session.state.tipoavvio = kAvvioRipresa;
        Storia2Model m(env->session);
        m.apertura();
        QCOMPARE(m.parte(), 1);
        QCOMPARE(m.punti(), 0);

        env->session.state.rsclasse.reset();
        Storia2Model n(env->session);
        n.apertura();
        QCOMPARE(n.parte(), 1);
        QCOMPARE(n.punti(), 0);
        QCOMPARE(n.data(0), QStringLiteral("5 milioni a.f."));
        QVERIFY(env->dialogs.alerts.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstStoria2)
#include "tst_storia2.moc"
