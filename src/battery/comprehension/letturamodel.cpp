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
};

LetturaModel::Snapshot LetturaModel::snapshot() const
{
    return {.domanda = domanda, .risposta = risposta, .brano = brano, .lessico = lessico, .fatti = fatti,
            .inferen = inferen, .scopi = scopi, .sintesi = sintesi, .check = check_.ticked, .layout = layout_};
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
    check_.ticked = sn.check;
    layout_ = sn.layout;
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
    check_.clear();
    domande = lettura::domande();
    domanda = 1;
}

void LetturaModel::setUp()
{
    Modquorv &st = s_.state;
    layout_ = Layout::Brano1;
    check_.clear();
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
    if (check_.choose(k, ticked))
        risposta = qint16(k + 1);
}

std::optional<Answer> LetturaModel::risultato()
{
    const int q = domanda;
    if (q < 1 || q > lettura::kDomande)
        return std::nullopt;
    // A question scores only in its own passage.
    if (brano != (q < lettura::kPrimaSecondo ? kPrima : kSeconda))
        return std::nullopt;
    const Item &item = lettura::items().at(q - 1);
    const bool giusta = risposta == soluzioni[size_t(q)];
    // The counter of the item's category: the field name without the passage digit.
    const QStringView cat = QStringView(item.categoria).chopped(1);
    if (cat == u"sintesi")
        sintesi = giusta ? 1 : 0;
    else if (giusta && cat == u"lessico")
        ++lessico;
    else if (giusta && cat == u"fatti")
        ++fatti;
    else if (giusta && cat == u"inferen")
        ++inferen;
    else if (giusta && cat == u"scopi")
        ++scopi;
    return Answer{.prova = kProva, .numero = q, .risposta = risposta > 0 ? QString::number(risposta) : QString(),
                  .giusta = giusta};
}

LetturaModel::Outcome LetturaModel::nextQuestion()
{
    if (!anyChecked()) {
        s_.dialogs.alert(QStringLiteral("Devi fornire la risposta"));
        return Outcome::NoAnswer;
    }
    // A failed store leaves the question, the ticked box and the counters as they were.
    const Snapshot before = snapshot();
    QList<Answer> risposte;
    if (const std::optional<Answer> a = risultato())
        risposte.append(*a);
    check_.clear();
    ++domanda;

    bool ok;
    if (domanda > lettura::kDomande || domanda == lettura::kPrimaSecondo) {
        ok = registro(risposte);
    } else {
        if (domanda == lettura::kUltimaPrimo)
            layout_ = Layout::Sintesi;
        // Checkpoint, so a power cut loses at most the question on screen.
        ok = storeProgress(risposte);
    }
    if (!ok) {
        restore(before);
        return Outcome::NotStored;
    }
    if (domanda > lettura::kDomande)
        return Outcome::Finished;
    if (domanda == lettura::kPrimaSecondo) {
        brano = kSeconda;
        layout_ = Layout::Brano2;
    }
    return Outcome::Shown;
}

FieldValues LetturaModel::campi() const
{
    if (brano == kSeconda)
        return {{QStringLiteral("scopi2"), scopi},
                {QStringLiteral("fatti2"), fatti},
                {QStringLiteral("inferen2"), inferen},
                {QStringLiteral("sintesi2"), sintesi}};
    return {{QStringLiteral("lessico1"), lessico},
            {QStringLiteral("fatti1"), fatti},
            {QStringLiteral("inferen1"), inferen},
            {QStringLiteral("sintesi1"), sintesi}};
}

bool LetturaModel::registro(const QList<Answer> &risposte)
{
    const Stage stage = brano == kPrima ? Stage::Lettura1 : Stage::Lettura2;
    if (!s_.storeStep({.stage = stage, .done = true, .fields = campi(), .answers = risposte}))
        return false;
    if (stage == Stage::Lettura1) {
        azzera();
        return true;
    }
    s_.handOver(stage);
    return true;
}

// The record as "Esco" leaves it: the question on screen and the scores of the passage in use.
bool LetturaModel::storeProgress(const QList<Answer> &risposte)
{
    domanda = std::max<qint16>(domanda, 1);
    return s_.storeStep({.stage = brano == kSeconda ? Stage::Lettura2 : Stage::Lettura1,
                         .sub = domanda,
                         .fields = campi(),
                         .answers = risposte});
}

LetturaModel::Outcome LetturaModel::leave()
{
    if (!storeProgress({}))
        return Outcome::NotStored; // leaving now would lose the work: stay, to try again
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
