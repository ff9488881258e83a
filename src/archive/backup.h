// Copies of the results file in the folder "Perquorvane/copie": one at every start of the
// program when the results changed, the thirty most recent kept, a list of them with their
// contents, and the restore of one of them into the live results file.
// Nothing here throws: each operation returns what happened, with an Italian message.
#pragma once

#include "storage/database.h"
#include "storage/schoolyear.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>
#include <QString>

namespace qv {

inline constexpr int kBackupsKept = 30;
inline constexpr const char *kBackupFolder = "copie";

struct BackupResult {
    enum class Outcome {
        Made,      // a new copy was written and verified
        Unchanged, // the results are as in the last copy, which is still there: no copy needed
        Failed,    // no copy; `message` says why and what to do, and it was recorded
    };
    Outcome outcome = Outcome::Failed;
    QString file;    // the new copy (Made)
    QString message; // Failed: for the teacher; empty otherwise
    bool ok() const { return outcome != Outcome::Failed; }
};

struct BackupInfo {
    QString file;      // absolute path
    QDateTime when;    // from the file's name: when the copy was made
    bool damaged = false;
    QString problem;   // why it is damaged, in Italian
    QList<int> counts; // results in each class, class index order (kClassCount); zeros when damaged
};

struct RestoreResult {
    bool ok = false;
    QString safetyCopy; // the copy of the results just before, also when the restore failed after it
    QString message;    // for the teacher, success or failure
    int inPastYears = 0; // results of the copy left out because a closed year already holds them
};

// Writes a verified copy of the results file into `copieDir` (made if missing), named by
// `now` ("quorvane-2026-12-09_08-30-05.mdb", "…_02.mdb" for a second one in that second),
// unless the results are unchanged since the last copy and that copy is still there
// (`force` copies anyway). Leftovers of an interrupted copy are removed; after a verified
// copy, copies beyond the thirty most recent are removed. A failure is recorded in the
// results file for pendingBackupProblem() and a later success clears it.
BackupResult makeBackup(Database &results, const QString &copieDir, const QDateTime &now, bool force = false);

// The copies in `copieDir`, newest first. Each is opened read-only and left as it was.
QList<BackupInfo> listBackups(const QString &copieDir);
// One copy, inspected as listBackups() does; `when` is invalid for a name it did not make.
BackupInfo inspectBackup(const QString &copyFile);

// Puts the contents of `copyFile` in place of the results: first a copy of the results as
// they are now (forced; without it nothing is restored), then, in one transaction on the
// live connection, the rows of the ten class tables, of the recycle bin "eliminati" and of
// the answer log "risposte" replaced by the copy's, rowids kept. A copy without "eliminati"
// (an older version) leaves the current recycle bin as it is; one without "risposte" leaves
// no answers to the records it puts back (those of the results in the bin stay). "impostazioni" (password, counters) is never replaced.
// A damaged copy is refused. The caller's cursors must be opened anew afterwards.
// `closedYears`: the records (and binned ones) that closed school years hold; a
// copy made before a close brings them back neither into the current year nor twice: they
// are left out, with their answers and tools, and counted in inPastYears.
RestoreResult restoreBackup(Database &results, const QString &copyFile, const QString &copieDir,
                            const QDateTime &now, const QList<PupilKey> &closedYears = {});

// Removes the pupil whose data is `data` (record, bin, answers, tools) from every copy in
// `copieDir`: a copy holding them is rewritten into a temporary file, rebuilt, verified and
// renamed in, under the folder's lock, as copies are made. A damaged copy, which can be
// neither restored nor cleaned, is deleted.
struct CopiesErased {
    int rewritten = 0;  // copies rewritten without the pupil
    int removed = 0;    // damaged copies deleted
    QStringList failed; // copies that may still hold the pupil, with why
};
CopiesErased eraseFromCopies(const QString &copieDir, const QString &data);
// The same for many pupils at once (a school year erased), each copy rewritten once.
CopiesErased eraseFromCopies(const QString &copieDir, const QStringList &datas);

// Writes into `finalPath`, which must not exist, a copy of the results shaped by `shape`
// (run in one transaction on the copy, whose deletions overwrite what they remove), made
// owner-only in a temporary file beside it, checked and renamed in. The problem, or nullopt.
std::optional<QString> writeShapedCopy(Database &results, const QString &finalPath,
                                       const std::function<bool(Database &, QString *)> &shape);

// The last failed copy, not yet shown, as a sentence for the teacher with its date; empty
// when there is none. clearBackupProblem() once it was shown.
QString pendingBackupProblem(Database &results);
void clearBackupProblem(Database &results);

} // namespace qv
