#include "battery/analysis/storia1model.h"

#include "battery/analysis/storiacontent.h"

#include <algorithm>
#include <random>

namespace qv {

namespace {

const QString kDevi = QStringLiteral("Devi completare l'esercizio");
const QString kProva = QStringLiteral("cause");

qint16 asMinuti(int n)
{
    return qint16(std::clamp(n, 0, 32767));
}

} // namespace

Storia1Model::Storia1Model(Session &s) : s_(s)
{
    seed_ = [this] { return quint32(s_.clock.now().toMSecsSinceEpoch()); };
}

void Storia1Model::schem1()
{
    tiposchema_ = 1;
    caselle_ = 3;
}

void Storia1Model::schem2()
{
    tiposchema_ = 2;
    caselle_ = 4;
}

void Storia1Model::svuota()
{
    casella_.fill(QString());
    frase_.fill(QString());
    usata_.fill(false);
}

void Storia1Model::caso()
{
    for (int k = 1; k <= caselle_; ++k)
        libero_[size_t(k)] = k;
    std::mt19937 gen(seed_());
    std::uniform_real_distribution<double> r(0.0, 1.0);
    for (int i = 1; i <= caselle_; ++i) {
        int k = 0;
        do {
            k = std::min(int(caselle_ * r(gen) + 1), caselle_);
        } while (libero_[size_t(k)] == 0);
        sequenza_[size_t(i)] = k;
        libero_[size_t(k)] = 0;
    }
}

void Storia1Model::caricaInsieme()
{
    const QStringList &testi = storiaFrasi(numesercizio_);
    for (int k = 1; k <= caselle_; ++k)
        chiave_[size_t(k)] = testi.value(k - 1);
    caso();
    for (int i = 0; i < caselle_; ++i)
        frase_[size_t(i)] = testi.value(sequenza_[size_t(i + 1)] - 1);
}

void Storia1Model::apertura()
{
    Modquorv &st = s_.state;
    s_.holdRecord();
    const int sub = s_.pupilFieldOrInit(QStringLiteral("sub"), 1);
    numesercizio_ = sub == 0 ? 1 : sub;
    s_.startStretch();
    svuota();

    if (st.tipoavvio != kAvvioRipresa) {
        numesercizio_ = 1;
        punti_ = 0;
        st.minuti = 0;
        s_.forgetAnswers(kProva);
        schem1();
        caricaInsieme();
        return;
    }

    st.minuti = asMinuti(s_.pupilFieldOrInit(QStringLiteral("temcause"), 0));
    if (numesercizio_ < 1 || numesercizio_ > kStoriaInsiemi) {
        // A progress code naming no set: start again from the first set.
        numesercizio_ = 1;
        punti_ = 0;
        s_.forgetAnswers(kProva);
        schem1();
    } else if (numesercizio_ <= kStoriaUltimoSemplice) {
        punti_ = s_.pupilFieldOrInit(QStringLiteral("causasem"), 0);
        schem1();
    } else {
        punti_ = s_.pupilFieldOrInit(QStringLiteral("causacom"), 0);
        schem2();
    }
    caricaInsieme();
}

bool Storia1Model::drop(int box, int source)
{
    if (box < 0 || box >= caselle_ || source < 0 || source >= caselle_)
        return false;
    casella_[size_t(box)] = frase_[size_t(source)];
    usata_[size_t(source)] = true;
    return true;
}

QList<Answer> Storia1Model::risultato()
{
    std::array<bool, kMaxCaselle> giusta{};
    if (tiposchema_ == 1) {
        for (int k = 1; k <= 3; ++k)
            giusta[size_t(k - 1)] = casella_[size_t(k - 1)] == chiave_[size_t(k)];
    } else {
        // The two causes may stand in either order, but each counts once: the same cause
        // in both upper boxes earns one point, since the other cause is missing.
        auto causa = [this](const QString &t) { return t == chiave_[1] || t == chiave_[2]; };
        giusta[0] = causa(casella_[0]);
        giusta[1] = causa(casella_[1]) && !(giusta[0] && casella_[1] == casella_[0]);
        giusta[2] = casella_[2] == chiave_[3];
        giusta[3] = casella_[3] == chiave_[4];
    }
    giuste_ = 0;
    QList<Answer> risposte;
    for (int k = 0; k < caselle_; ++k) {
        risposte.append({.prova = kProva,
                         .numero = causeItem(numesercizio_, k + 1),
                         .risposta = casella_[size_t(k)],
                         .giusta = giusta[size_t(k)]});
        giuste_ += int(giusta[size_t(k)]);
    }
    return risposte;
}

Stage Storia1Model::stage() const
{
    return tiposchema_ == 1 ? Stage::CauseSemplici : Stage::CauseComplesse;
}

QString Storia1Model::scoreField() const
{
    return tiposchema_ == 1 ? QStringLiteral("causasem") : QStringLiteral("causacom");
}

void Storia1Model::nuovo()
{
    for (int i = 0; i < caselle_; ++i) {
        if (casella_[size_t(i)].isEmpty()) {
            s_.dialogs.alert(kDevi);
            return;
        }
    }
    const QList<Answer> risposte = risultato();
    const int conPunti = punti_ + giuste_;
    // The last set of a part stores the part; every other set a checkpoint, what "Esco" on
    // the next set would store, so a power cut loses at most the set on show. If the store
    // fails the pupil is told and the set stays on show as they left it, to try again:
    // going on would lose the part (the simple score is not written again after the change
    // of scheme, and the next test writes over the progress).
    const bool fine = numesercizio_ >= stageCodes(stage()).ultimoSub;
    if (!s_.storeStep({.stage = stage(),
                       .sub = numesercizio_ + 1,
                       .done = fine,
                       .fields = {{scoreField(), conPunti}},
                       .answers = risposte}))
        return;
    punti_ = conPunti;
    ++numesercizio_;
    svuota();
    if (fine && tiposchema_ == 2) {
        s_.handOver(Stage::CauseComplesse);
        return;
    }
    if (fine) {
        schem2();
        punti_ = 0;
    }
    caricaInsieme();
}

void Storia1Model::esco()
{
    numesercizio_ = std::max(numesercizio_, 1);
    // Leaving when the store fails would lose the sets done since the last store: stay.
    if (s_.storeStep({.stage = stage(), .sub = numesercizio_, .fields = {{scoreField(), punti_}}}))
        s_.closeAndExit();
}

} // namespace qv
