// The school year in the results: which year the class tables hold, the years already
// closed, how many years are kept, and the statements that count and take out the records
// of a year. A record belongs to the year in which it was started: its `data` (the moment
// it was added) tells it. The year begins on 1 September.
#pragma once

#include "storage/database.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qv {

// The school year a day falls in, named by its first calendar year (2026 for 2026/2027).
int schoolYearOf(const QDate &day);
// "2026/2027".
QString yearCaption(int year);
// "2026-2027", the name of the year's file.
QString yearStem(int year);
// The first day of the year as `data` begins ("2026-09-01"), for comparisons with `data`.
QString yearStart(int year);

inline constexpr int kYearsKeptDefault = 3; // the current year and the two before it
inline constexpr int kYearsKeptMax = 10;

// What the results say of the year, read from "impostazioni" (missing or unreadable
// values give the defaults: on a lab computer's connection to the server, say).
struct YearSettings {
    std::optional<int> corrected; // the year the teacher set by hand, when the clock is not to be trusted
    QList<int> closed;            // years closed, ascending
    int kept = kYearsKeptDefault;
};
YearSettings readYearSettings(Database &db);
bool writeYearSettings(Database &db, const YearSettings &s, QString *error);

// The year the class tables hold for new records, and where records of an earlier year not
// yet closed end: records whose `data` is before `cut` belong to that earlier year (empty:
// every record of the tables is of the current year).
struct CurrentYear {
    int year = 0;
    QString cut;
};
CurrentYear currentYear(const YearSettings &s, const QDate &today);
CurrentYear currentYear(Database &db, const QDate &today);

// Records of each class table (class index order) with `data` before `before` (every record
// when it is empty), and the names of those not finished. false with the reason when a
// table cannot be read.
struct ClassYearCount {
    int records = 0;
    QStringList unfinished;
};
bool countYear(Database &db, const QString &before, QList<ClassYearCount> &counts, int *binned, QString *error);

// Inside a transaction the caller holds: deletes from the class tables, the recycle bin,
// the answer log and the tools every row whose `data` is before `before` (every row when it
// is empty). false with the reason.
bool deleteYear(Database &db, const QString &before, QString *error);
// Deletes every row whose `data` is from `from` on: what stays in the current year when an
// earlier one is written to a file of its own.
bool deleteFrom(Database &db, const QString &from, QString *error);
// The class table and `data` of every record and binned record, for erasing them.
struct PupilKey {
    QString classe;
    QString data;
};
QList<PupilKey> yearData(Database &db, QString *error);
// Remembers those pupils as erased for good ("cancellati"), in one transaction.
bool markErased(Database &db, const QList<PupilKey> &keys, const QString &when, QString *error);

// The year mark of an export disk: a table "anno" with one row, beside "prima" (which older
// versions read, and which stays as it was). markDiskYear writes it inside the caller's
// transaction; diskYear reads it: nullopt for a disk of an older version without one, and
// *bad set for a mark that is not one plain table with one year.
bool markDiskYear(Database &disk, int year, QString *error);
std::optional<int> diskYear(Database &disk, bool *bad);

// The current school year of the results today, by the computer's clock.
int resultsYear(Database &db);

// The closed years on the server (the tables "anni_*", see ensureServerYearTables).
// Inside a transaction the caller holds: the rows of the year (those before `before`, every
// one when it is empty) copied into the year's tables, tagged with `year`, then deleted.
bool moveYearOnServer(Database &db, int year, const QString &before, QString *error);
// Results of each class of a closed year (class index order), and those in its bin.
bool serverYearCounts(Database &db, int year, QList<int> &counts, int *binned, QString *error);
// Copies a closed year into `file`, a results file made for it, so the archive's readers
// read it as they read a year's file.
bool copyServerYear(Database &db, int year, Database &file, QString *error);
QList<PupilKey> serverYearData(Database &db, int year, QString *error);
// Deletes a closed year from the server's tables, in one transaction.
bool deleteServerYear(Database &db, int year, QString *error);

} // namespace qv
