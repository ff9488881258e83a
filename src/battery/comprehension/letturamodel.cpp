#include "battery/comprehension/letturamodel.h"

#include <algorithm>

namespace qv {

namespace {
const QString kPrima = QStringLiteral("prima");
const QString kSeconda = QStringLiteral("seconda");
const QString kProva = QStringLiteral("lettura");
} // namespace

struct LetturaModel::Snapshot {
    qint16 domanda, risposta;
    QString brano;
    int lessico, fatti, inferen, scopi;
    qint16 sintesi;
    std::array<bool, 4> check;
    Layout layout;
    qint16 minuti, tipoavvio;
    QDateTime orainizio, orafine;
    int risposteInAttesa;
};

LetturaModel::Snapshot LetturaModel::snapshot() const
{
    const Modquorv &st = s_.state;
    return {domanda, risposta, brano, lessico, fatti, inferen, scopi, sintesi, check_, layout_,
            st.minuti, st.tipoavvio, st.orainizio, st.orafine, s_.pendingAnswers()};
}

void LetturaModel::restore(const Snapshot &sn)
{
    domanda = sn.domanda;
    risposta = sn.risposta;
    brano = sn.brano;
    lessico = sn.lessico;
    fatti = sn.fatti;
    inferen = sn.inferen;
    scopi = sn.scopi;
    sintesi = sn.sintesi;
    check_ = sn.check;
    layout_ = sn.layout;
    Modquorv &st = s_.state;
    st.minuti = sn.minuti;
    st.tipoavvio = sn.tipoavvio;
    st.orainizio = sn.orainizio;
    st.orafine = sn.orafine;
    s_.dropAnswersFrom(sn.risposteInAttesa);
}

void LetturaModel::azzera()
{
    lessico = fatti = inferen = scopi = 0;
    sintesi = 0;
}

// A stored score; Null or unreadable counts as 0 (a record left by a run that ended
// without storing).
int LetturaModel::storedScore(const QString &field) const
{
    bool ok = false;
    const int v = s_.pupilField(field).toInt(&ok);
    return ok ? v : 0;
}

void LetturaModel::preview()
{
    layout_ = Layout::Brano1;
    check_ = {};
    domande = lettura::domande();
    domanda = 1;
}

void LetturaModel::setUp()
{
    Modquorv &st = s_.state;
    layout_ = Layout::Brano1;
    check_ = {};
    risposta = 0;
    domande = lettura::domande();
    soluzioni = lettura::soluzioni();
    azzera();

    // The pupil's record: where name entry left the cursor, i.e. on segnalibro.
    s_.holdRecord();
    const int sub = s_.pupilFieldOrInit(QStringLiteral("sub"), 1);
    // A progress code outside the test cannot name a question: keep within 1..34.
    domanda = qint16(std::clamp(sub, 1, lettura::kDomande));

    s_.startStretch();

    if (st.tipoavvio != kAvvioRipresa) {
        st.minuti = 0;
        brano = kPrima;
        domanda = 1;
        s_.forgetAnswers(kProva);
        return;
    }

    st.minuti = qint16(std::clamp(s_.pupilFieldOrInit(QStringLiteral("temlettura"), 0), 0, 32767));
    if (domanda < lettura::kPrimaSecondo) {
        brano = kPrima;
        lessico = storedScore(QStringLiteral("lessico1"));
        fatti = storedScore(QStringLiteral("fatti1"));
        inferen = storedScore(QStringLiteral("inferen1"));
        sintesi = qint16(storedScore(QStringLiteral("sintesi1")));
        if (domanda == lettura::kUltimaPrimo)
            layout_ = Layout::Sintesi;
    } else {
        brano = kSeconda;
        layout_ = Layout::Brano2;
        scopi = storedScore(QStringLiteral("scopi2"));
        fatti = storedScore(QStringLiteral("fatti2"));
        inferen = storedScore(QStringLiteral("inferen2"));
        sintesi = qint16(storedScore(QStringLiteral("sintesi2")));
    }
}

void LetturaModel::choose(int k, bool ticked)
{
    if (k < 0 || k > 3)
        return;
    check_ = {};
    check_[size_t(k)] = ticked;
    risposta = qint16(k + 1);
}

bool LetturaModel::anyChecked() const
{
    return std::any_of(check_.begin(), check_.end(), [](bool b) { return b; });
}

void LetturaModel::risultato()
{
    const int q = domanda;
    if (q < 1 || q > lettura::kDomande)
        return;
    // A question scores only in its own passage.
    if (brano != (q < lettura::kPrimaSecondo ? kPrima : kSeconda))
        return;
    const Item &item = lettura::items().at(q - 1);
    const bool giusta = risposta == soluzioni[size_t(q)];
    s_.logAnswer({kProva, q, risposta > 0 ? QString::number(risposta) : QString(), giusta});
    // The counter of the item's category: the field name without the passage digit.
    const QStringView cat = QStringView(item.categoria).chopped(1);
    if (cat == u"sintesi")
        sintesi = giusta ? 1 : 0;
    else if (!giusta)
        return;
    else if (cat == u"lessico")
        ++lessico;
    else if (cat == u"fatti")
        ++fatti;
    else if (cat == u"inferen")
        ++inferen;
    else if (cat == u"scopi")
        ++scopi;
}

LetturaModel::Outcome LetturaModel::nextQuestion()
{
    if (!anyChecked()) {
        s_.dialogs.alert(QStringLiteral("Devi fornire la risposta"));
        return Outcome::NoAnswer;
    }
    // A failed store leaves the question, the ticked box and the counters as they were.
    const Snapshot before = snapshot();
    risultato();
    check_ = {};
    ++domanda;

    if (domanda > lettura::kDomande) {
        if (!registro()) {
            restore(before);
            s_.warnStoreFailed();
            return Outcome::NotStored;
        }
        return Outcome::Finished;
    }
    if (domanda == lettura::kPrimaSecondo) {
        if (!registro()) {
            restore(before);
            s_.warnStoreFailed();
            return Outcome::NotStored;
        }
        brano = kSeconda;
        layout_ = Layout::Brano2;
        return Outcome::Shown;
    }
    if (domanda == lettura::kUltimaPrimo)
        layout_ = Layout::Sintesi;
    // Checkpoint, so a power cut loses at most the question on screen. A failure is told
    // at once, as the passage's store does, and the question stays on screen with its
    // answer ticked, so nothing more than it is ever held only in memory.
    if (!storeProgress(true)) {
        restore(before);
        s_.warnStoreFailed();
        return Outcome::NotStored;
    }
    return Outcome::Shown;
}

bool LetturaModel::registro()
{
    Modquorv &st = s_.state;
    const Session::Stretch prima = s_.stretch();
    s_.endStretch();

    if (brano == kPrima) {
        if (!s_.storePupil({{QStringLiteral("sub"), 14},
                            {QStringLiteral("arrivo"), 2},
                            {QStringLiteral("lessico1"), lessico},
                            {QStringLiteral("fatti1"), fatti},
                            {QStringLiteral("inferen1"), inferen},
                            {QStringLiteral("sintesi1"), sintesi},
                            {QStringLiteral("temlettura"), st.minuti}})) {
            s_.restoreStretch(prima);
            return false;
        }
        lessico = fatti = inferen = 0;
        sintesi = 0;
        st.orainizio = st.orafine;
        return true;
    }

    if (!s_.storePupil({{QStringLiteral("sub"), 1},
                        {QStringLiteral("arrivo"), 3},
                        {QStringLiteral("scopi2"), scopi},
                        {QStringLiteral("fatti2"), fatti},
                        {QStringLiteral("inferen2"), inferen},
                        {QStringLiteral("sintesi2"), sintesi},
                        {QStringLiteral("temlettura"), st.minuti}})) {
        s_.restoreStretch(prima);
        return false;
    }
    st.tipoavvio = kAvvioNuovo;
    st.minuti = 0;
    s_.nav.hide(Screen::FLETTURA);
    s_.nav.show(Screen::FLgrasem);
    return true;
}

// The record as "Esco" leaves it: the question on screen and the scores of the passage in
// use. With `continueStretch` the stretch restarts now (a checkpoint while the pupil goes on);
// otherwise it ends (leaving). On failure the minutes and times are as they were, so the
// next store counts this stretch.
bool LetturaModel::storeProgress(bool continueStretch)
{
    Modquorv &st = s_.state;
    if (domanda < 1)
        domanda = 1;
    const Session::Stretch prima = s_.stretch();
    if (continueStretch)
        s_.endStretchAndContinue();
    else
        s_.endStretch();

    bool ok;
    if (brano == kSeconda) {
        ok = s_.storePupil({{QStringLiteral("sub"), domanda},
                            {QStringLiteral("arrivo"), 2},
                            {QStringLiteral("scopi2"), scopi},
                            {QStringLiteral("fatti2"), fatti},
                            {QStringLiteral("inferen2"), inferen},
                            {QStringLiteral("sintesi2"), sintesi},
                            {QStringLiteral("temlettura"), st.minuti}});
    } else {
        ok = s_.storePupil({{QStringLiteral("sub"), domanda},
                            {QStringLiteral("arrivo"), 1},
                            {QStringLiteral("lessico1"), lessico},
                            {QStringLiteral("fatti1"), fatti},
                            {QStringLiteral("inferen1"), inferen},
                            {QStringLiteral("sintesi1"), sintesi},
                            {QStringLiteral("temlettura"), st.minuti}});
    }
    if (!ok) {
        s_.restoreStretch(prima);
    }
    return ok;
}

LetturaModel::Outcome LetturaModel::leave()
{
    if (!storeProgress(false)) {
        // Leaving now would lose the work: stay, so the pupil can try again.
        s_.warnStoreFailed();
        return Outcome::NotStored;
    }
    s_.closeAndExit();
    return Outcome::Left;
}

QString LetturaModel::labris(int i) const
{
    if (i < 0 || i > 4 || domanda < 1 || domanda > lettura::kDomande)
        return {};
    return domande[size_t(domanda)][size_t(i)];
}

QString LetturaModel::opzione(int k) const
{
    if (k < 0 || k > 3)
        return {};
    if (layout_ == Layout::Sintesi)
        return lettura::riassunti()[size_t(k)].simplified();
    return labris(k + 1).simplified();
}

QString LetturaModel::testo() const
{
    switch (layout_) {
    case Layout::Brano1: return lettura::brano1();
    case Layout::Sintesi: return lettura::sintesiTesto();
    case Layout::Brano2: return lettura::brano2();
    }
    return {};
}

QString LetturaModel::testo2() const
{
    return layout_ == Layout::Sintesi ? lettura::sintesiTesto2() : QString();
}

int LetturaModel::testoPunti() const
{
    switch (layout_) {
    case Layout::Brano1: return 12;
    case Layout::Sintesi: return 10;
    case Layout::Brano2: return 14;
    }
    return 12;
}

} // namespace qv
