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
    if (st.tipoavvio == kAvvioRipresa && st.tappa == 9)
        resumePhysical();
    else if (st.tipoavvio == kAvvioRipresa && st.tappa == 10)
        resumePolitical();
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

void CartgeModel::resumePhysical()
{
    physicalLayout();
    if (s_.pupilField(QStringLiteral("elemfis")).isNull()) {
        s_.forgetAnswers(QStringLiteral("fisica"));
        store({{QStringLiteral("elemfis"), 0}, {QStringLiteral("sub"), 1}});
        numero = 1;
    }
    numero = clampPlace(numero, kElementiFisici);
    punti = qint16(s_.pupilField(QStringLiteral("elemfis")).toInt());
    s_.state.minuti = qint16(s_.pupilFieldOrInit(QStringLiteral("temfisica"), 0));
}

void CartgeModel::resumePolitical()
{
    politicalLayout();
    if (s_.pupilField(QStringLiteral("elempol")).isNull()) {
        s_.forgetAnswers(QStringLiteral("politica"));
        store({{QStringLiteral("elempol"), 0}, {QStringLiteral("sub"), 1}});
        numero = 1;
    }
    numero = clampPlace(numero, kRegioni);
    punti = qint16(s_.pupilField(QStringLiteral("elempol")).toInt());
    s_.state.minuti = qint16(s_.pupilFieldOrInit(QStringLiteral("tempolitica"), 0));
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
    if (!political()) {
        if (Label2.isEmpty()) {
            s_.dialogs.alert(QStringLiteral("Devi dare una risposta"));
            return;
        }
        const bool giusta = Label2 == elementifisici().value(numero - 1);
        const int inAttesa = s_.pendingAnswers();
        s_.logAnswer({QStringLiteral("fisica"), numero, Label2, giusta});
        const qint16 score = punti + (giusta ? 1 : 0);
        if (numero >= kElementiFisici) {
            // The last feature: the physical results are stored before the political map.
            if (!registro(score)) {
                s_.dropAnswersFrom(inAttesa);
                return;
            }
            s_.startStretch();
            s_.state.minuti = 0;
            politicalLayout();
            Label2 = kPrompt;
            promptInLabel2_ = true;
            punti = 0;
            numero = 1;
            return;
        }
        punti = score;
        indicelista2 = -1;
    } else {
        // The prompt of the first place is no region: both answers are still to give.
        if (Label1.isEmpty() || Label2.isEmpty() || promptInLabel2_) {
            s_.dialogs.alert(QStringLiteral("Devi dare due risposte"));
            return;
        }
        const bool regione = Label2 == regioni().value(numero - 1);
        const bool capoluogo = Label1 == capoluoghi().value(numero - 1);
        const int inAttesa = s_.pendingAnswers();
        s_.logAnswer({QStringLiteral("politica"), numero, Label2, regione});
        s_.logAnswer({QStringLiteral("politica"), capoluogoItem(numero), Label1, capoluogo});
        const qint16 score = punti + (regione ? 1 : 0) + (capoluogo ? 1 : 0);
        if (numero >= kRegioni) {
            if (!registro(score))
                s_.dropAnswersFrom(inAttesa);
            return;
        }
        punti = score;
        indicelista1 = indicelista2 = -1;
    }
    Label1.clear();
    Label2.clear();
    ++numero;
    // Checkpoint, so a power cut loses at most the place on screen. Political place 20
    // with sub 20 would read as a finished map, so the record waits for the map's own
    // store there. A failure keeps everything in memory; the next store writes it.
    if (!(political() && numero >= kRegioni))
        storeProgress(true);
}

bool CartgeModel::store(const FieldValues &fields)
{
    return s_.storePupil(fields);
}

bool CartgeModel::registro(qint16 score)
{
    Modquorv &st = s_.state;
    const qint16 before = st.minuti;
    s_.endStretch();
    const bool ok = political()
        ? store({{QStringLiteral("elempol"), score}, {QStringLiteral("arrivo"), 10}, {QStringLiteral("sub"), 20},
                 {QStringLiteral("tempolitica"), st.minuti}})
        : store({{QStringLiteral("elemfis"), score}, {QStringLiteral("arrivo"), 10}, {QStringLiteral("sub"), 1},
                 {QStringLiteral("temfisica"), st.minuti}});
    if (!ok) {
        // Nothing was written: the answer stays on screen and the minutes of this stretch
        // are counted when the pupil tries again.
        st.minuti = before;
        s_.warnStoreFailed();
        return false;
    }
    punti = score;
    if (political()) {
        s_.dialogs.alert(kFinito);
        s_.nav.show(Screen::FLINIZIO);
        s_.nav.hide(Screen::FLcartge);
    } else {
        punti = 0;
    }
    return true;
}

// The record as "Esco" leaves it: the place on screen, the score of the map in use, its
// minutes. With `continueStretch` the stretch restarts now (a checkpoint); otherwise it
// ends. On failure the minutes and times are as they were, so the next store counts them.
bool CartgeModel::storeProgress(bool continueStretch)
{
    Modquorv &st = s_.state;
    if (numero < 1)
        numero = 1;
    const Session::Stretch prima = s_.stretch();
    if (continueStretch)
        s_.endStretchAndContinue();
    else
        s_.endStretch();
    const bool ok = political()
        ? store({{QStringLiteral("sub"), numero}, {QStringLiteral("arrivo"), 10}, {QStringLiteral("elempol"), punti},
                 {QStringLiteral("tempolitica"), st.minuti}})
        : store({{QStringLiteral("sub"), numero}, {QStringLiteral("arrivo"), 9}, {QStringLiteral("elemfis"), punti},
                 {QStringLiteral("temfisica"), st.minuti}});
    if (!ok) {
        s_.restoreStretch(prima);
    }
    return ok;
}

void CartgeModel::esco()
{
    if (!storeProgress(false)) {
        // Leaving now would lose the work done: the pupil stays and may try again.
        s_.warnStoreFailed();
        return;
    }
    s_.closeAndExit();
}

} // namespace qv
