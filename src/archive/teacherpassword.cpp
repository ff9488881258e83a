#include "archive/teacherpassword.h"

#include "storage/schema.h"
#include "storage/wording.h"

#include <QDateTime>
#include <sodium.h>

#include <algorithm>

namespace qv {

namespace {

const QString kHash = QStringLiteral("password");
const QString kFailures = QStringLiteral("password_errori");
const QString kLastFailure = QStringLiteral("password_ultimo_errore");
const QString kTitle = QStringLiteral("Password dell'insegnante");

const QString kDamaged = QStringLiteral(
    "La password dell'archivio salvata nel file dei risultati è danneggiata, quindi non posso controllarla.\n"
    "Fai togliere la password con il comando  mkquorvane --nuova-password Perquorvane  (i risultati restano), "
    "poi scegline una nuova.");

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

int TeacherPassword::secondsToWait() const
{
    const int failures = setting(db_, kFailures).toInt();
    const QDateTime last = QDateTime::fromString(setting(db_, kLastFailure), Qt::ISODateWithMs);
    if (failures < 3 || !last.isValid())
        return 0;
    const qint64 passed = last.msecsTo(clock_.now());
    const qint64 wait = qint64(waitAfter(failures)) * 1000;
    // A clock set back does not lock the teacher out for longer than the wait itself.
    if (passed < 0)
        return waitAfter(failures);
    return passed >= wait ? 0 : int((wait - passed + 999) / 1000);
}

void TeacherPassword::countFailure()
{
    const int failures = setting(db_, kFailures).toInt() + 1;
    if (db_.begin()) {
        const bool ok = setSetting(db_, kFailures, QString::number(failures))
            && setSetting(db_, kLastFailure, clock_.now().toString(Qt::ISODateWithMs));
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
        && setSetting(db_, kLastFailure, QString(), &e);
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
    const QString hash = setting(db_, kHash);
    if (hash.isEmpty())
        return {true, {}};
    if (const int wait = secondsToWait(); wait > 0)
        return {false, QStringLiteral("Troppe password sbagliate di seguito: aspetta ancora %1, poi riprova.")
                           .arg(counted(wait, "secondo", "secondi"))};
    if (password.isEmpty())
        return {false, QStringLiteral("Scrivi la password.")};
    if (!sodiumReady())
        return {false, QStringLiteral("Non riesco a controllare la password: riprova.")};
    const QByteArray stored = hash.toLatin1();
    if (hash.size() >= crypto_pwhash_STRBYTES
        || crypto_pwhash_str_needs_rehash(stored.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
            < 0)
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
        && setSetting(db, kLastFailure, QString(), error);
    if (ok && db.commit())
        return true;
    db.rollback();
    return false;
}

bool openArchiveDoor(Session &s)
{
    if (!s.state.dbrisultati)
        return true; // the archive itself reports a results file that is not open
    TeacherPassword tp(*s.state.dbrisultati, s.clock);
    if (!tp.isSet()) {
        for (;;) {
            const QStringList a = s.dialogs.askPasswords(
                kTitle,
                QStringLiteral("L'archivio dei risultati è riservato agli insegnanti.\n"
                               "Scegli una password di almeno %1 caratteri e scrivila due volte.\n"
                               "Servirà ogni volta che si apre l'archivio: non dirla agli alunni.")
                    .arg(kPasswordMinLength),
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

void changeArchivePassword(Session &s)
{
    if (!s.state.dbrisultati)
        return;
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
