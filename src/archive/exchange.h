// Export of a class onto the disk database "expquorvane.mdb" and import of a disk into a
// class. Each runs as one transaction: it is done whole, or the file it writes is left as
// it was. Both end with a short Italian message for the teacher.
#pragma once

#include "storage/database.h"

#include <QString>
#include <QStringList>

namespace qv {

struct ExchangeResult {
    bool ok = false;
    int written = 0;     // export: records written onto the disk
    int replaced = 0;    // export: earlier copies of them removed from the disk
    int added = 0;       // import: records added to the class
    int updated = 0;     // import: records of the class replaced by a copy that got further
    int present = 0;     // import: rows whose record the class holds as far on, left alone
    int unreadable = 0;  // import: malformed rows skipped
    int erased = 0;      // import: rows of pupils erased for good from this archive, left out
    int otherYear = 0;   // import refused: the school year the disk holds, not the archive's
    QString message;     // what the teacher is told
};

// An import into a closed school year's file: the year the disk must hold, and the results
// file whose list of pupils erased for good keeps them out of that year too.
struct IntoYear {
    int year = 0; // 0: the results' current year
    Database *erasedList = nullptr;
};

// A disk a class can come from holds no more than a class can: rows of "prima" and of
// "strumenti", answers, the length of any value, and the size of a sealed file.
inline constexpr int kDiskMaxRecords = 1000;
inline constexpr int kDiskMaxAnswers = kDiskMaxRecords * 400;
inline constexpr int kDiskMaxValueBytes = 64 * 1024;
inline constexpr qint64 kSealedMaxBytes = qint64(64) << 20;

// The sealed export: the disk file encrypted with a passphrase the teacher chooses (Argon2id
// for the key, XChaCha20-Poly1305 for the file), under a name of its own, so an older
// version finds no disk rather than a damaged one.
inline constexpr const char *kSealedExportFile = "expquorvane.cifrato";
inline constexpr int kPassphraseMinLength = 8;
bool passphraseAcceptable(const QString &passphrase);

// The fields export and import carry, by name.
const QStringList &transferredFields();

// The answer log travels in a second table "risposte" of the disk file (the pupil's data,
// test, item, answer, right, when), the pupils' compensatory tools in a third,
// "strumenti"; "prima" stays as older versions read it.
//
// CreaTabellaEXP: writes every record of the class table onto the disk file, with its answers. A missing
// file is made new from the export schema. Copies an earlier export of these same
// records left (same nome and data) are removed first, so a record is never doubled;
// rows of other computers stay. A disk file that is the results file or the export
// template (`templateFile`) is refused.
ExchangeResult esportaClasse(Database &results, const QString &table, const QString &diskFile,
                             const QString &templateFile);

// Adds the rows of the disk file to the class table. A row whose data value the class
// already holds replaces that record when it has got further (a higher arrivo, then sub,
// then more fields filled), and is left otherwise; a malformed row is skipped and counted.
// A record added or replaced takes its answers from the disk (none from a disk of an
// older version); a record left alone keeps its own. The disk's tools of a pupil come with
// a record added or replaced, and to a record left alone that has none; a pupil's tools
// are never removed by an import.
// The results file and the export template are refused as disk files.
// A disk of another year is refused (otherYear set); with `into` it goes into that year's file.
ExchangeResult importaClasse(Database &results, const QString &table, const QString &diskFile,
                             const QString &templateFile = QString(), const IntoYear &into = {});

// The class onto the disk `folder` as the sealed file, built in a private temporary folder
// and written owner-only, whole or not at all. It replaces the disk's earlier exports: a
// sealed one, and a plain one, which is deleted.
ExchangeResult esportaSigillato(Database &results, const QString &table, const QString &folder,
                                const QString &passphrase, const QString &templateFile);
// The plain export for a computer with an older version, chosen explicitly: esportaClasse
// onto "expquorvane.mdb" of `folder`, then a sealed file on the disk is deleted.
ExchangeResult esportaInChiaro(Database &results, const QString &table, const QString &folder,
                               const QString &templateFile);

// The export file an import of `folder` reads: the sealed one, or the plain one of an older
// version (`file` may not exist); of both, the newer, with the other in `older`.
struct DiskInFolder {
    QString file;
    bool sealed = false;
    QString older;
};
DiskInFolder diskInFolder(const QString &folder);

// importaClasse from a sealed file. A wrong passphrase, or a file changed by a single byte,
// cut short or lengthened, is refused with a message that says which, and nothing changes.
ExchangeResult importaSigillato(Database &results, const QString &table, const QString &sealedFile,
                                const QString &passphrase, const QString &templateFile = QString(),
                                const IntoYear &into = {});

// The same rule between two results databases: the records of class `table` of `source`
// (with their answers) go into the same class of `results`, inside a transaction the
// caller holds (nothing is committed or rolled back here). Counts in added, updated,
// present, unreadable; ok false with the failure's text in message.
ExchangeResult mergeClassFrom(Database &results, Database &source, const QString &table);

} // namespace qv
