// The map test's model on a real results database: scoring, the stores at the switch of
// maps and at the end, leaving with "Esco" and resuming, the checks for missing answers.
#include "battery/geography/cartgecontent.h"
#include "battery/geography/cartgemodel.h"
#include "startup/datafolder.h"
#include "storage/pupilrecord.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qv;

namespace {
const QString kUna = QStringLiteral("Devi dare una risposta");
const QString kDue = QStringLiteral("Devi dare due risposte");
const QString kFinito = QStringLiteral(
    "IL TEST E' FINITO......ora puoi controllare i risultati nell'ARCHIVIO, o uscire dal programma");
const QString kStoreFailed = QStringLiteral("Non riesco a registrare i risultati nell'archivio. Riprova; se il "
                                            "problema continua, chiama l'insegnante.");
} // namespace

class TstCartge : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;
    std::unique_ptr<CartgeModel> model;

    void start(qint16 tipoavvio = kAvvioNuovo, qint16 tappa = 0)
    {
        env->session.state.tipoavvio = tipoavvio;
        env->session.state.tappa = tappa;
        model = std::make_unique<CartgeModel>(env->session);
        model->load();
    }
    // Reopens the database after "Esco" closed it, as a new run of the program does, and
    // puts the shared cursor on the pupil's record as name entry does on resumption.
    void reopen()
    {
        Modquorv &st = env->session.state;
        QString e;
        st.rsclasse.reset();
        st.dbrisultati = env->folder.open(&e);
        QVERIFY2(st.dbrisultati, qPrintable(e));
        st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
        QVERIFY(st.rsclasse && st.rsclasse->setBookmark(st.segnalibro));
    }
    // Answers the current physical place, rightly or with the next feature's name.
    void answerPhysical(bool right)
    {
        const int i = model->numero - 1;
        model->clickList2(right ? i : (i + 1) % kElementiFisici);
        model->elementoSeguente();
    }
    void answerPolitical(bool regionRight, bool townRight)
    {
        const int i = model->numero - 1;
        model->clickList2(regionRight ? i : (i + 1) % kRegioni);
        model->clickList1(townRight ? i : (i + 3) % kRegioni);
        model->elementoSeguente();
    }
    int stored(const char *field) { return env->stored(QString::fromLatin1(field)).toInt(); }
    bool storedNull(const char *field) { return env->stored(QString::fromLatin1(field)).isNull(); }

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>();
        QVERIFY2(env->folder.ok(), qPrintable(env->folder.error()));
        QVERIFY(env->session.state.rsclasse);
        env->addPupil(QStringLiteral("BIANCHI LUCA"));
    }
    void cleanup()
    {
        model.reset();
        env.reset();
    }

    void contentMatchesTheMaps()
    {
        QCOMPARE(elementifisici().size(), 22);
        QCOMPARE(regioni().size(), 20);
        QCOMPARE(capoluoghi().size(), 20);
        QCOMPARE(elementifisici().at(8), QStringLiteral("Isola d'Elba"));
        QCOMPARE(elementifisici().at(21), QStringLiteral("Stretto di Messina"));
        QCOMPARE(regioni().at(3), QStringLiteral("Trentino-A-A"));
        QCOMPARE(regioni().at(5), QStringLiteral("Friuli-Ve-Giulia"));
        QCOMPARE(capoluoghi().at(3), QStringLiteral("Trento-Bolzano"));
        QCOMPARE(capoluoghi().at(12), QStringLiteral("L'Aquila"));
        QCOMPARE(capoluoghi().at(17), QStringLiteral("Catanzaro"));
    }

    void freshStartShowsThePhysicalMap()
    {
        start();
        QCOMPARE(model->esercizio, QStringLiteral("geofisica"));
        QCOMPARE(model->mapFile(), QStringLiteral("itafis3.bmp"));
        QCOMPARE(model->numero, qint16(1));
        QCOMPARE(model->punti, qint16(0));
        QCOMPARE(model->List2, elementifisici());
        QVERIFY(!model->List1Visible);
        QVERIFY(model->Label4Visible);
        QVERIFY(model->Label2.isEmpty());
    }

    void allCorrectScores22Then40()
    {
        start();
        env->clock.advanceSecs(4 * 60 + 10);
        for (int i = 0; i < 22; ++i)
            answerPhysical(true);
        // Stored before the political map is shown.
        QCOMPARE(stored("elemfis"), 22);
        QCOMPARE(stored("arrivo"), 10);
        QCOMPARE(stored("sub"), 1);
        QCOMPARE(stored("temfisica"), 4);
        QVERIFY(storedNull("elempol"));
        QVERIFY(model->political());
        QCOMPARE(model->mapFile(), QStringLiteral("itareg2.bmp"));
        QCOMPARE(model->numero, qint16(1));
        QCOMPARE(model->punti, qint16(0));
        QCOMPARE(model->List2, regioni());
        QCOMPARE(model->List1, capoluoghi());
        QVERIFY(model->List1Visible);
        QVERIFY(!model->Label4Visible);
        QCOMPARE(env->session.state.minuti, qint16(0));

        env->clock.advanceSecs(3 * 60);
        for (int i = 0; i < 20; ++i)
            answerPolitical(true, true);
        QCOMPARE(stored("elempol"), 40);
        QCOMPARE(stored("arrivo"), 10);
        QCOMPARE(stored("sub"), 20);
        QCOMPARE(stored("tempolitica"), 3);
        QCOMPARE(stored("elemfis"), 22);
        QCOMPARE(env->dialogs.alerts, QStringList{kFinito});
        QCOMPARE(env->nav.shown, std::vector<Screen>{Screen::FLINIZIO});
        QCOMPARE(env->nav.hidden, std::vector<Screen>{Screen::FLcartge});
        QCOMPARE(env->exit.ended, 0);
    }

    void allWrongScoresZeroAndZero()
    {
        start();
        for (int i = 0; i < 22; ++i)
            answerPhysical(false);
        QCOMPARE(stored("elemfis"), 0);
        QCOMPARE(stored("sub"), 1);
        for (int i = 0; i < 20; ++i)
            answerPolitical(false, false);
        QCOMPARE(stored("elempol"), 0);
        QCOMPARE(stored("sub"), 20);
        QCOMPARE(env->dialogs.alerts, QStringList{kFinito});
    }

    void regionAndTownCountOneEach()
    {
        start();
        for (int i = 0; i < 22; ++i)
            answerPhysical(i % 2 == 0);
        QCOMPARE(stored("elemfis"), 11);
        for (int i = 0; i < 20; ++i)
            answerPolitical(i < 10, i >= 5);
        QCOMPARE(stored("elempol"), 10 + 15);
    }

    void sameNameForSeveralPlacesCountsOnlyWhereItBelongs()
    {
        start();
        const int po = int(elementifisici().indexOf(QStringLiteral("Po")));
        for (int i = 0; i < 22; ++i) {
            model->clickList2(po);
            model->elementoSeguente();
        }
        QCOMPARE(stored("elemfis"), 1);
        const int lazio = int(regioni().indexOf(QStringLiteral("Lazio")));
        const int napoli = int(capoluoghi().indexOf(QStringLiteral("Napoli")));
        for (int i = 0; i < 20; ++i) {
            model->clickList2(lazio);
            model->clickList1(napoli);
            model->elementoSeguente();
        }
        QCOMPARE(stored("elempol"), 2); // Lazio at 12, Napoli at 15
    }

    void comparisonIsExact()
    {
        start();
        model->Label2 = QStringLiteral("alpi");
        model->elementoSeguente();
        model->Label2 = QStringLiteral("Pianura padana");
        model->elementoSeguente();
        model->Label2 = QStringLiteral("Adige ");
        model->elementoSeguente();
        model->Label2 = QStringLiteral("Po");
        model->elementoSeguente();
        QCOMPARE(model->numero, qint16(5));
        QCOMPARE(model->punti, qint16(1));
    }

    void missingAnswersKeepThePlace()
    {
        start();
        model->elementoSeguente();
        QCOMPARE(env->dialogs.alerts, QStringList{kUna});
        QCOMPARE(model->numero, qint16(1));
        answerPhysical(true);
        QCOMPARE(model->numero, qint16(2));
        QVERIFY(model->Label2.isEmpty());
        QCOMPARE(model->indicelista2, qint16(-1));
        for (int i = 1; i < 22; ++i)
            answerPhysical(true);
        env->dialogs.alerts.clear();
        model->clickList2(0);
        model->elementoSeguente(); // region only
        model->Label2.clear();
        model->clickList1(0);
        model->elementoSeguente(); // chief town only
        QCOMPARE(env->dialogs.alerts, (QStringList{kDue, kDue}));
        QCOMPARE(model->numero, qint16(1));
        QCOMPARE(model->punti, qint16(0));
    }

    void promptIsNotAnAnswer()
    {
        start();
        for (int i = 0; i < 22; ++i)
            answerPhysical(true);
        QCOMPARE(model->Label2, QStringLiteral("Scegli sia la regione che il capoluogo"));
        QVERIFY(model->label2IsPrompt());
        model->clickList1(0); // Aosta, right, but no region chosen
        model->elementoSeguente();
        QCOMPARE(env->dialogs.alerts, QStringList{kDue});
        QCOMPARE(model->numero, qint16(1));
        QCOMPARE(model->punti, qint16(0));
        QCOMPARE(model->Label1, QStringLiteral("Aosta"));
        model->clickList2(0);
        QVERIFY(!model->label2IsPrompt());
        model->elementoSeguente();
        QCOMPARE(model->numero, qint16(2));
        QCOMPARE(model->punti, qint16(2));
        QVERIFY(model->Label1.isEmpty());
        QVERIFY(model->Label2.isEmpty());
    }

    void escoAtPhysicalPlace7AndResume()
    {
        start();
        env->clock.advanceSecs(150);
        for (int i = 0; i < 6; ++i)
            answerPhysical(i != 2);
        QCOMPARE(model->numero, qint16(7));
        model->clickList2(6); // chosen but not confirmed: not counted
        model->esco();
        QCOMPARE(env->exit.ended, 1);
        QVERIFY(!env->session.state.dbrisultati->isOpen());
        reopen();
        QCOMPARE(stored("arrivo"), 9);
        QCOMPARE(stored("sub"), 7);
        QCOMPARE(stored("elemfis"), 5);
        QCOMPARE(stored("temfisica"), 2);

        start(kAvvioRipresa, 9);
        QCOMPARE(model->esercizio, QStringLiteral("geofisica"));
        QCOMPARE(model->numero, qint16(7));
        QCOMPARE(model->punti, qint16(5));
        QCOMPARE(env->session.state.minuti, qint16(2));
        QVERIFY(model->Label2.isEmpty());
        env->clock.advanceSecs(60);
        for (int i = 6; i < 22; ++i)
            answerPhysical(true);
        QCOMPARE(stored("elemfis"), 5 + 16);
        QCOMPARE(stored("temfisica"), 3);
        QCOMPARE(stored("arrivo"), 10);
        QCOMPARE(stored("sub"), 1);
    }

    void escoAtPoliticalPlace20StoresTheFinishedCode()
    {
        start();
        for (int i = 0; i < 22; ++i)
            answerPhysical(true);
        for (int i = 0; i < 19; ++i)
            answerPolitical(true, i % 2 == 0);
        QCOMPARE(model->numero, qint16(20));
        env->clock.advanceSecs(61);
        model->esco();
        QCOMPARE(env->exit.ended, 1);
        reopen();
        QCOMPARE(stored("arrivo"), 10);
        QCOMPARE(stored("sub"), 20);
        QCOMPARE(stored("elempol"), 19 + 10);
        QCOMPARE(stored("tempolitica"), 1);
        QCOMPARE(stored("elemfis"), 22);
    }

    void resumeAtPoliticalMapStartsWithEmptyLabel2()
    {
        start();
        for (int i = 0; i < 22; ++i)
            answerPhysical(true);
        for (int i = 0; i < 4; ++i)
            answerPolitical(true, false);
        env->clock.advanceSecs(120);
        model->esco();
        reopen();
        QCOMPARE(stored("sub"), 5);
        QCOMPARE(stored("elempol"), 4);

        start(kAvvioRipresa, 10);
        QVERIFY(model->political());
        QCOMPARE(model->mapFile(), QStringLiteral("itareg2.bmp"));
        QVERIFY(model->Label2.isEmpty());
        QVERIFY(!model->label2IsPrompt());
        QVERIFY(!model->Label4Visible);
        QVERIFY(model->List1Visible);
        QCOMPARE(model->numero, qint16(5));
        QCOMPARE(model->punti, qint16(4));
        QCOMPARE(env->session.state.minuti, qint16(2));
        model->clickList1(4);
        model->elementoSeguente();
        QCOMPARE(env->dialogs.alerts, QStringList{kDue});
        for (int i = 4; i < 20; ++i)
            answerPolitical(true, true);
        QCOMPARE(stored("elempol"), 4 + 32);
        QCOMPARE(stored("sub"), 20);
    }

    void resumeAfterThePhysicalMapWithEmptyPoliticalFields()
    {
        // The physical map was finished: arrivo 10, sub 1, political fields still empty.
        QVERIFY(env->session.storePupil({{"arrivo", 10}, {"sub", 1}, {"elemfis", 17}, {"temfisica", 6}}));
        start(kAvvioRipresa, 10);
        QVERIFY(model->political());
        QCOMPARE(model->numero, qint16(1));
        QCOMPARE(model->punti, qint16(0));
        QCOMPARE(stored("elempol"), 0);
        QVERIFY(!storedNull("elempol"));
        QCOMPARE(stored("tempolitica"), 0);
        QVERIFY(!storedNull("tempolitica"));
        QCOMPARE(stored("elemfis"), 17);
    }

    void resumeAtPhysicalMapWithEmptyFieldsStartsAtOne()
    {
        QVERIFY(env->session.storePupil({{"arrivo", 9}, {"sub", 8}}));
        start(kAvvioRipresa, 9);
        QCOMPARE(model->numero, qint16(1));
        QCOMPARE(model->punti, qint16(0));
        // On the server too: the guard lets a map with no score of its own start again.
        QCOMPARE(stored("sub"), 1);
        QCOMPARE(stored("elemfis"), 0);
        QCOMPARE(stored("temfisica"), 0);
        QVERIFY(!storedNull("temfisica"));
    }

    void storedPlaceOutOfRangeIsClamped()
    {
        QVERIFY(env->session.storePupil({{"arrivo", 9}, {"sub", 40}, {"elemfis", 3}, {"temfisica", 1}}));
        start(kAvvioRipresa, 9);
        QCOMPARE(model->numero, qint16(22));
        QVERIFY(env->session.storePupil({{"arrivo", 10}, {"sub", 0}, {"elempol", 3}, {"tempolitica", 1}}));
        start(kAvvioRipresa, 10);
        QCOMPARE(model->numero, qint16(1));
    }

    void failedStoreKeepsThePlaceAndDoesNotClaimSuccess()
    {
        start();
        for (int i = 0; i < 21; ++i)
            answerPhysical(true);
        const QString bookmark = env->session.state.segnalibro;
        env->session.state.segnalibro = QStringLiteral("999999");
        env->clock.advanceSecs(120);
        answerPhysical(true);
        QCOMPARE(env->dialogs.alerts, QStringList{kStoreFailed});
        QVERIFY(!model->political());
        QCOMPARE(model->numero, qint16(22));
        QCOMPARE(model->punti, qint16(21));
        QCOMPARE(model->Label2, QStringLiteral("Stretto di Messina"));
        QCOMPARE(env->session.state.minuti, qint16(0));
        model->esco();
        QCOMPARE(env->exit.ended, 0);
        QCOMPARE(env->dialogs.alerts.size(), 2);

        env->session.state.segnalibro = bookmark;
        model->elementoSeguente();
        QVERIFY(model->political());
        QCOMPARE(stored("elemfis"), 22);
        QCOMPARE(stored("temfisica"), 2); // the minutes counted once
    }

    void newPupilAfterAFinishedTestStartsAfresh()
    {
        start();
        for (int i = 0; i < 22; ++i)
            answerPhysical(true);
        for (int i = 0; i < 19; ++i)
            answerPolitical(true, true);
        model->clickList2(19);
        model->clickList1(19);
        model->elementoSeguente();
        QCOMPARE(env->dialogs.alerts, QStringList{kFinito});
        const QString first = env->session.state.segnalibro;
        env->addPupil(QStringLiteral("VERDI ANNA"));
        QVERIFY(env->session.state.segnalibro != first);
        env->session.state.tipoavvio = kAvvioNuovo;
        model->load(); // the same screen, shown for the next pupil
        QVERIFY(!model->political());
        QCOMPARE(model->numero, qint16(1));
        QCOMPARE(model->punti, qint16(0));
        QVERIFY(model->Label1.isEmpty());
        QVERIFY(model->Label2.isEmpty());
        QVERIFY(model->Label4Visible);
        QVERIFY(!model->List1Visible);
        QCOMPARE(model->List2, elementifisici());
    }

    void timerBlinksTheNumber()
    {
        start();
        QVERIFY(model->LabnumeroVisible);
        model->tick();
        QVERIFY(model->LabnumeroVisible);
        QCOMPARE(model->lampeggio, qint16(2));
        model->tick();
        QVERIFY(!model->LabnumeroVisible);
        model->tick();
        QVERIFY(model->LabnumeroVisible);
    }

    // Political place 20 is not checkpointed: sub 20 would mark the record complete
    // before the last place is answered.
    void noCheckpointThatReadsAsComplete()
    {
        start();
        for (int i = 0; i < 22; ++i)
            answerPhysical(true);
        for (int i = 0; i < 18; ++i)
            answerPolitical(true, true);
        QCOMPARE(stored("sub"), 19);
        QCOMPARE(stored("elempol"), 36);
        answerPolitical(true, true);
        QCOMPARE(model->numero, qint16(20));
        QCOMPARE(stored("sub"), 19);
        QCOMPARE(stored("elempol"), 36);
        QCOMPARE(stored("arrivo"), 10);
        answerPolitical(true, true);
        QCOMPARE(stored("sub"), 20);
        QCOMPARE(stored("elempol"), 40);
    }
};

QTEST_GUILESS_MAIN(TstCartge)
#include "tst_cartge.moc"
