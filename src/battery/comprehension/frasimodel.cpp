#include "battery/comprehension/frasimodel.h"

#include <algorithm>

namespace qv {

namespace {
}

void FrasiModel::setUp()
{
    Modquorv &st = s_.state;
    domande = frasi::domande();
    soluzioni = frasi::soluzioni();
    punti = 0;
    risposta = 0;
    check_ = {};

    s_.holdRecord();
    const int sub = s_.pupilFieldOrInit(QStringLiteral("sub"), 1);
    // A progress code outside the test cannot name a question: keep within 1..12.
    domanda = qint16(std::clamp(sub, 1, frasi::kDomande));

    s_.startStretch();

    if (st.tipoavvio != kAvvioRipresa) {
        domanda = 1;
        st.minuti = 0;
        s_.forgetAnswers(QStringLiteral("frasi"));
        return;
    }
    punti = qint16(std::clamp(s_.pupilFieldOrInit(QStringLiteral("frasi1"), 0), 0, frasi::kDomande));
    st.minuti = qint16(std::clamp(s_.pupilFieldOrInit(QStringLiteral("temfrasi"), 0), 0, 32767));
}

void FrasiModel::choose(int k, bool ticked)
{
    if (k < 0 || k > 3)
        return;
    check_ = {};
    check_[size_t(k)] = ticked;
    risposta = qint16(k + 1);
}

bool FrasiModel::anyChecked() const
{
    return std::any_of(check_.begin(), check_.end(), [](bool b) { return b; });
}

FrasiModel::Outcome FrasiModel::nextQuestion()
{
    if (!anyChecked()) {
        s_.dialogs.alert(QStringLiteral("Devi fornire la risposta"));
        return Outcome::NoAnswer;
    }
    const qint16 puntiPrima = punti;
    const int inAttesa = s_.pendingAnswers();
    if (domanda >= 1 && domanda <= frasi::kDomande) {
        const bool giusta = risposta == soluzioni[size_t(domanda)];
        s_.logAnswer({QStringLiteral("frasi"), domanda, QString::number(risposta), giusta});
        if (giusta)
            ++punti;
    }
    ++domanda;
    if (domanda > frasi::kDomande) {
        if (!registro()) {
            // The last answer stays ticked and unscored, so it can be confirmed again.
            punti = puntiPrima;
            s_.dropAnswersFrom(inAttesa);
            --domanda;
            s_.warnStoreFailed();
            return Outcome::NotStored;
        }
        return Outcome::Finished;
    }
    // Checkpoint, so a power cut loses at most the question on screen. A failure is told
    // at once, as the last question's store does, and the question stays on screen with
    // its answer ticked and unscored, to be confirmed again.
    if (!storeProgress(true)) {
        punti = puntiPrima;
        s_.dropAnswersFrom(inAttesa);
        --domanda;
        s_.warnStoreFailed();
        return Outcome::NotStored;
    }
    check_ = {};
    return Outcome::Shown;
}

bool FrasiModel::registro()
{
    Modquorv &st = s_.state;
    const Session::Stretch prima = s_.stretch();
    const qint16 tipoPrima = st.tipoavvio;
    st.tipoavvio = kAvvioNuovo;
    s_.endStretch();
    if (!s_.storePupil({{QStringLiteral("frasi1"), punti},
                        {QStringLiteral("arrivo"), 7},
                        {QStringLiteral("sub"), 1},
                        {QStringLiteral("temfrasi"), st.minuti}})) {
        s_.restoreStretch(prima);
        st.tipoavvio = tipoPrima;
        return false;
    }
    st.minuti = 0;
    s_.nav.show(Screen::FLstoria1);
    s_.nav.hide(Screen::FLfrasi);
    return true;
}

// The record as "Esco" leaves it: the question on screen, the points so far, the minutes.
// With `continueStretch` the stretch restarts now (a checkpoint); otherwise it ends. On
// failure the minutes and times are as they were, so the next store counts this stretch.
bool FrasiModel::storeProgress(bool continueStretch)
{
    Modquorv &st = s_.state;
    if (domanda < 1)
        domanda = 1;
    const Session::Stretch prima = s_.stretch();
    if (continueStretch)
        s_.endStretchAndContinue();
    else
        s_.endStretch();
    if (!s_.storePupil({{QStringLiteral("sub"), domanda},
                        {QStringLiteral("arrivo"), 6},
                        {QStringLiteral("frasi1"), punti},
                        {QStringLiteral("temfrasi"), st.minuti}})) {
        s_.restoreStretch(prima);
        return false;
    }
    return true;
}

FrasiModel::Outcome FrasiModel::leave()
{
    if (!storeProgress(false)) {
        // Leaving now would lose the work: stay, so the pupil can try again.
        s_.warnStoreFailed();
        return Outcome::NotStored;
    }
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
