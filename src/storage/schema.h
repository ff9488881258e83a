// The layout of the results database and of the export database, made by the set-up
// tool and by tests with the same code, and the check the program runs at start-up.
#pragma once

#include "storage/database.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace qv {

// One sentence of a content table of the analysis tests.
struct AnalysisSentence {
    int ordine = 0;
    QStringList elementi;  // 1..10 elements in reading order
    QStringList categorie; // the correct category of each element
};

inline constexpr int kMaxElementi = 10;

// Creates what is missing of the ten class tables with their indexes and of the content
// tables. Never drops, empties or changes a class table.
bool ensureResultsSchema(Database &db, QString *error);
// Replaces the rows of a content table ("a_grammaticale" or "A_logica") in one transaction.
bool loadAnalysisTable(Database &db, const QString &table, const QList<AnalysisSentence> &rows,
                       QString *error);
// The export database: table "prima" with the pupil-record fields and index "nome".
bool ensureExportSchema(Database &db, QString *error);

// The teacher's tables, created on first use in a results file of an older version and
// never read by one: "impostazioni" (chiave, valore) and the recycle bin "eliminati"
// (the thirty fields of a deleted record, its class table, its row there and when it was
// deleted), and the answer log "risposte" (one row per item per pupil: class table, the
// pupil's data, test, item, what was given, whether it was right, when), and the pupils'
// compensatory tools "strumenti" (class table, the pupil's data, one column per tool), and
// "cancellati" (the data of each pupil erased for good, its class table, when), which keeps
// an older disk or copy from bringing such a pupil back.
bool ensureArchiveTables(Database &db, QString *error);
// On the server, the closed school years: "anni_classi" (year, class table, the thirty fields
// and the row number), "anni_eliminati", "anni_risposte", "anni_strumenti" (year and the
// columns of the table they come from). Made by ensureArchiveTables on the server only; on
// the file a closed year is a file of its own.
bool ensureServerYearTables(Database &db, QString *error);
// The names of the tables ensureArchiveTables makes, for whoever must treat them alike (the
// server's owner and grants).
const QStringList &archiveTableNames();
// The answer log of the export database: "risposte" as in the results file without the
// class column. Kept apart from "prima", which older versions read.
bool ensureExportAnswers(Database &db, QString *error);
// The pupils' tools on the export database: "strumenti" keyed by the pupil's data.
bool ensureExportTools(Database &db, QString *error);
// A value of "impostazioni"; empty when absent or unreadable.
QString setting(Database &db, const QString &key);
// Writes (or with an empty value removes) a value of "impostazioni".
bool setSetting(Database &db, const QString &key, const QString &value, QString *error = nullptr);

// Checks that the file holds the ten class tables with the thirty fields in their order.
bool checkResultsSchema(Database &db, QString *error);
// Checks that a table "prima" with every pupil-record field is present.
bool checkExportSchema(Database &db, QString *error);

// Element and category column names of the content tables (k = 1..10).
QString elementColumn(int k);
QString categoryColumn(int k);

} // namespace qv
