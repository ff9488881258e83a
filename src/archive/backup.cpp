#include "archive/backup.h"

#include "storage/strumenti.h"

#include "storage/classmap.h"
#include "storage/privatefiles.h"
#include "storage/pupilrecord.h"
#include "storage/archivequeries.h"
#include "storage/schema.h"
#include "storage/sqlitefile.h"
#include "storage/tables.h"
#include "storage/wording.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace qv {

namespace {

// Settings kept in "impostazioni" of the results file.
const QString kFingerprintKey = QStringLiteral("copia_impronta"); // "<hash> <name of the copy>"
const QString kProblemKey = QStringLiteral("copia_errore");       // "<ISO date-time>\n<what happened>"

// Companions of the copies' folder: the lock that keeps two programs from copying or
// rotating at once, and the mark of a copy being written.
const QString kLockName = QStringLiteral(".copie.lock");
const QString kTempMark = QStringLiteral(".parziale");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// With seconds: two copies are often made within a minute (the one before a restore and
// the one restored may be).
QString dayAndTime(const QDateTime &t)
{
    return QStringLiteral("del %1 alle %2")
        .arg(t.toString(QStringLiteral("dd/MM/yyyy")), t.toString(QStringLiteral("HH:mm:ss")));
}

// "quorvane-2026-12-09_08-30-05.mdb", and "…_02.mdb" onwards for more copies in one second.
const QRegularExpression &copyName()
{
    static const QRegularExpression re(
        QStringLiteral("^quorvane-(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(?:_(\\d{2,3}))?\\.mdb$"));
    return re;
}

bool isLeftover(const QString &name)
{
    return name.startsWith(QStringLiteral(".quorvane-")) && name.contains(kTempMark);
}

struct Named {
    QString file;
    QDateTime when;
    int seq = 1;
};

// The copies in the folder by their names, newest first.
QList<Named> copiesIn(const QString &dir)
{
    QList<Named> out;
    const QDir d(dir);
    for (const QString &name : d.entryList(QDir::Files)) {
        const auto m = copyName().match(name);
        if (!m.hasMatch())
            continue;
        const QDateTime when = QDateTime::fromString(m.captured(1), kStampFormat);
        if (!when.isValid())
            continue;
        out.append({d.absoluteFilePath(name), when, m.captured(2).isEmpty() ? 1 : m.captured(2).toInt()});
    }
    std::sort(out.begin(), out.end(), [](const Named &a, const Named &b) {
        return a.when != b.when ? a.when > b.when : a.seq > b.seq;
    });
    return out;
}

using sqlitefile::syncPath;

// A hash of every row of the ten class tables, of "eliminati", of the answer log "risposte"
// and of the pupils' tools "strumenti", with rowids (the last two have none: their keys order
// them), column names and value types. "impostazioni" is left out: the copies' own bookkeeping lives there.
std::optional<QString> fingerprint(Database &db, QString *error)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const QString &t : classTables() + pupilCompanionTables()) {
        const bool log = t == QLatin1String("risposte") || t == QLatin1String("strumenti");
        h.addData(t.toUtf8() + '\n');
        const QStringList cols = db.columns(t);
        if (cols.isEmpty()) {
            h.addData("-\n");
            continue;
        }
        h.addData(cols.join(QLatin1Char(',')).toUtf8() + '\n');
        // One text per row keeps it cheap; the type of each value is kept apart in it.
        const QStringList order = !log ? QStringList()
            : t == QLatin1String("risposte") ? answerTable(TableHome::Results).key
                                            : toolTable(TableHome::Results).key;
        if (!sqlitefile::quotedRows(db, t, cols, !log, order, [&](const QString &row) { h.addData(row.toUtf8() + '\n'); },
                                    error))
            return std::nullopt;
    }
    return QString::fromLatin1(h.result().toHex());
}

enum class Problem { FolderIsFile, Protected, Full, Busy, Unreadable, Damaged, Other };

// What happened and what the teacher should do, for a copy that could not be made.
QString describe(Problem p, const QString &dir, const QString &why)
{
    const QString folder = native(dir);
    switch (p) {
    case Problem::FolderIsFile:
        return QStringLiteral(
                   "al posto della cartella delle copie \"%1\" c'è un file. Sposta o rinomina quel file.")
            .arg(folder);
    case Problem::Protected:
        return QStringLiteral(
                   "nella cartella delle copie \"%1\" non si può scrivere (è protetta dalla scrittura). "
                   "Togli la protezione alla cartella o al disco, o chiedi a chi cura i computer della "
                   "scuola.")
            .arg(folder);
    case Problem::Full:
        return QStringLiteral(
                   "il disco della cartella delle copie \"%1\" è pieno. Libera spazio su quel disco, per "
                   "esempio cancellando file che non servono più.")
            .arg(folder);
    case Problem::Busy:
        return QStringLiteral(
                   "un'altra copia del programma sta già scrivendo nella cartella delle copie \"%1\". "
                   "Aspetta qualche minuto e riprova.")
            .arg(folder);
    case Problem::Unreadable:
        return QStringLiteral(
                   "non riesco a leggere l'archivio dei risultati (%1). Chiudi il programma e riaprilo; se "
                   "il problema resta, chiedi aiuto a chi cura i computer della scuola.")
            .arg(why);
    case Problem::Damaged:
        return QStringLiteral(
                   "la copia appena scritta nella cartella \"%1\" non era integra e l'ho cancellata (%2). "
                   "Controlla che il disco funzioni bene.")
            .arg(folder, why);
    case Problem::Other:
        break;
    }
    return QStringLiteral(
               "non riesco a scrivere nella cartella delle copie \"%1\" (%2). Controlla che il disco sia "
               "collegato, che ci sia spazio e che vi si possa scrivere.")
        .arg(folder, why);
}

Problem fromErrc(const std::error_code &ec)
{
    if (ec == std::errc::permission_denied || ec == std::errc::read_only_file_system
        || ec == std::errc::operation_not_permitted)
        return Problem::Protected;
    if (ec == std::errc::no_space_on_device || ec == std::errc::file_too_large)
        return Problem::Full;
    if (ec == std::errc::not_a_directory || ec == std::errc::file_exists)
        return Problem::FolderIsFile;
    return Problem::Other;
}

// A failed SQLite statement on the copy: its primary result code tells the cause.
Problem fromSqlite(const QSqlError &e, const QString &dir)
{
    switch (e.nativeErrorCode().toInt() % 256) {
    case 13: // SQLITE_FULL
        return Problem::Full;
    case 8:  // SQLITE_READONLY
    case 14: // SQLITE_CANTOPEN: the copy could not be made in the folder
        return QFileInfo(dir).isWritable() ? Problem::Other : Problem::Protected;
    default:
        return Problem::Other;
    }
}

struct Failure {
    Problem problem;
    QString why;
};

// Makes the folder when missing and takes its lock, held until `lock` goes.
std::optional<Failure> takeFolder(const QString &dir, QLockFile &lock)
{
    const QFileInfo fi(dir);
    if (fi.exists() && !fi.isDir())
        return Failure{Problem::FolderIsFile, {}};
    if (!fi.exists()) {
        if (!makePrivateFolder(fi.absoluteFilePath())) {
            const std::error_code ec(errno, std::generic_category());
            return Failure{fromErrc(ec), QString::fromLocal8Bit(ec.message())};
        }
    }
    // A copy lasts about a second; a lock older than five minutes was left by a crash.
    lock.setStaleLockTime(5 * 60 * 1000);
    if (lock.tryLock(10000)) {
        preparePrivateFile(QDir(dir).filePath(kLockName));
        return std::nullopt;
    }
    // A program killed between creating the lock and writing its owner into it leaves an empty
    // lock that would otherwise count as held for five minutes. Writing the owner takes
    // microseconds, so a lock still without one after ten seconds of waiting is an orphan.
    qint64 pid = 0;
    QString host, app;
    if (lock.error() == QLockFile::LockFailedError && !lock.getLockInfo(&pid, &host, &app)
        && lock.removeStaleLockFile() && lock.tryLock(0)) {
        preparePrivateFile(QDir(dir).filePath(kLockName));
        return std::nullopt;
    }
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return Failure{Problem::Busy, {}};
    case QLockFile::PermissionError:
        return Failure{Problem::Protected, {}};
    default:
        return Failure{QFileInfo(dir).isWritable() ? Problem::Other : Problem::Protected,
                       QStringLiteral("non riesco a creare il file %1").arg(kLockName)};
    }
}

void removeLeftovers(const QString &dir)
{
    const QDir d(dir);
    for (const QString &name : d.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (isLeftover(name))
            QFile::remove(d.filePath(name));
}

bool hasLeftovers(const QString &dir)
{
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (isLeftover(name))
            return true;
    return false;
}

// A free name for a copy made at `now`, with its temporary name beside it.
std::optional<QString> freeName(const QDir &d, const QDateTime &now)
{
    const QString stamp = QStringLiteral("quorvane-") + now.toString(kStampFormat);
    for (int seq = 1; seq < 1000; ++seq) {
        const QString name = seq == 1 ? stamp + QStringLiteral(".mdb")
                                      : stamp + QStringLiteral("_%1.mdb").arg(seq, 2, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(d.filePath(name)))
            return name;
    }
    return std::nullopt;
}

// Turns the written file into a plain rollback-journal database and checks it.
std::optional<QString> verifyCopy(const QString &temp, QSqlError *sqlError)
{
    return sqlitefile::verify(temp, sqlError);
}

struct Made {
    BackupResult result;
    QString detail; // what happened and what to do, for a failure
};

// Removes copies beyond the most recent kBackupsKept; the ones in `keep` stay.
void rotate(const QString &dir, const QStringList &keep)
{
    const QList<Named> copies = copiesIn(dir);
    for (int i = kBackupsKept; i < copies.size(); ++i)
        if (!keep.contains(copies[i].file))
            QFile::remove(copies[i].file);
}

Made failed(Database &results, const QDateTime &now, Problem p, const QString &dir, const QString &why)
{
    Made m;
    m.result.outcome = BackupResult::Outcome::Failed;
    m.detail = describe(p, dir, why);
    setSetting(results, kProblemKey, now.toString(Qt::ISODate) + QLatin1Char('\n') + m.detail);
    return m;
}

// The copy proper. `held` is the folder's lock when the caller already took it.
Made makeCopy(Database &results, const QString &dir, const QDateTime &now, bool force, const QString &keep,
              QLockFile *held)
{
    if (!results.isOpen()) {
        Made m;
        m.detail = describe(Problem::Unreadable, dir, QStringLiteral("l'archivio è chiuso"));
        return m;
    }
    QString e;
    // The bookkeeping needs "impostazioni"; the copy is made even if it cannot be created.
    ensureArchiveTables(results, &e);
    const auto print = fingerprint(results, &e);
    if (!print)
        return failed(results, now, Problem::Unreadable, dir, e);
    const QDir d(dir);
    if (!force) {
        const QString last = setting(results, kFingerprintKey);
        const QString lastName = last.section(QLatin1Char(' '), 1);
        if (last.section(QLatin1Char(' '), 0, 0) == *print && !lastName.isEmpty()
            && QFileInfo(d.filePath(lastName)).isFile()) {
            if (!held && hasLeftovers(dir)) {
                QLockFile lock(d.filePath(kLockName));
                if (!takeFolder(dir, lock))
                    removeLeftovers(dir);
            }
            Made m;
            m.result.outcome = BackupResult::Outcome::Unchanged;
            return m;
        }
    }
    std::unique_ptr<QLockFile> own;
    if (!held) {
        own = std::make_unique<QLockFile>(d.filePath(kLockName));
        if (const auto f = takeFolder(dir, *own))
            return failed(results, now, f->problem, dir, f->why);
    }
    removeLeftovers(dir);
    const auto name = freeName(d, now);
    if (!name)
        return failed(results, now, Problem::Other, dir, QStringLiteral("troppe copie nello stesso secondo"));
    const QString final = d.absoluteFilePath(*name);
    const QString temp = d.absoluteFilePath(QLatin1Char('.') + *name + kTempMark);

    // The copy is written into an empty file, which is made owner-only first.
    if (!preparePrivateFile(temp)) {
        const std::error_code ec(errno, std::generic_category());
        return failed(results, now, fromErrc(ec), dir, QString::fromLocal8Bit(ec.message()));
    }
    if (QSqlError why; !sqlitefile::copyInto(results, temp, &why)) {
        const Problem p = fromSqlite(why, dir);
        Database::removeFiles(temp);
        return failed(results, now, p, dir, why.text());
    }
    QSqlError verifyError;
    if (const auto bad = verifyCopy(temp, &verifyError)) {
        Database::removeFiles(temp);
        const Problem p = fromSqlite(verifyError, dir);
        return failed(results, now, p == Problem::Other ? Problem::Damaged : p, dir, *bad);
    }
    if (const std::error_code ec = sqlitefile::durableRename(temp, final)) {
        Database::removeFiles(temp);
        return failed(results, now, fromErrc(ec), dir, QString::fromLocal8Bit(ec.message()));
    }

    setSetting(results, kFingerprintKey, *print + QLatin1Char(' ') + *name);
    setSetting(results, kProblemKey, QString());
    rotate(dir, {final, keep});
    Made m;
    m.result.outcome = BackupResult::Outcome::Made;
    m.result.file = final;
    return m;
}

using CopyConnection = sqlitefile::ReadOnlyFile;

// A copy SQLite could not read, in the teacher's words.
QString unreadable(const QSqlError &e)
{
    switch (e.nativeErrorCode().toInt() % 256) {
    case 26: // SQLITE_NOTADB
        return QStringLiteral("il file non è un archivio dei risultati");
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("il file è rovinato");
    default:
        return QStringLiteral("il file non si legge (%1)").arg(e.text());
    }
}

// Why a copy cannot be used, or nullopt; fills the counts of a sound one.
std::optional<QString> checkCopy(const QString &file, QList<int> &counts)
{
    if (!QFileInfo(file).isFile())
        return QStringLiteral("il file non c'è più");
    CopyConnection c(file);
    if (!c.error().isEmpty())
        return QStringLiteral("il file non si apre (%1)").arg(c.error());
    QSqlError why;
    const auto lines = c.quickCheck(&why);
    if (!lines)
        return unreadable(why);
    if (*lines != QStringList{QStringLiteral("ok")})
        return lines->isEmpty() ? unreadable(why) : QStringLiteral("il file è rovinato");
    const QStringList &want = pupilFields();
    for (int i = 0; i < kClassCount; ++i) {
        const QString t = classTable(i);
        const QStringList cols = c.columns(t);
        for (int k = 0; k < want.size(); ++k)
            if (k >= cols.size() || cols[k].compare(want[k], Qt::CaseInsensitive) != 0)
                return QStringLiteral("mancano i risultati della classe \"%1\"").arg(classCaption(i));
        const auto n = c.count(t, &why);
        if (!n)
            return unreadable(why);
        counts[i] = int(*n);
    }
    return std::nullopt;
}

bool exec(Database &db, const QString &sql, QString *error)
{
    QSqlQuery q(db.sql());
    if (q.exec(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

// Replaces the rows of the class tables and, when the copy has them, of "eliminati", of
// "risposte" and of "strumenti", in one transaction. A copy without the log (an older
// version's) leaves no answers to the records it puts back; those of the results in the bin
// stay with them. A copy without the tools leaves the tools as they are, so a mark of how a
// result was obtained is never lost.
bool replaceRows(Database &results, sqlitefile::Attached &copy, bool withBin, bool withAnswers, bool withTools,
                 const QList<PupilKey> &closedYears, int *leftOut, int *inPastYears, QString *error)
{
    QList<QPair<QString, QStringList>> work; // table, its columns
    for (const QString &t : classTables())
        work.append({t, QStringList{QStringLiteral("rowid")} + pupilFields()});
    if (withBin)
        work.append({QStringLiteral("eliminati"), QStringList{QStringLiteral("id"), QStringLiteral("classe"),
                                                              QStringLiteral("eliminato")} + pupilFields()});
    const bool hasLog = results.hasTable(QStringLiteral("risposte"));
    if (withAnswers && hasLog)
        work.append({QStringLiteral("risposte"), answerTable(TableHome::Results).names()});
    if (withTools && results.hasTable(QStringLiteral("strumenti")))
        work.append({QStringLiteral("strumenti"), toolTable(TableHome::Results).names()});
    if (!sqlitefile::beginImmediate(results, error))
        return false;
    auto abandon = [&] {
        sqlitefile::rollbackRaw(results);
        return false;
    };
    for (const auto &[table, cols] : work) {
        const bool keyed = table == QLatin1String("risposte") || table == QLatin1String("strumenti");
        if (!copy.replaceTable(table, cols, !keyed, error))
            return abandon();
    }
    if (!withAnswers && hasLog
        && !exec(results, archivequeries::dropAnswersOutsideBin(results.hasTable(QStringLiteral("eliminati"))), error))
        return abandon();
    // Pupils erased for good from this file stay erased, whatever the copy holds.
    if (results.hasTable(QStringLiteral("cancellati"))) {
        for (const QString &t : classTables() + pupilCompanionTables()) {
            if (!results.hasTable(t))
                continue;
            QSqlQuery q(results.sql());
            if (!q.exec(archivequeries::dropErased(results, t))) {
                *error = q.lastError().text();
                return abandon();
            }
            if (t != QLatin1String("risposte") && t != QLatin1String("strumenti"))
                *leftOut += q.numRowsAffected();
        }
    }
    // Results a closed year holds stay there alone, with their answers and tools.
    if (!closedYears.isEmpty()) {
        std::vector<std::pair<QString, std::unique_ptr<QSqlQuery>>> drops;
        for (const QString &t : classTables() + pupilCompanionTables()) {
            if (!results.hasTable(t))
                continue;
            auto q = std::make_unique<QSqlQuery>(results.sql());
            if (!q->prepare(archivequeries::dropOnePupil(results, t, !classTables().contains(t)))) {
                *error = q->lastError().text();
                return abandon();
            }
            drops.emplace_back(t, std::move(q));
        }
        for (const PupilKey &k : closedYears)
            for (auto &[t, q] : drops) {
                const bool companion = !classTables().contains(t);
                if (!companion && t != k.classe)
                    continue;
                q->addBindValue(k.data);
                if (companion)
                    q->addBindValue(k.classe);
                if (!q->exec()) {
                    *error = q->lastError().text();
                    return abandon();
                }
                if (t != QLatin1String("risposte") && t != QLatin1String("strumenti"))
                    *inPastYears += q->numRowsAffected();
            }
    }
    return sqlitefile::commitRaw(results, error);
}

bool sameFile(const QString &a, const QString &b)
{
    std::error_code ec;
    return std::filesystem::equivalent(QFile::encodeName(a).toStdString(), QFile::encodeName(b).toStdString(),
                                       ec) &&
           !ec;
}

QDateTime madeAt(const QString &file)
{
    const auto m = copyName().match(QFileInfo(file).fileName());
    return m.hasMatch() ? QDateTime::fromString(m.captured(1), kStampFormat) : QDateTime();
}

QString describeCopy(const QString &file)
{
    const QDateTime when = madeAt(file);
    return when.isValid() ? QStringLiteral("copia %1").arg(dayAndTime(when))
                          : QStringLiteral("copia \"%1\"").arg(native(file));
}

} // namespace

namespace {
QString serverCopiesMessage(const Database &results)
{
    return QStringLiteral("I risultati sono nel %1: le copie di sicurezza si fanno sul server (per esempio con "
                          "pg_dump), non su questo computer.")
        .arg(results.where());
}
} // namespace

BackupResult makeBackup(Database &results, const QString &copieDir, const QDateTime &now, bool force)
{
    // The copies are files of this computer; a server's database is copied on the server.
    if (results.onServer()) {
        BackupResult r;
        r.message = serverCopiesMessage(results);
        return r;
    }
    Made m = makeCopy(results, copieDir, now, force, QString(), nullptr);
    if (!m.result.ok())
        m.result.message = QStringLiteral("La copia di sicurezza dei risultati non è riuscita: ") + m.detail +
                           QStringLiteral("\nI risultati non sono stati toccati; la copia si rifarà alla "
                                          "prossima apertura del programma.");
    return m.result;
}

BackupInfo inspectBackup(const QString &copyFile)
{
    BackupInfo info;
    info.file = QFileInfo(copyFile).absoluteFilePath();
    info.when = madeAt(copyFile);
    info.counts = QList<int>(kClassCount, 0);
    if (const auto bad = checkCopy(info.file, info.counts)) {
        info.damaged = true;
        info.problem = *bad;
        info.counts.fill(0);
    }
    return info;
}

QList<BackupInfo> listBackups(const QString &copieDir)
{
    QList<BackupInfo> out;
    for (const Named &n : copiesIn(copieDir))
        out << inspectBackup(n.file);
    return out;
}

RestoreResult restoreBackup(Database &results, const QString &copyFile, const QString &copieDir,
                            const QDateTime &now, const QList<PupilKey> &closedYears)
{
    RestoreResult r;
    const QString untouched = QStringLiteral("I risultati non sono stati toccati.");
    if (results.onServer()) {
        r.message = serverCopiesMessage(results) + QLatin1Char(' ') + untouched;
        return r;
    }
    if (!results.isOpen()) {
        r.message = QStringLiteral("L'archivio dei risultati non è aperto: chiudi il programma e riaprilo.");
        return r;
    }
    const BackupInfo info = inspectBackup(copyFile);
    if (info.damaged) {
        r.message = QStringLiteral("Non posso rimettere la %1: %2. %3 Scegli un'altra copia.")
                        .arg(describeCopy(info.file), info.problem, untouched);
        return r;
    }
    if (sameFile(info.file, results.path())) {
        r.message =
            QStringLiteral("Il file scelto è l'archivio dei risultati stesso, non una copia. %1 Scegli una "
                           "copia nella cartella \"%2\".")
                .arg(untouched, native(copieDir));
        return r;
    }
    // The folder stays locked until the end, so another program's rotation cannot remove the
    // chosen copy in between.
    QLockFile lock(QDir(copieDir).filePath(kLockName));
    Made safety;
    if (const auto f = takeFolder(copieDir, lock))
        safety = failed(results, now, f->problem, copieDir, f->why);
    else
        safety = makeCopy(results, copieDir, now, true, info.file, &lock);
    if (!safety.result.ok()) {
        r.message = QStringLiteral(
                        "Non ho rimesso la %1, perché prima devo fare una copia dei risultati come sono "
                        "adesso e non ci sono riuscito: %2\n%3")
                        .arg(describeCopy(info.file), safety.detail, untouched);
        return r;
    }
    r.safetyCopy = safety.result.file;

    QString e;
    bool ok = false;
    bool withBin = false;
    int leftOut = 0;
    {
        sqlitefile::Attached copy(results, info.file, QStringLiteral("copia"));
        ok = copy.ok();
        e = copy.error();
        if (ok) {
            // An older version's copy may lack some of the tables.
            withBin = copy.hasTable(QStringLiteral("eliminati")) && results.hasTable(QStringLiteral("eliminati"));
            ok = replaceRows(results, copy, withBin, copy.hasTable(QStringLiteral("risposte")),
                             copy.hasTable(QStringLiteral("strumenti")), closedYears, &leftOut, &r.inPastYears, &e);
        }
    }
    if (!ok) {
        r.message =
            QStringLiteral("Non sono riuscito a rimettere la %1 (%2). %3 Se il programma è aperto su un altro "
                           "computer, chiudilo e riprova.")
                .arg(describeCopy(info.file), e, untouched);
        return r;
    }
    int total = -leftOut - r.inPastYears;
    for (int n : info.counts)
        total += n;
    r.ok = true;
    r.message =
        QStringLiteral("Ho rimesso la %1: ora l'archivio ha %2. I risultati com'erano prima sono "
                       "nella %3: se ti servono, puoi rimetterli da lì.")
            .arg(describeCopy(info.file), counted(total, "risultato", "risultati"), describeCopy(r.safetyCopy));
    if (!withBin)
        r.message +=
            QStringLiteral("\nQuesta copia è di una versione precedente del programma e non ha il cestino: "
                           "il cestino è rimasto com'era.");
    if (leftOut > 0)
        r.message += leftOut == 1
            ? QStringLiteral("\n1 risultato della copia era stato cancellato per sempre e non è stato rimesso.")
            : QStringLiteral("\n%1 risultati della copia erano stati cancellati per sempre e non sono stati rimessi.")
                  .arg(leftOut);
    if (r.inPastYears > 0)
        r.message += r.inPastYears == 1
            ? QStringLiteral("\n1 risultato della copia è di un anno scolastico già chiuso: è fra gli \"Anni precedenti\" e "
                             "non è stato rimesso nell'anno in corso.")
            : QStringLiteral("\n%1 risultati della copia sono di un anno scolastico già chiuso: sono fra gli \"Anni "
                             "precedenti\" e non sono stati rimessi nell'anno in corso.")
                  .arg(r.inPastYears);
    return r;
}

namespace {

// The tables of a results file keyed by a pupil's data.
QStringList pupilTables()
{
    return classTables() + pupilCompanionTables();
}

// Whether a copy holds anything of the pupils whose data are `datas`.
std::optional<bool> holdsPupil(const QString &file, const QStringList &datas, QString *error)
{
    CopyConnection c(file);
    if (!c.error().isEmpty()) {
        *error = c.error();
        return std::nullopt;
    }
    for (const QString &t : pupilTables()) {
        if (!c.hasTable(t))
            continue;
        const auto has = c.hasRow(t, QStringLiteral("data"), datas, error);
        if (!has || *has)
            return has;
    }
    return false;
}

// Writes into `temp` the copy `file` without the pupil: its rows deleted with the pages
// overwritten, the file rebuilt, checked. The problem, or nullopt.
std::optional<QString> rewriteWithout(const QString &file, const QString &temp, const QStringList &datas)
{
    Database::removeFiles(temp);
    if (!QFile::copy(file, temp))
        return QStringLiteral("non riesco a scrivere nella cartella");
    QFile::setPermissions(temp, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    {
        QString e;
        auto db = Database::open(temp, &e, Database::Journal::Rollback);
        if (!db)
            return e;
        if (!db->begin())
            return db->lastError();
        for (const QString &t : pupilTables()) {
            if (!db->hasTable(t))
                continue;
            for (qsizetype from = 0; from < datas.size(); from += Sql::kListSlice) {
                const QStringList slice = datas.mid(from, Sql::kListSlice);
                QSqlQuery q(db->sql());
                q.prepare(Sql(*db).removeAmong(t, QStringLiteral("data"), int(slice.size())));
                for (const QString &d : slice)
                    q.addBindValue(d);
                if (!q.exec()) {
                    db->rollback();
                    return q.lastError().text();
                }
            }
        }
        if (!db->commit())
            return db->lastError();
        // Rebuilt from its live rows: no page of the old file is left in it.
        if (QString why; !sqlitefile::rebuild(*db, &why))
            return why;
    }
    QSqlError ignored;
    if (const auto bad = verifyCopy(temp, &ignored))
        return *bad;
    QString e;
    if (const auto still = holdsPupil(temp, datas, &e); !still || *still)
        return still ? QStringLiteral("l'alunno è ancora nella copia") : e;
    if (!syncPath(temp))
        return QString::fromLocal8Bit(strerror(errno));
    return std::nullopt;
}

} // namespace

CopiesErased eraseFromCopies(const QString &copieDir, const QString &data)
{
    return eraseFromCopies(copieDir, data.isEmpty() ? QStringList() : QStringList{data});
}

CopiesErased eraseFromCopies(const QString &copieDir, const QStringList &datas)
{
    CopiesErased out;
    if (!QFileInfo(copieDir).isDir() || datas.isEmpty())
        return out;
    QLockFile lock(QDir(copieDir).filePath(kLockName));
    if (const auto f = takeFolder(copieDir, lock)) {
        out.failed << describe(f->problem, copieDir, f->why);
        return out;
    }
    removeLeftovers(copieDir);
    const QDir d(copieDir);
    for (const Named &n : copiesIn(copieDir)) {
        QList<int> counts(kClassCount, 0);
        if (checkCopy(n.file, counts)) {
            // A damaged copy cannot be restored nor cleaned: it goes, with what it holds.
            if (QFile::remove(n.file))
                ++out.removed;
            else
                out.failed << QStringLiteral("la %1 è danneggiata e non riesco a cancellarla").arg(describeCopy(n.file));
            continue;
        }
        QString e;
        const auto holds = holdsPupil(n.file, datas, &e);
        if (holds && !*holds)
            continue;
        const QString temp = d.absoluteFilePath(QLatin1Char('.') + QFileInfo(n.file).fileName() + kTempMark);
        std::optional<QString> why = holds ? rewriteWithout(n.file, temp, datas) : std::optional<QString>(e);
        std::error_code ec;
        if (!why) {
            std::filesystem::rename(QFile::encodeName(temp).toStdString(), QFile::encodeName(n.file).toStdString(), ec);
            if (ec)
                why = QString::fromLocal8Bit(ec.message());
        }
        if (why) {
            Database::removeFiles(temp);
            out.failed << QStringLiteral("la %1 (%2)").arg(describeCopy(n.file), *why);
            continue;
        }
        ++out.rewritten;
    }
    syncPath(d.absolutePath());
    return out;
}

std::optional<QString> writeShapedCopy(Database &results, const QString &finalPath,
                                       const std::function<bool(Database &, QString *)> &shape)
{
    if (QFileInfo::exists(finalPath))
        return QStringLiteral("il file %1 c'è già").arg(native(finalPath));
    const QFileInfo fi(finalPath);
    const QString temp = fi.dir().absoluteFilePath(QLatin1Char('.') + fi.fileName() + kTempMark);
    Database::removeFiles(temp);
    if (!preparePrivateFile(temp))
        return QString::fromLocal8Bit(strerror(errno));
    auto fail = [&](const QString &why) {
        Database::removeFiles(temp);
        return std::optional<QString>(why);
    };
    if (QSqlError e; !sqlitefile::copyInto(results, temp, &e))
        return fail(e.text());
    {
        QString e;
        auto db = Database::open(temp, &e, Database::Journal::Rollback);
        if (!db)
            return fail(e);
        if (!db->begin())
            return fail(db->lastError());
        if (!shape(*db, &e)) {
            db->rollback();
            return fail(e);
        }
        // What `shape` deleted was overwritten as it went (the connection's secure_delete).
        if (!db->commit())
            return fail(db->lastError());
    }
    QSqlError ignored;
    if (const auto bad = verifyCopy(temp, &ignored))
        return fail(*bad);
    if (const std::error_code ec = sqlitefile::durableRename(temp, finalPath))
        return fail(QString::fromLocal8Bit(ec.message()));
    return std::nullopt;
}

QString pendingBackupProblem(Database &results)
{
    const QString v = setting(results, kProblemKey);
    if (v.isEmpty())
        return {};
    const QDateTime when = QDateTime::fromString(v.section(QLatin1Char('\n'), 0, 0), Qt::ISODate);
    const QString detail = v.section(QLatin1Char('\n'), 1);
    return QStringLiteral(
               "La copia di sicurezza dei risultati %1 non è riuscita: %2\nLa copia si rifarà alla "
               "prossima apertura del programma.")
        .arg(when.isValid() ? dayAndTime(when) : QStringLiteral("fatta all'apertura del programma"), detail);
}

void clearBackupProblem(Database &results)
{
    setSetting(results, kProblemKey, QString());
}

} // namespace qv
