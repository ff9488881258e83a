// The statements of the archive (recycle bin, erasure, export disks, the answers' analysis,
// the restore of a copy) that are more than a plain read or write of one table, made from
// the tables' descriptions with the connection's quoting. Each gives the statement's text;
// the caller binds what its comment lists, in that order.
#pragma once

#include <QString>

namespace qv {

class Database;

namespace archivequeries {

// Holds the record's row until the transaction ends, on the server, where a pupil may be
// storing into it; empty on SQLite. Binds: rowid.
QString lockRecord(Database &db, const QString &table);
// Copies a record of `table` into the bin. Binds: the class table, when, rowid.
QString copyRecordToBin(Database &db, const QString &table);
// Puts a binned record back into `table`, in its own row when that is still free. Binds: id.
QString restoreFromBin(Database &db, const QString &table);
// The bin, newest first: id, classe, nome, data, eliminato.
QString binListing();
// Removes the rows of `companion` ("risposte", "strumenti") of the records of `table` in the
// bin that no record of `table` still has. Binds: the class table, twice.
QString dropBinCompanions(Database &db, const QString &companion, const QString &table);

// The answers of the records of `table` still in it, by record: data, prova, numero,
// risposta, giusta, quando. Binds: the class table.
QString classAnswers(Database &db, const QString &table);
// How many records of `table` have answers logged. Binds: the class table.
QString answeredRecords(Database &db, const QString &table);
// The answers of the records of `table` counted by answer: prova, numero, risposta, giusta,
// count. Binds: the class table.
QString answerTally(Database &db, const QString &table);

// Removes a disk's earlier copies of a record (nome and data alike, nulls too). Binds: nome, data.
QString removeDiskCopies();

// After a restore: the answers of records outside the bin (`withBin`: the results have a bin).
QString dropAnswersOutsideBin(bool withBin);
// The rows of `table` of pupils erased for good from the results.
QString dropErased(Database &db, const QString &table);
// Deletes from `table` of the main file the rows of one pupil: its data bound, then, for a
// table of every class (`byClass`), its class table.
QString dropOnePupil(Database &db, const QString &table, bool byClass);

} // namespace archivequeries
} // namespace qv
