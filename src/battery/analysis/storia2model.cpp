#include "battery/analysis/storia2model.h"

#include <algorithm>

namespace qv {

namespace {

const QString kDevi = QStringLiteral("Devi completare l'esercizio");

} // namespace

Storia2Model::Storia2Model(Session &s) : s_(s) {}

bool Storia2Model::store(const FieldValues &fields)
{
    if (s_.storePupil(fields))
        return true;
    s_.warnStoreFailed();
    return false;
}

const QString &Storia2Model::chiave(int r) const
{
    return cronologiaData(cronologiaEventiMeta(parte_).at(size_t(r)));
}

void Storia2Model::mostra(int parte)
{
    parte_ = parte;
    const auto &eventi = cronologiaEventiMeta(parte);
    const auto &date = cronologiaDateMeta(parte);
    for (int r = 0; r < kRighe; ++r) {
        evento_[size_t(r)] = cronologiaEvento(eventi[size_t(r)]);
        data_[size_t(r)] = cronologiaData(date[size_t(r)]);
    }
    casella_.fill(QString());
    usata_.fill(false);
}

void Storia2Model::Primo()
{
    mostra(1);
}

void Storia2Model::Secondo()
{
    mostra(2);
}

void Storia2Model::Controlla()
{
    const bool vuota = std::any_of(casella_.begin(), casella_.end(),
                                   [](const QString &c) { return c.isEmpty(); });
    completo_ = vuota ? QStringLiteral("no") : QStringLiteral("si");
}

void Storia2Model::messaggi()
{
    s_.dialogs.alert(kDevi);
}

void Storia2Model::risultato()
{
    giuste_ = 0;
    const auto &eventi = cronologiaEventiMeta(parte_);
    for (int r = 0; r < kRighe; ++r) {
        const bool giusta = casella_[size_t(r)] == chiave(r);
        s_.logAnswer({QStringLiteral("cronologia"), eventi[size_t(r)], casella_[size_t(r)], giusta});
        if (giusta)
            ++giuste_;
    }
    punti_ += giuste_;
}

bool Storia2Model::Registra()
{
    const Session::Stretch prima = s_.stretch();
    s_.endStretchAndContinue();
    // After the first half the record holds what "Esco" on the second half would store.
    const bool ok = parte_ == 1 ? storeProgress(2)
                                : store({{QStringLiteral("cronolog"), punti_},
                                         {QStringLiteral("arrivo"), 9},
                                         {QStringLiteral("sub"), 1},
                                         {QStringLiteral("temcrono"), int(s_.state.minuti)}});
    if (!ok)
        s_.restoreStretch(prima);
    return ok;
}

bool Storia2Model::storeProgress(int parte)
{
    return store({{QStringLiteral("cronolog"), punti_},
                  {QStringLiteral("arrivo"), 8},
                  {QStringLiteral("sub"), parte},
                  {QStringLiteral("temcrono"), int(s_.state.minuti)}});
}

void Storia2Model::apertura()
{
    Modquorv &st = s_.state;
    s_.startStretch();
    if (st.tipoavvio != kAvvioRipresa) {
        punti_ = 0;
        st.minuti = 0;
        s_.forgetAnswers(QStringLiteral("cronologia"));
        Primo();
        return;
    }
    // Resumption: a step that cannot be done is passed over, and a progress code that
    // cannot be read starts the first half.
    s_.holdRecord();
    st.minuti = qint16(std::clamp(s_.pupilFieldOrInit(QStringLiteral("temcrono"), 0), 0, 32767));
    punti_ = s_.pupilFieldOrInit(QStringLiteral("cronolog"), 0);
    int parte = s_.pupilFieldOrInit(QStringLiteral("sub"), 1);
    if (parte == 0)
        parte = 1;
    if (parte == 2) {
        Secondo();
    } else {
        if (parte != 1) {
            punti_ = 0;
            s_.forgetAnswers(QStringLiteral("cronologia"));
        }
        Primo();
    }
}

bool Storia2Model::drop(int box, int source)
{
    if (box < 0 || box >= kRighe || source < 0 || source >= kRighe)
        return false;
    casella_[size_t(box)] = data_[size_t(source)];
    usata_[size_t(source)] = true;
    return true;
}

void Storia2Model::seguente()
{
    Controlla();
    if (completo_ == QLatin1String("no")) {
        messaggi();
        return;
    }
    const int puntiPrima = punti_;
    const int inAttesa = s_.pendingAnswers();
    risultato();
    if (!Registra()) {
        // Nothing was written: the half stays on show as the pupil left it, to try again.
        punti_ = puntiPrima;
        s_.dropAnswersFrom(inAttesa);
        return;
    }
    if (parte_ == 1) {
        Secondo();
        return;
    }
    s_.state.tipoavvio = kAvvioNuovo;
    s_.nav.hide(Screen::FLstoria2);
    s_.nav.show(Screen::FLcartge);
}

void Storia2Model::esco()
{
    Controlla();
    const int puntiPrima = punti_;
    const int inAttesa = s_.pendingAnswers();
    const Session::Stretch prima = s_.stretch();
    bool ok;
    if (completo_ == QLatin1String("si")) {
        risultato();
        ok = Registra();
    } else {
        // The half on show is not scored, but the minutes of this stretch are kept with
        // the progress code of the half on show.
        s_.endStretch();
        ok = storeProgress(parte_);
    }
    if (!ok) {
        // The pupil has been told; leaving now would lose the half: stay, to try again.
        punti_ = puntiPrima;
        s_.dropAnswersFrom(inAttesa);
        s_.restoreStretch(prima);
        return;
    }
    s_.closeAndExit();
}

} // namespace qv
