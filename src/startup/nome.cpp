#include "startup/nome.h"

#include "storage/strumenti.h"
#include "storage/teacherpassword.h"
#include "startup/inizio.h"
#include "storage/pupilrecord.h"
#include "storage/schoolyear.h"

namespace qv {

QString NomeModel::unreachableMessage(const QString &why)
{
    return QStringLiteral("Non riesco a leggere l'archivio dei risultati (%1). Riprova fra poco; se il problema "
                          "continua, chiama l'insegnante.")
        .arg(why);
}

void NomeModel::tellUnreachable(const QString &why)
{
    s_.dialogs.alert(unreachableMessage(why.isEmpty() ? QStringLiteral("archivio chiuso") : why));
}

QStringList NomeModel::load()
{
    QStringList names;
    Modquorv &st = s_.state;
    std::unique_ptr<Recordset> rs = st.dbrisultati ? st.dbrisultati->openRecordset(st.tabellaclasse) : nullptr;
    if (!rs) {
        tellUnreachable(st.dbrisultati ? st.dbrisultati->lastError() : QString());
        return names;
    }
    // An empty class stands at its beginning and its end at once; a first row that could
    // not be read leaves the cursor before it only.
    if (rs->bof() && !rs->eof()) {
        tellUnreachable(rs->lastError());
        return names;
    }
    if (rs->bof()) {
        s_.dialogs.alert(QStringLiteral("L'archivio è vuoto..."));
        return names;
    }
    rs->moveFirst();
    while (!rs->eof()) {
        names << rs->field(QStringLiteral("nome")).toString();
        if (!rs->moveNext())
            break;
    }
    return names;
}

namespace {
// The first `max` characters (code points), never cutting a surrogate pair.
QString cutToCharacters(const QString &s, int max)
{
    int units = 0;
    for (int chars = 0; units < s.size() && chars < max; ++chars)
        units += (s.at(units).isHighSurrogate() && units + 1 < s.size() && s.at(units + 1).isLowSurrogate()) ? 2 : 1;
    return s.left(units);
}
// Without what the database cannot keep as text: lone surrogates and U+FFFE, U+FFFF come
// back from it as U+FFFD, and a name holding them would never be found again; NUL, which no
// text of the server can hold.
QString storable(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            out += c;
            out += s.at(++i);
        } else if (!c.isSurrogate() && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF && c.unicode() != 0) {
            out += c;
        }
    }
    return out;
}
} // namespace

QString NomeModel::buildName(const QString &cognome, const QString &nome)
{
    QString n = cutToCharacters(storable(cognome).trimmed() + QLatin1Char(' ') + storable(nome).trimmed(), kNameMaxLength);
    // Full Unicode upper case may lengthen a name (ß → SS): cut again to what the field holds.
    return cutToCharacters(n.trimmed().toUpper(), kNameMaxLength).trimmed();
}

bool NomeModel::openShared()
{
    Modquorv &st = s_.state;
    st.rsclasse.reset();
    if (st.dbrisultati)
        st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
    if (st.rsclasse)
        return true;
    tellUnreachable(st.dbrisultati ? st.dbrisultati->lastError() : QString());
    return false;
}

bool NomeModel::skipEarlierYears(Recordset &rs)
{
    // Records of an earlier school year not yet closed are another child's, or the same
    // child's last year: neither a duplicate name nor a test to resume.
    const QString cut = s_.state.dbrisultati ? currentYear(*s_.state.dbrisultati, s_.clock.now().date()).cut : QString();
    if (cut.isEmpty())
        return true;
    while (!rs.eof() && rs.field(QStringLiteral("nome")).toString() == nomecompleto_) {
        if (rs.field(QStringLiteral("data")).toString() >= cut)
            return true;
        if (!rs.moveNext())
            return false;
    }
    return false;
}

bool NomeModel::findResumable(Recordset &rs, bool nullProgressIsComplete)
{
    while (!rs.eof()) {
        if (rs.field(QStringLiteral("nome")).toString() != nomecompleto_)
            return false;
        const QVariant a = rs.field(QStringLiteral("arrivo"));
        const QVariant b = rs.field(QStringLiteral("sub"));
        if (!a.isNull() && !b.isNull()) {
            const int arrivo = a.toInt();
            const int sub = b.toInt();
            if (arrivo < kArrivoComplete || (arrivo == kArrivoComplete && sub < kSubComplete))
                return true;
        } else if (!nullProgressIsComplete) {
            return true;
        }
        if (!rs.moveNext())
            return false;
    }
    return false;
}

NomeModel::Outcome NomeModel::noneToComplete()
{
    s_.dialogs.alert(QStringLiteral("Non ci sono test da completare a questo nome."));
    s_.nav.unload(Screen::FLINIZIO);
    s_.nav.show(Screen::FLINIZIO);
    return Outcome::Reloaded;
}

void NomeModel::reset()
{
    s_.state.dbdocente.reset();
    nomecompleto_.clear();
    scelta_.clear();
    chosenTools_.reset();
}

bool NomeModel::chooseTools(const QString &cognome, const QString &nome)
{
    if (!openArchiveDoor(s_))
        return false;
    const QString chi = buildName(cognome, nome);
    const auto chosen = s_.dialogs.askTools(chi.isEmpty() ? QStringLiteral("l'alunno che sta per iniziare") : chi,
                                            chosenTools_.value_or(PupilTools()));
    if (!chosen)
        return false;
    chosenTools_ = chosen;
    return true;
}

void NomeModel::takeTools()
{
    Modquorv &st = s_.state;
    const QString data = st.rsclasse->field(QStringLiteral("data")).toString();
    PupilTools tools;
    QString e;
    if (chosenTools_) {
        tools = *chosenTools_;
        // On the server the tools are the teacher's to write, on the connection the door opened.
        Database &db = st.dbdocente ? *st.dbdocente : *st.dbrisultati;
        const bool written = writeTools(db, st.tabellaclasse, data, tools, &e);
        st.dbdocente.reset();
        if (!written)
            s_.dialogs.alert(QStringLiteral("Non riesco a registrare gli strumenti compensativi nell'archivio: "
                                            "l'alunno li ha per questa volta, poi l'insegnante li imposti "
                                            "dall'archivio.\n(%1)")
                                 .arg(e));
    } else {
        readTools(*st.dbrisultati, st.tabellaclasse, data, &tools);
    }
    st.strumenti = tools;
}

NomeModel::Outcome NomeModel::dispatch()
{
    Modquorv &st = s_.state;
    st.segnalibro = st.rsclasse->bookmark();
    takeTools();
    st.tappa = qint16(st.rsclasse->field(QStringLiteral("arrivo")).toInt());
    s_.nav.hide(Screen::FLINIZIO);
    s_.nav.show(screenForArrivo(st.tappa));
    return Outcome::Dispatched;
}

NomeModel::Outcome NomeModel::ControllaNOME()
{
    Modquorv &st = s_.state;
    {
        std::unique_ptr<Recordset> own = st.dbrisultati ? st.dbrisultati->openRecordset(st.tabellaclasse) : nullptr;
        if (!own) {
            // Whether the name is there cannot be told: nothing is made, the pupil tries again.
            tellUnreachable(st.dbrisultati ? st.dbrisultati->lastError() : QString());
            scelta_ = QStringLiteral("positivo");
            return Outcome::Stay;
        }
        own->setIndex(QStringLiteral("nome"));
        own->seek(QStringLiteral("="), nomecompleto_);
        // A search that failed (not one that found nothing) says nothing of the name.
        if (own->noMatch() && !own->lastError().isEmpty()) {
            tellUnreachable(own->lastError());
            scelta_ = QStringLiteral("positivo");
            return Outcome::Stay;
        }
        if (own->noMatch() || !skipEarlierYears(*own)) {
            scelta_ = QStringLiteral("negativo");
            return Outcome::Stay;
        }
    }
    const bool nuova = s_.dialogs.ask(
        QStringLiteral("ATTENZIONE: c'è già in archivio il tuo NOME.\r\n"
                       "   Se desideri INIZIARE una nuova prova, clicca su OK.\r\n"
                       "   Se vuoi CONTINUARE una prova già iniziata, clicca su Annulla (Cancel)."),
        Dialogs::Buttons::OkCancel);
    if (nuova)
        return Outcome::Stay;
    st.tipoavvio = kAvvioRipresa;
    if (!openShared())
        return Outcome::Stay;
    st.rsclasse->setIndex(QStringLiteral("nome"));
    st.rsclasse->seek(QStringLiteral("="), nomecompleto_);
    if (st.rsclasse->noMatch() || !skipEarlierYears(*st.rsclasse) || !findResumable(*st.rsclasse, true)) {
        scelta_ = QStringLiteral("positivo");
        return noneToComplete();
    }
    scelta_ = QStringLiteral("positivo");
    return dispatch();
}

NomeModel::Outcome NomeModel::confirm(const QString &cognome, const QString &nome)
{
    Modquorv &st = s_.state;
    if (cognome.isEmpty() || nome.isEmpty()) {
        s_.dialogs.alert(QStringLiteral("Non hai fornito il cognome e\\o il nome. Scrivi i nomi nei due spazi "
                                        "bianchi, poi clicca su 'OK, ho fatto...'"));
        return Outcome::Stay;
    }
    nomecompleto_ = buildName(cognome, nome);
    // Each OK is a fresh attempt: a "positivo" left by an earlier answer (the name had no
    // test to complete and the screen stayed loaded) must not swallow this one.
    scelta_.clear();
    if (st.modoavvio == QLatin1String("inizio")) {
        const Outcome o = ControllaNOME();
        if (scelta_ == QLatin1String("positivo"))
            return o;
        st.tipoavvio = kAvvioNuovo;
        if (!openShared())
            return Outcome::Stay;
        Recordset &rs = *st.rsclasse;
        rs.addNew();
        rs.setField(QStringLiteral("nome"), nomecompleto_);
        rs.setField(QStringLiteral("arrivo"), 1);
        rs.setField(QStringLiteral("sub"), 1);
        if (!rs.update() || !rs.move(0, rs.lastModified())) {
            s_.dialogs.alert(QStringLiteral("Non riesco a registrare il nome nell'archivio dei risultati. Riprova."));
            return Outcome::Stay;
        }
        st.segnalibro = rs.bookmark();
        takeTools();
        s_.nav.hide(Screen::FLINIZIO);
        s_.nav.show(Screen::FLETTURA);
        return Outcome::Dispatched;
    }
    // "continuazione"
    st.tipoavvio = kAvvioRipresa;
    if (!openShared())
        return Outcome::Stay;
    Recordset &rs = *st.rsclasse;
    rs.setIndex(QStringLiteral("nome"));
    rs.seek(QStringLiteral("="), nomecompleto_);
    if (rs.noMatch() && !rs.lastError().isEmpty()) {
        tellUnreachable(rs.lastError());
        return Outcome::Stay;
    }
    if (rs.noMatch() || !skipEarlierYears(rs)) {
        s_.dialogs.alert(QStringLiteral("Probabilmente non hai scritto bene il tuo nome, oppure hai sbagliato classe; riprova"));
        return Outcome::Stay;
    }
    if (rs.field(QStringLiteral("arrivo")).isNull() || rs.field(QStringLiteral("sub")).isNull()) {
        s_.dialogs.alert(QStringLiteral("Purtroppo un'interruzione imprevista del programma non ha permesso di reistrare "
                                        "correttamente i dati di ")
                         + nomecompleto_ + QStringLiteral(" Premi OK, poi scegli 'Inizio un nuovo test'."));
        s_.nav.hide(Screen::FrmNOME);
        s_.nav.show(Screen::FLINIZIO);
        return Outcome::ClearAndHide;
    }
    // Later rows of the same name with an empty progress code are passed over.
    if (!findResumable(rs, true))
        return noneToComplete();
    return dispatch();
}

} // namespace qv
