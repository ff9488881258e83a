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
    QString message;     // what the teacher is told
};

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
ExchangeResult importaClasse(Database &results, const QString &table, const QString &diskFile,
                             const QString &templateFile = QString());

// The same rule between two results databases: the records of class `table` of `source`
// (with their answers) go into the same class of `results`, inside a transaction the
// caller holds (nothing is committed or rolled back here). Counts in added, updated,
// present, unreadable; ok false with the failure's text in message.
ExchangeResult mergeClassFrom(Database &results, Database &source, const QString &table);

} // namespace qv
