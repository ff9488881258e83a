#include "battery/analysis/analysismodel.h"

#include "battery/analysis/analysiscontent.h"
#include "storage/database.h"

#include <algorithm>

namespace qv {

namespace {

// Positions in the content tables: 0 ordine, 1 nr_elementi, then ten elements and ten
// categories.
constexpr int kNrElementi = 1;

qint16 clamp16(int v)
{
    return qint16(std::clamp(v, -32768, 32767));
}

} // namespace

QString AnalysisModel::element(int row) const
{
    return row >= 0 && row < kRighe ? elements_[size_t(row)] : QString();
}

QString AnalysisModel::box(int row) const
{
    return row >= 0 && row < kRighe ? boxes_[size_t(row)] : QString();
}

bool AnalysisModel::drop(int row, int category)
{
    if (row < 0 || row >= kRighe || category < 0 || category >= categorie().size())
        return false;
    boxes_[size_t(row)] = categorie().at(category);
    return true;
}

void AnalysisModel::clearBoxes()
{
    elements_.fill(QString());
    boxes_.fill(QString());
}

QString AnalysisModel::tableMessage() const
{
    return QStringLiteral("Le frasi dell'%1 non si trovano nell'archivio (tabella \"%2\"): il test non "
                          "può essere svolto. Avverti l'insegnante; con \"Esco\" il punto raggiunto "
                          "resta registrato.")
        .arg(cfg_.testName, cfg_.table);
}

bool AnalysisModel::open()
{
    ready_ = false;
    giuste_ = 0;
    nelementi_ = 0;
    clearBoxes();
    s_.state.elementi.fill(QString());
    rsfrasi_.reset();
    if (Database *db = s_.state.dbrisultati.get(); db && db->isOpen())
        rsfrasi_ = db->openRecordset(cfg_.table);

    s_.startStretch();
    const bool ripresa = s_.state.tipoavvio == kAvvioRipresa;
    // The progress is read even when no sentence can be shown, so that "Esco" stores it
    // back unchanged instead of overwriting it with a fresh start.
    if (ripresa) {
        resume();
    } else {
        punti_ = 0;
        numfrase_ = 1;
        s_.state.minuti = 0;
        s_.forgetAnswers(prova());
    }

    if (!rsfrasi_ || rsfrasi_->recordCount() < cfg_.minRows) {
        rsfrasi_.reset();
        s_.dialogs.alert(tableMessage());
        return false;
    }
    // Sentences follow ordine both on a fresh start and on resumption, so that "sub"
    // always names the sentence that was on show.
    rsfrasi_->setIndex(QStringLiteral("ordine"));
    if (!ripresa) {
        rsfrasi_->moveFirst();
    } else if (!seekSentence()) {
        s_.dialogs.alert(QStringLiteral("Non trovo la frase %1 dell'%2: il test ricomincia dalla prima frase.")
                             .arg(numfrase_)
                             .arg(cfg_.testName));
        // The score read belongs to sentences that are now done again.
        numfrase_ = 1;
        punti_ = 0;
        s_.forgetAnswers(prova());
        rsfrasi_->moveFirst();
    }
    loadSentence();
    ready_ = true;
    return true;
}

void AnalysisModel::resume()
{
    // Every step tolerates failure: a field that cannot be read keeps its start value.
    Modquorv &st = s_.state;
    s_.holdRecord();
    for (const QString &f : cfg_.resumeOrder) {
        if (f == QLatin1String("sub"))
            numfrase_ = clamp16(s_.pupilFieldOrInit(f, 1));
        else if (f == QLatin1String(stageCodes(cfg_.stage).minuti))
            st.minuti = clamp16(s_.pupilFieldOrInit(f, 0));
        else if (f == cfg_.scoreField)
            punti_ = clamp16(s_.pupilFieldOrInit(f, 0));
    }
}

bool AnalysisModel::seekSentence()
{
    if (numfrase_ < 1 || numfrase_ > kFrasi)
        return false;
    if (rsfrasi_->seek(QStringLiteral("="), int(numfrase_)) && !rsfrasi_->noMatch() && rsfrasi_->hasCurrent())
        return true;
    // No row numbered so: the sentence in that place, counting round a short table as
    // "Frase seguente" does.
    const int n = rsfrasi_->recordCount();
    if (n <= 0 || !rsfrasi_->moveFirst())
        return false;
    for (int i = 0; i < (numfrase_ - 1) % n; ++i)
        rsfrasi_->moveNext();
    return rsfrasi_->hasCurrent();
}

void AnalysisModel::loadSentence()
{
    bool ok = false;
    const int n = rsfrasi_->field(kNrElementi).toInt(&ok);
    nelementi_ = qint16(ok ? std::clamp(n, 0, int(kRighe)) : 0);
    for (int k = 1; k <= nelementi_; ++k) {
        const QString e = rsfrasi_->field(kNrElementi + k).toString();
        s_.state.elementi[size_t(k)] = e;
        elements_[size_t(k - 1)] = e;
    }
}

QString AnalysisModel::prova() const
{
    return QString::fromLatin1(stageCodes(cfg_.stage).prova);
}

QList<Answer> AnalysisModel::risultato()
{
    giuste_ = 0;
    QList<Answer> risposte;
    if (!rsfrasi_)
        return risposte;
    for (int k = 1; k <= nelementi_; ++k) {
        const QString &b = boxes_[size_t(k - 1)];
        const bool giusta = !b.isEmpty() && rsfrasi_->field(kNrElementi + kRighe + k).toString() == b;
        risposte.append({.prova = prova(), .numero = analysisItem(numfrase_, k), .risposta = b, .giusta = giusta});
        if (giusta)
            ++giuste_;
    }
    return risposte;
}

AnalysisModel::Outcome AnalysisModel::next()
{
    if (!ready_) {
        s_.dialogs.alert(tableMessage());
        return Outcome::Stay;
    }
    for (int k = 0; k < nelementi_; ++k) {
        if (boxes_[size_t(k)].isEmpty()) {
            s_.dialogs.alert(QStringLiteral("Devi completare l'esercizio"));
            return Outcome::Stay;
        }
    }
    const QList<Answer> risposte = risultato();
    const qint16 conPunti = clamp16(punti_ + giuste_);
    const bool ultima = numfrase_ >= kFrasi;
    // Before the last sentence, a checkpoint: the record holds what "Esco" on the next
    // sentence would store, so a power cut loses at most the sentence on show.
    if (!s_.storeStep({.stage = cfg_.stage,
                       .sub = numfrase_ + 1,
                       .done = ultima,
                       .fields = {{cfg_.scoreField, int(conPunti)}},
                       .answers = risposte}))
        return Outcome::Stay;
    punti_ = conPunti;
    if (ultima) {
        ready_ = false;
        s_.handOver(cfg_.stage);
        return Outcome::Finished;
    }
    ++numfrase_;
    clearBoxes();
    s_.state.elementi.fill(QString());
    // A table shorter than six rows starts again from its first row.
    if (!rsfrasi_->moveNext() || rsfrasi_->eof())
        rsfrasi_->moveFirst();
    loadSentence();
    return Outcome::Next;
}

void AnalysisModel::leave()
{
    numfrase_ = std::max<qint16>(numfrase_, 1);
    // Leaving when the store fails would lose the work since the last store: stay, to try again.
    if (s_.storeStep({.stage = cfg_.stage, .sub = numfrase_, .fields = {{cfg_.scoreField, int(punti_)}}}))
        s_.closeAndExit();
}

} // namespace qv
