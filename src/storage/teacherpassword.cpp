#include "storage/teacherpassword.h"

#include "storage/schema.h"
#include "storage/serverguard.h"
#include "storage/wording.h"

#include <QDateTime>
#include <sodium.h>

#include <algorithm>

namespace qv {

namespace {

const QString kHash = QStringLiteral("password");
const QString kFailures = QStringLiteral("password_errori");
const QString kLastFailure = QStringLiteral("password_ultimo_errore"); // UTC
// When a password was chosen (UTC): the mark that this file has had one, so a hash that has
// gone without the set-up tool's removal is told apart from a file that never had one.
const QString kChosen = QStringLiteral("password_scelta");
// When the set-up tool removed it (UTC), for the teacher who chooses the next one.
const QString kRemoved = QStringLiteral("password_tolta");
const QString kTitle = QStringLiteral("Password dell'insegnante");

const QString kDamaged = QStringLiteral(
    "La password dell'archivio salvata nel file dei risultati è danneggiata, quindi non posso controllarla.\n"
    "Fai togliere la password con il comando  mkquorvane --nuova-password Perquorvane  (i risultati restano), "
    "poi scegline una nuova.");

// What the password guards, said where it is chosen.
const QString kWhatItGuards = QStringLiteral(
    "La password protegge l'archivio solo dentro questo programma, non i file: chi entra nel computer con il "
    "tuo stesso utente può aprire, copiare o cambiare i file della cartella Perquorvane con altri programmi. "
    "In un laboratorio dove tutti usano lo stesso utente, tenete i risultati sul server del laboratorio, che "
    "li protegge con accessi propri (chiedi al tecnico della scuola).");

const QString kMissing = QStringLiteral(
    "La password dell'archivio non c'è più nel file dei risultati: qualcuno l'ha tolta mentre questa finestra "
    "era aperta. Non apro l'archivio: chiudi questa finestra e riapri l'archivio.");

QString utcNow(const Clock &clock)
{
    return clock.now().toUTC().toString(Qt::ISODateWithMs);
}

// The bytes hashed: the text in one Unicode form, so "è" typed as one character or as
// "e" and an accent is the same password.
QByteArray passwordBytes(const QString &password)
{
    return password.normalized(QString::NormalizationForm_C).toUtf8();
}

// Wipes the bytes of a password once they are no longer needed.
struct Wiped {
    QByteArray bytes;
    explicit Wiped(const QString &password) : bytes(passwordBytes(password)) {}
    ~Wiped() { sodium_memzero(bytes.data(), size_t(bytes.size())); }
};

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

int waitAfter(int failures)
{
    if (failures < 3)
        return 0;
    return failures >= 8 ? 60 : std::min(60, 1 << (failures - 2));
}

} // namespace

bool TeacherPassword::isSet() const
{
    return !setting(db_, kHash).isEmpty();
}

bool TeacherPassword::wasLost() const
{
    return !isSet() && !setting(db_, kChosen).isEmpty();
}

QDateTime TeacherPassword::removedAt() const
{
    return isSet() ? QDateTime() : QDateTime::fromString(setting(db_, kRemoved), Qt::ISODateWithMs);
}

int TeacherPassword::secondsToWait() const
{
    const int failures = setting(db_, kFailures).toInt();
    // Written in UTC; a time without a zone (an older version's) reads as local time.
    const QDateTime last = QDateTime::fromString(setting(db_, kLastFailure), Qt::ISODateWithMs);
    if (failures < 3 || !last.isValid())
        return 0;
    // A time in the future (another computer's clock ahead, a clock set back, a planted
    // value) counts as now: the wait is never longer than the wait itself.
    const qint64 passed = std::max<qint64>(0, last.msecsTo(clock_.now()));
    const qint64 wait = qint64(waitAfter(failures)) * 1000;
    return passed >= wait ? 0 : int((wait - passed + 999) / 1000);
}

void TeacherPassword::bringFailureToNow()
{
    const QDateTime last = QDateTime::fromString(setting(db_, kLastFailure), Qt::ISODateWithMs);
    if (last.isValid() && last > clock_.now())
        setSetting(db_, kLastFailure, utcNow(clock_));
}

void TeacherPassword::countFailure()
{
    const int failures = setting(db_, kFailures).toInt() + 1;
    if (db_.begin()) {
        const bool ok = setSetting(db_, kFailures, QString::number(failures))
            && setSetting(db_, kLastFailure, utcNow(clock_));
        ok ? db_.commit() : db_.rollback();
    }
}

TeacherPassword::Outcome TeacherPassword::store(const QString &password, const QString &again)
{
    if (password != again)
        return {false, QStringLiteral("Le due password scritte non sono uguali: riscrivile.")};
    if (password.toUcs4().size() < kPasswordMinLength)
        return {false, QStringLiteral("La password deve avere almeno %1 caratteri.").arg(kPasswordMinLength)};
    if (!sodiumReady())
        return {false, QStringLiteral("Non riesco a preparare la protezione della password: riprova.")};
    Wiped pw(password);
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, pw.bytes.constData(), quint64(pw.bytes.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {false, QStringLiteral("Non c'è abbastanza memoria per proteggere la password: chiudi altri programmi e riprova.")};
    QString e;
    bool ok = db_.begin();
    ok = ok && setSetting(db_, kHash, QString::fromLatin1(hash), &e) && setSetting(db_, kFailures, QString(), &e)
        && setSetting(db_, kLastFailure, QString(), &e) && setSetting(db_, kChosen, utcNow(clock_), &e)
        && setSetting(db_, kRemoved, QString(), &e);
    if (ok)
        ok = db_.commit();
    else
        db_.rollback();
    if (!ok)
        return {false, QStringLiteral("Non riesco a salvare la password nel file dei risultati: %1").arg(e.isEmpty() ? db_.lastError() : e)};
    return {true, {}};
}

TeacherPassword::Outcome TeacherPassword::choose(const QString &password, const QString &again)
{
    if (isSet())
        return {false, QStringLiteral("La password è già stata scelta.")};
    return store(password, again);
}

TeacherPassword::Outcome TeacherPassword::check(const QString &password)
{
    // The door opens only on a hash that checks: none (a row deleted behind the program's
    // back) shuts it, as a damaged one does.
    const QString hash = setting(db_, kHash);
    if (hash.isEmpty())
        return {false, kMissing};
    bringFailureToNow();
    if (const int wait = secondsToWait(); wait > 0)
        return {false, QStringLiteral("Troppe password sbagliate di seguito: aspetta ancora %1, poi riprova.")
                           .arg(counted(wait, "secondo", "secondi"))};
    if (password.isEmpty())
        return {false, QStringLiteral("Scrivi la password.")};
    if (!sodiumReady())
        return {false, QStringLiteral("Non riesco a controllare la password: riprova.")};
    // Only a hash with this program's own algorithm and parameters is verified: another cost
    // (a planted t=4294967295 would take days, a tiny one proves little) counts as damaged.
    const QByteArray stored = hash.toLatin1();
    if (hash.size() >= crypto_pwhash_STRBYTES || !stored.startsWith(crypto_pwhash_argon2id_STRPREFIX)
        || crypto_pwhash_str_needs_rehash(stored.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
            != 0)
        return {false, kDamaged};
    Wiped pw(password);
    if (crypto_pwhash_str_verify(stored.constData(), pw.bytes.constData(), quint64(pw.bytes.size())) == 0) {
        if (!setting(db_, kFailures).isEmpty() && db_.begin()) {
            const bool ok = setSetting(db_, kFailures, QString()) && setSetting(db_, kLastFailure, QString());
            ok ? db_.commit() : db_.rollback();
        }
        return {true, {}};
    }
    countFailure();
    QString message = QStringLiteral("La password non è giusta.");
    if (const int wait = secondsToWait(); wait > 0)
        message += QStringLiteral(" Prima di riprovare aspetta %1.").arg(counted(wait, "secondo", "secondi"));
    return {false, message};
}

TeacherPassword::Outcome TeacherPassword::change(const QString &old, const QString &password, const QString &again)
{
    if (old.isEmpty())
        return {false, QStringLiteral("Scrivi la password attuale.")};
    if (const Outcome c = check(old); !c.ok)
        return c;
    return store(password, again);
}

bool TeacherPassword::remove(Database &db, QString *error)
{
    if (!ensureArchiveTables(db, error) || !db.begin())
        return false;
    const bool ok = setSetting(db, kHash, QString(), error) && setSetting(db, kFailures, QString(), error)
        && setSetting(db, kLastFailure, QString(), error) && setSetting(db, kChosen, QString(), error)
        && setSetting(db, kRemoved, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs), error);
    if (ok && db.commit())
        return true;
    db.rollback();
    return false;
}

namespace {

// The door on the server: the teacher's own login, checked by the server, on a connection of
// its own. Wrong tries wait as at the file's door, counted in this run (the server slows
// every wrong try as well).
bool teacherLogin(Session &s)
{
    Modquorv &st = s.state;
    const ServerConfig lab = st.dbrisultati->serverConfig();
    for (;;) {
        const int failures = st.accessisbagliati;
        if (const int wait = waitAfter(failures); wait > 0 && st.ultimoaccessosbagliato.isValid()) {
            const qint64 left = qint64(wait) * 1000 - st.ultimoaccessosbagliato.msecsTo(s.clock.now());
            if (left > 0 && left <= qint64(wait) * 1000) {
                s.dialogs.alert(QStringLiteral("Troppi accessi sbagliati di seguito: aspetta ancora %1 secondi, poi riprova.")
                                    .arg((left + 999) / 1000));
                return false;
            }
        }
        const QStringList a = s.dialogs.askLogin(
            kTitle,
            QStringLiteral("L'archivio dei risultati è riservato agli insegnanti.\n"
                           "Scrivi il tuo nome utente del server dei risultati e la sua password."),
            st.ultimodocente);
        if (a.size() != 2)
            return false;
        const QString login = a[0].trimmed();
        if (login.isEmpty() || a[1].isEmpty()) {
            s.dialogs.alert(QStringLiteral("Scrivi il nome utente e la password."));
            continue;
        }
        st.ultimodocente = login;
        QString e;
        auto db = Database::connect(lab.with(QStringLiteral("user"), login), &e, a[1]);
        if (db) {
            const ServerRole role = serverRole(*db);
            if (role.teacher) {
                st.accessisbagliati = 0;
                st.dbdocente = std::move(db);
                return true;
            }
            e = QStringLiteral("L'utente \"%1\" non è tra gli insegnanti di Quorvane sul server (il gruppo \"%2\").")
                    .arg(login, QString::fromLatin1(kTeacherGroup));
        } else if (e.contains(QLatin1String("password"), Qt::CaseInsensitive) || e.contains(QLatin1String("authentication"))
                   || e.contains(QLatin1String("autenticazione")) || e.contains(QLatin1String("does not exist"))
                   || e.contains(QLatin1String("non esiste"))) {
            // A wrong password and an unknown login are told alike, as the server tells them.
            e = QStringLiteral("Il server non ha accettato il nome utente o la password.");
        }
        ++st.accessisbagliati;
        st.ultimoaccessosbagliato = s.clock.now();
        QString message = e;
        if (const int wait = waitAfter(st.accessisbagliati); wait > 0)
            message += QStringLiteral(" Prima di riprovare aspetta %1 secondi.").arg(wait);
        s.dialogs.alert(message);
    }
}

} // namespace

bool openArchiveDoor(Session &s)
{
    if (!s.state.dbrisultati)
        return true; // the archive itself reports a results file that is not open
    if (s.state.dbrisultati->onServer())
        return teacherLogin(s);
    TeacherPassword tp(*s.state.dbrisultati, s.clock);
    if (!tp.isSet()) {
        // Before a new one is chosen, the teacher learns that the old one went, and how.
        if (tp.wasLost())
            s.dialogs.alert(QStringLiteral(
                "Attenzione: questo archivio aveva una password, ma non c'è più nel file dei risultati. "
                "Non è stata tolta con il comando mkquorvane --nuova-password: qualcuno ha cambiato il file "
                "fuori dal programma, e può averne cambiato anche i risultati. Controllali.\n"
                "Ora scegli una nuova password."));
        else if (const QDateTime removed = tp.removedAt(); removed.isValid())
            s.dialogs.alert(QStringLiteral("La password dell'archivio è stata tolta il %1 con il comando "
                                           "mkquorvane --nuova-password. Ora scegline una nuova.")
                                .arg(removed.toLocalTime().toString(QStringLiteral("dd/MM/yyyy 'alle' hh:mm"))));
        for (;;) {
            const QStringList a = s.dialogs.askPasswords(
                kTitle,
                QStringLiteral("L'archivio dei risultati è riservato agli insegnanti.\n"
                               "Scegli una password di almeno %1 caratteri e scrivila due volte.\n"
                               "Servirà ogni volta che si apre l'archivio: non dirla agli alunni.\n\n%2")
                    .arg(kPasswordMinLength)
                    .arg(kWhatItGuards),
                {QStringLiteral("Password:"), QStringLiteral("Ripeti la password:")});
            if (a.size() != 2)
                return false;
            const auto r = tp.choose(a[0], a[1]);
            if (r.ok) {
                s.dialogs.alert(QStringLiteral("La password è stata salvata. Da ora l'archivio si apre solo con la password."));
                return true;
            }
            s.dialogs.alert(r.message);
        }
    }
    for (;;) {
        const QStringList a = s.dialogs.askPasswords(kTitle, QStringLiteral("Scrivi la password dell'insegnante per aprire l'archivio."),
                                                     {QStringLiteral("Password:")});
        if (a.size() != 1)
            return false;
        const auto r = tp.check(a[0]);
        if (r.ok)
            return true;
        s.dialogs.alert(r.message);
    }
}

void enterArchive(Session &s)
{
    Modquorv &st = s.state;
    if (!st.dbdocente)
        return;
    st.rsclasse.reset();
    st.dblaboratorio = std::move(st.dbrisultati);
    st.dbrisultati = std::move(st.dbdocente);
}

void leaveArchive(Session &s)
{
    Modquorv &st = s.state;
    // A closed year on show is put away: the pupils' road works on the current year.
    if (st.dbannocorrente) {
        st.rsclasse.reset();
        st.dbrisultati = std::move(st.dbannocorrente);
    }
    st.dbdocente.reset();
    if (!st.dblaboratorio)
        return;
    st.rsclasse.reset();
    st.dbrisultati = std::move(st.dblaboratorio);
}

QString serverPasswordMessage()
{
    return QStringLiteral("Sul server dei risultati la password è quella del tuo utente di PostgreSQL, e la controlla il server. "
                          "La cambia il tecnico della scuola, sul server, con il comando  sudo -u postgres psql -c "
                          "'\\password NOMEUTENTE'  (al posto di NOMEUTENTE il tuo nome utente).");
}

void changeArchivePassword(Session &s)
{
    if (!s.state.dbrisultati)
        return;
    if (s.state.dbrisultati->onServer()) {
        s.dialogs.alert(serverPasswordMessage());
        return;
    }
    TeacherPassword tp(*s.state.dbrisultati, s.clock);
    for (;;) {
        const QStringList a = s.dialogs.askPasswords(
            QStringLiteral("Cambio la password"),
            QStringLiteral("Scrivi la password attuale, poi la nuova (almeno %1 caratteri) due volte.").arg(kPasswordMinLength),
            {QStringLiteral("Password attuale:"), QStringLiteral("Nuova password:"), QStringLiteral("Ripeti la nuova password:")});
        if (a.size() != 3)
            return;
        const auto r = tp.isSet() ? tp.change(a[0], a[1], a[2]) : tp.choose(a[1], a[2]);
        if (r.ok) {
            s.dialogs.alert(QStringLiteral("La nuova password è stata salvata."));
            return;
        }
        s.dialogs.alert(r.message);
    }
}

} // namespace qv
