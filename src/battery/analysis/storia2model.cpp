#include "battery/analysis/storia2model.h"

#include <algorithm>

namespace qv {

namespace {

const QString kDevi = QStringLiteral("Devi completare l'esercizio");
const QString kProva = QStringLiteral("cronologia");

} // namespace

Storia2Model::Storia2Model(Session &s) : s_(s) {}

const QString &Storia2Model::chiave(int r) const
{
    return cronologiaData(cronologiaEventiMeta(parte_).at(size_t(r)));
}

void Storia2Model::caricaParte(int parte)
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
    caricaParte(1);
}

void Storia2Model::Secondo()
{
    caricaParte(2);
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

QList<Answer> Storia2Model::risultato()
{
    giuste_ = 0;
    QList<Answer> risposte;
    const auto &eventi = cronologiaEventiMeta(parte_);
    for (int r = 0; r < kRighe; ++r) {
        const bool giusta = casella_[size_t(r)] == chiave(r);
        risposte.append({.prova = kProva, .numero = eventi[size_t(r)], .risposta = casella_[size_t(r)], .giusta = giusta});
        if (giusta)
            ++giuste_;
    }
    return risposte;
}

bool Storia2Model::registra(bool conMeta)
{
    // A half stored scored moves the progress past it: after the first half the record
    // holds what "Esco" on the second half would store; after the second the test is done.
    QList<Answer> risposte;
    int conPunti = punti_;
    if (conMeta) {
        risposte = risultato();
        conPunti += giuste_;
    }
    if (!s_.storeStep({.stage = Stage::Cronologia,
                       .sub = conMeta ? parte_ + 1 : parte_,
                       .done = conMeta && parte_ == 2,
                       .fields = {{QStringLiteral("cronolog"), conPunti}},
                       .answers = risposte}))
        return false;
    punti_ = conPunti;
    return true;
}

void Storia2Model::apertura()
{
    Modquorv &st = s_.state;
    s_.startStretch();
    if (st.tipoavvio != kAvvioRipresa) {
        punti_ = 0;
        st.minuti = 0;
        s_.forgetAnswers(kProva);
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
            s_.forgetAnswers(kProva);
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
    // If the half cannot be stored the pupil is told and it stays on show as they left it.
    if (!registra(true))
        return;
    if (parte_ == 1)
        Secondo();
    else
        s_.handOver(Stage::Cronologia);
}

void Storia2Model::esco()
{
    // A complete half is scored and stored; otherwise the half on show is not scored, but
    // the minutes of this stretch are kept with its progress code. If the store fails the
    // pupil is told and stays: leaving now would lose the half.
    Controlla();
    if (registra(completo_ == QLatin1String("si")))
        s_.closeAndExit();
}

} // namespace qv
