// The archive's school years: the heading, the closed years shown read-only in place of the
// current one, the close, the year corrected, and what the school keeps.
#include "archive/archivio.h"

#include "storage/schema.h"

#include <QTemporaryDir>

namespace qv {

namespace {
// The current year for which the erasure of older years was last offered.
const QString kErasureAskedKey = QStringLiteral("anni_cancellazione_chiesta");
} // namespace

std::unique_ptr<SchoolYears> ArchivioModel::years() const
{
    Database *db = s_.state.dbannocorrente ? s_.state.dbannocorrente.get() : s_.state.dbrisultati.get();
    return db ? std::make_unique<SchoolYears>(*db, s_.dataDir()) : nullptr;
}

bool ArchivioModel::refusePast()
{
    if (!annoPassato())
        return false;
    s_.dialogs.alert(QStringLiteral("Stai guardando l'anno scolastico %1, che è chiuso: i suoi risultati si possono guardare, "
                                    "stampare ed esportare per un foglio di calcolo, ma non cambiare. Per tornare all'anno in "
                                    "corso clicca su \"Anni precedenti\".")
                         .arg(yearCaption(annoVisto_)));
    return true;
}

QString ArchivioModel::intestazioneAnno() const
{
    if (annoPassato())
        return QStringLiteral("Anno scolastico %1 (chiuso: solo da guardare)").arg(yearCaption(annoVisto_));
    const auto y = years();
    return y ? y->heading(s_.clock.now().date()) : QString();
}

QList<PastYear> ArchivioModel::anniPrecedenti() const
{
    const auto y = years();
    return y ? y->pastYears() : QList<PastYear>();
}

std::vector<insight::YearSummary> ArchivioModel::confronto() const
{
    std::vector<insight::YearSummary> out;
    const auto y = years();
    if (!y || !s_.state.dbrisultati)
        return out;
    QString e;
    insight::YearSummary shown;
    const int year = annoPassato() ? annoVisto_ : annoInCorso();
    if (insight::summarizeYear(*s_.state.dbrisultati, year, shown, &e))
        out.push_back(shown);
    QTemporaryDir scratch;
    for (const PastYear &past : y->pastYears()) {
        if (past.state != PastYear::State::Ok || past.year == year)
            continue;
        std::unique_ptr<Database> db = y->openPast(past, scratch.path(), &e);
        insight::YearSummary one;
        if (db && insight::summarizeYear(*db, past.year, one, &e))
            out.push_back(one);
    }
    return out;
}

int ArchivioModel::annoInCorso() const
{
    const auto y = years();
    return y ? y->current(s_.clock.now().date()).year : schoolYearOf(s_.clock.now().date());
}

void ArchivioModel::guardoAnno(const PastYear &past)
{
    const auto y = years();
    if (!y)
        return;
    QString e;
    if (!pastScratch_)
        pastScratch_ = std::make_unique<QTemporaryDir>();
    std::unique_ptr<Database> db = y->openPast(past, pastScratch_->path(), &e);
    if (!db) {
        s_.dialogs.alert(e);
        return;
    }
    Modquorv &st = s_.state;
    st.rsclasse.reset();
    if (!st.dbannocorrente)
        st.dbannocorrente = std::move(st.dbrisultati);
    st.dbrisultati = std::move(db);
    annoVisto_ = past.year;
    reload();
}

void ArchivioModel::tornoAnnoInCorso()
{
    Modquorv &st = s_.state;
    if (!st.dbannocorrente)
        return;
    st.rsclasse.reset();
    st.dbrisultati = std::move(st.dbannocorrente);
    annoVisto_ = 0;
    pastScratch_.reset();
    reload();
}

void ArchivioModel::chiudoAnno(const std::function<void(const char *)> &step)
{
    if (refusePast())
        return;
    const auto y = years();
    if (!y)
        return;
    const ClosePreview p = y->preview(s_.clock.now().date());
    if (!p.refusal.isEmpty()) {
        s_.dialogs.alert(p.refusal);
        return;
    }
    if (!s_.dialogs.ask(p.question(), Dialogs::Buttons::YesNo))
        return;
    // No cursor may stand on the rows taken out.
    s_.state.rsclasse.reset();
    const SchoolYears::Outcome o = y->close(p, s_.clock.now(), step);
    reload();
    s_.dialogs.alert(o.message);
    if (o.ok)
        offroCancellazione();
}

void ArchivioModel::cambioAnno(int year)
{
    if (refusePast())
        return;
    const auto y = years();
    if (!y)
        return;
    const SchoolYears::Outcome o = y->correct(year, s_.clock.now().date());
    if (changed)
        changed();
    s_.dialogs.alert(o.message);
}

int ArchivioModel::anniConservati() const
{
    const auto y = years();
    return y ? y->kept() : kYearsKeptDefault;
}

void ArchivioModel::conservoAnni(int n)
{
    const auto y = years();
    if (!y)
        return;
    const SchoolYears::Outcome o = y->setKept(n);
    if (!o.ok) {
        s_.dialogs.alert(o.message);
        return;
    }
    // A shorter limit may leave years to erase now.
    Database &db = s_.state.dbannocorrente ? *s_.state.dbannocorrente : *s_.state.dbrisultati;
    setSetting(db, kErasureAskedKey, QString());
    offroCancellazione();
}

void ArchivioModel::offroCancellazione()
{
    const auto y = years();
    if (!y)
        return;
    Database &db = s_.state.dbannocorrente ? *s_.state.dbannocorrente : *s_.state.dbrisultati;
    const QDate today = s_.clock.now().date();
    const QList<int> old = y->beyondLimit(today);
    const QString year = QString::number(y->current(today).year);
    if (old.isEmpty() || setting(db, kErasureAskedKey) == year)
        return;
    // Asked once a year: a No stands until the next year begins.
    setSetting(db, kErasureAskedKey, year);
    if (!s_.dialogs.ask(y->eraseQuestion(old), Dialogs::Buttons::YesNo))
        return;
    s_.dialogs.alert(y->erase(old, s_.clock.now()).message);
}

} // namespace qv
