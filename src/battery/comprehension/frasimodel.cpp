#include "battery/comprehension/frasimodel.h"

#include <algorithm>

namespace qv {

namespace {
const QString kProva = QStringLiteral("frasi");
} // namespace

void FrasiModel::setUp()
{
    Modquorv &st = s_.state;
    domande = frasi::domande();
    soluzioni = frasi::soluzioni();
    punti = 0;
    risposta = 0;
    check_.clear();

    s_.holdRecord();
    const int sub = s_.pupilFieldOrInit(QStringLiteral("sub"), 1);
    // A progress code outside the test cannot name a question: keep within 1..12.
    domanda = qint16(std::clamp(sub, 1, frasi::kDomande));

    s_.startStretch();

    if (st.tipoavvio != kAvvioRipresa) {
        domanda = 1;
        st.minuti = 0;
        s_.forgetAnswers(kProva);
        return;
    }
    punti = qint16(std::clamp(s_.pupilFieldOrInit(QStringLiteral("frasi1"), 0), 0, frasi::kDomande));
    st.minuti = qint16(std::clamp(s_.pupilFieldOrInit(QStringLiteral("temfrasi"), 0), 0, 32767));
}

void FrasiModel::choose(int k, bool ticked)
{
    if (check_.choose(k, ticked))
        risposta = qint16(k + 1);
}

FrasiModel::Outcome FrasiModel::nextQuestion()
{
    if (!anyChecked()) {
        s_.dialogs.alert(QStringLiteral("Devi fornire la risposta"));
        return Outcome::NoAnswer;
    }
    // The answer counts once its step is stored. If the store fails the pupil is told and
    // the question stays on screen with its answer ticked and unscored, to be confirmed again.
    QList<Answer> risposte;
    qint16 conPunti = punti;
    if (domanda >= 1 && domanda <= frasi::kDomande) {
        const bool giusta = risposta == soluzioni[size_t(domanda)];
        risposte.append({.prova = kProva, .numero = domanda, .risposta = QString::number(risposta), .giusta = giusta});
        conPunti += giusta ? 1 : 0;
    }
    const bool ultima = domanda >= frasi::kDomande;
    // Before the last question, a checkpoint: the record holds what "Esco" at the next
    // question would store, so a power cut loses at most the question on screen.
    if (!s_.storeStep({.stage = Stage::Frasi,
                       .sub = domanda + 1,
                       .done = ultima,
                       .fields = {{QStringLiteral("frasi1"), conPunti}},
                       .answers = risposte}))
        return Outcome::NotStored;
    punti = conPunti;
    ++domanda;
    check_.clear();
    if (ultima) {
        s_.handOver(Stage::Frasi);
        return Outcome::Finished;
    }
    return Outcome::Shown;
}

FrasiModel::Outcome FrasiModel::leave()
{
    domanda = std::max<qint16>(domanda, 1);
    if (!s_.storeStep({.stage = Stage::Frasi, .sub = domanda, .fields = {{QStringLiteral("frasi1"), punti}}}))
        return Outcome::NotStored; // leaving now would lose the work: stay, to try again
    s_.closeAndExit();
    return Outcome::Left;
}

QString FrasiModel::premessa() const
{
    if (domanda < 1 || domanda > frasi::kDomande)
        return {};
    return domande[size_t(domanda)][0];
}

QString FrasiModel::conclusione(int k) const
{
    if (k < 0 || k > 3 || domanda < 1 || domanda > frasi::kDomande)
        return {};
    return domande[size_t(domanda)][size_t(k + 1)];
}

} // namespace qv
