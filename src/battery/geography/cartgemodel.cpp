#include "battery/geography/cartgemodel.h"

#include "battery/geography/cartgecontent.h"

#include <algorithm>

namespace qv {

const QString CartgeModel::kPrompt = QStringLiteral("Scegli sia la regione che il capoluogo");

namespace {
const QString kFinito = QStringLiteral(
    "IL TEST E' FINITO......ora puoi controllare i risultati nell'ARCHIVIO, o uscire dal programma");

qint16 clampPlace(int n, int last)
{
    return qint16(std::clamp(n, 1, last));
}
} // namespace

void CartgeModel::load()
{
    Modquorv &st = s_.state;
    lampeggio = 1;
    LabnumeroVisible = true;
    s_.holdRecord(); // the pupil's row, whatever moved the cursor since
    numero = qint16(s_.pupilFieldOrInit(QStringLiteral("sub"), 1));
    s_.startStretch();
    const bool fisica = st.tappa == stageCodes(Stage::Fisica).arrivo;
    const bool politica = st.tappa == stageCodes(Stage::Politica).arrivo;
    if (st.tipoavvio == kAvvioRipresa && (fisica || politica))
        resume(politica);
    else {
        // A fresh start; also whatever else the start mode says, so the test never
        // opens on an empty screen.
        physicalLayout();
        st.minuti = 0;
        numero = 1;
        punti = 0;
        s_.forgetAnswers(QStringLiteral("fisica"));
        s_.forgetAnswers(QStringLiteral("politica"));
    }
}

void CartgeModel::resume(bool politica)
{
    // From here on failures are passed over and the opening goes on.
    if (politica)
        politicalLayout();
    else
        physicalLayout();
    const StageCodes &mappa = stageCodes(stage());
    if (s_.pupilField(scoreField()).isNull()) {
        s_.forgetAnswers(QString::fromLatin1(mappa.prova));
        s_.storePupil({{scoreField(), 0}, {QStringLiteral("sub"), 1}});
        numero = 1;
    }
    numero = clampPlace(numero, politica ? kRegioni : kElementiFisici);
    punti = qint16(s_.pupilField(scoreField()).toInt());
    s_.state.minuti = qint16(s_.pupilFieldOrInit(QString::fromLatin1(mappa.minuti), 0));
}

void CartgeModel::physicalLayout()
{
    esercizio = QStringLiteral("geofisica");
    mapFile_ = mappaFisica();
    Label4Visible = true;
    List1Visible = false;
    List1.clear();
    List2 = elementifisici();
    Label1.clear();
    Label2.clear();
    promptInLabel2_ = false;
    indicelista1 = indicelista2 = -1;
}

void CartgeModel::politicalLayout()
{
    esercizio = QStringLiteral("geopolitica");
    mapFile_ = mappaPolitica();
    Label4Visible = false;
    List1Visible = true;
    List2 = regioni();
    List1 = capoluoghi();
    Label1.clear();
    Label2.clear();
    promptInLabel2_ = false;
    indicelista1 = indicelista2 = -1;
}

void CartgeModel::clickList2(int index)
{
    if (index < 0 || index >= List2.size())
        return;
    Label2 = List2.at(index);
    indicelista2 = qint16(index);
    promptInLabel2_ = false;
}

void CartgeModel::clickList1(int index)
{
    if (!List1Visible || index < 0 || index >= List1.size())
        return;
    Label1 = List1.at(index);
    indicelista1 = qint16(index);
}

void CartgeModel::tick()
{
    if (lampeggio == 1) {
        LabnumeroVisible = true;
        lampeggio = 2;
    } else {
        LabnumeroVisible = false;
        lampeggio = 1;
    }
}

void CartgeModel::elementoSeguente()
{
    QList<Answer> risposte;
    qint16 score = punti;
    if (!political()) {
        if (Label2.isEmpty()) {
            s_.dialogs.alert(QStringLiteral("Devi dare una risposta"));
            return;
        }
        const bool giusta = Label2 == elementifisici().value(numero - 1);
        risposte.append({.prova = QStringLiteral("fisica"), .numero = numero, .risposta = Label2, .giusta = giusta});
        score += giusta ? 1 : 0;
    } else {
        // The prompt of the first place is no region: both answers are still to give.
        if (Label1.isEmpty() || Label2.isEmpty() || promptInLabel2_) {
            s_.dialogs.alert(QStringLiteral("Devi dare due risposte"));
            return;
        }
        const bool regione = Label2 == regioni().value(numero - 1);
        const bool capoluogo = Label1 == capoluoghi().value(numero - 1);
        risposte.append({.prova = QStringLiteral("politica"), .numero = numero, .risposta = Label2, .giusta = regione});
        risposte.append(
            {.prova = QStringLiteral("politica"), .numero = capoluogoItem(numero), .risposta = Label1, .giusta = capoluogo});
        score += (regione ? 1 : 0) + (capoluogo ? 1 : 0);
    }
    const StageCodes &mappa = stageCodes(stage());
    const bool fine = numero >= mappa.ultimoSub;
    // The last place stores the map's results. Before it, a checkpoint: what "Esco" at the
    // next place would store, so a power cut loses at most the place on screen; but
    // political place 20 with sub 20 would read as a finished map, so the record waits for
    // the map's own store there. If the store fails the pupil is told and the answer stays
    // on screen, to try again.
    const bool checkpoint = !fine && !(mappa.arrivo == mappa.fine.arrivo && numero + 1 >= mappa.fine.sub);
    if ((fine || checkpoint) && !s_.storeStep({.stage = mappa.stage,
                                               .sub = numero + 1,
                                               .done = fine,
                                               .fields = {{scoreField(), score}},
                                               .answers = risposte}))
        return;
    if (!fine && !checkpoint) {
        // Logged with the map's own store.
        for (const Answer &a : std::as_const(risposte))
            s_.logAnswer(a);
    }
    punti = score;
    if (fine && political()) {
        s_.dialogs.alert(kFinito);
        s_.handOver(Stage::Politica);
        return;
    }
    if (fine) {
        // The political map: its minutes start from nothing, its stretch from now.
        s_.state.minuti = 0;
        politicalLayout();
        Label2 = kPrompt;
        promptInLabel2_ = true;
        punti = 0;
        numero = 1;
        return;
    }
    Label1.clear();
    Label2.clear();
    indicelista1 = indicelista2 = -1;
    ++numero;
}

Stage CartgeModel::stage() const
{
    return political() ? Stage::Politica : Stage::Fisica;
}

QString CartgeModel::scoreField() const
{
    return political() ? QStringLiteral("elempol") : QStringLiteral("elemfis");
}

void CartgeModel::esco()
{
    numero = std::max<qint16>(numero, 1);
    // Leaving when the store fails would lose the work done: the pupil stays and may try again.
    if (s_.storeStep({.stage = stage(), .sub = numero, .fields = {{scoreField(), punti}}}))
        s_.closeAndExit();
}

} // namespace qv
