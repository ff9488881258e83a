// The recycle bin of the archive: a deleted result is moved, with its class, into the
// table "eliminati" instead of being destroyed, can be put back into its class with every
// field as it was, and is destroyed for good only when the bin is emptied. The answers of a
// result ("risposte") and its compensatory tools ("strumenti") stay keyed by its class and
// data, so they follow it back, and are destroyed with it.
#pragma once

#include "storage/database.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace qv {

struct DeletedResult {
    qint64 id = 0;
    QString classe;    // the class table
    QString nome;
    QString data;
    QString eliminato; // when it was deleted, "AAAA-MM-GG hh:mm:ss"
};

// Moves the record `rowid` of a class table into the bin, in one transaction: it is never
// in both places, never in neither.
bool moveToBin(Database &db, const QString &table, qint64 rowid, const QDateTime &when, QString *error);
// What the bin holds, the most recently deleted first.
QList<DeletedResult> binContents(Database &db, QString *error = nullptr);
// Puts a result back into its class. Refused (and left in the bin) when the class holds a
// record with the same data value, e.g. imported again since.
bool restoreFromBin(Database &db, qint64 id, QString *message);
// Erases the result `id` of the bin for good, in one transaction: its record (and a record with
// its data in any class, imported again since), answers and tools, and writes its data into
// "cancellati", so no later import or restore brings it back. `erased` gets what it was.
// The copies are the caller's (eraseFromCopies).
bool eraseForGood(Database &db, qint64 id, const QDateTime &when, DeletedResult *erased, QString *error);
// The data values erased for good ("cancellati"); empty in an older file.
QStringList erasedData(Database &db);
// Destroys everything in the bin, with the answers and tools of its results (not those of a record of
// the class with the same data, e.g. imported again since).
bool emptyBin(Database &db, QString *error);

} // namespace qv
