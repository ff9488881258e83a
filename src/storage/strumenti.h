// The pupils' compensatory tools in the results file: table "strumenti", one row per pupil
// who has any, keyed by the class table and the record's data value (the record's thirty
// fields stay as they are). What the archive marks and the pupil printout lists.
#pragma once

#include "storage/database.h"
#include "seams/pupiltools.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

namespace qv {

// The tools of one pupil (none when the file has no row or no table for them). false with
// the reason when the table cannot be read.
bool readTools(Database &db, const QString &table, const QString &data, PupilTools *tools, QString *error = nullptr);
// Stores the tools of one pupil; setting none removes the row. The passages are read
// aloud only with read-aloud. false with the reason when it cannot be written.
bool writeTools(Database &db, const QString &table, const QString &data, const PupilTools &tools,
                QString *error = nullptr);
// Every pupil of a class who has tools, by data value.
QHash<QString, PupilTools> classTools(Database &db, const QString &table);

// The column values of the tools, in the order of toolValueColumns(), and the tools back from such values (nullopt when a value
// is not one the table allows: a damaged or foreign row).
QVariantList toolValues(const PupilTools &tools);
std::optional<PupilTools> toolsFromValues(const QVariantList &values);

// The tools named in Italian, in a fixed order; empty for none.
QStringList toolNames(const PupilTools &tools);
// "Prove svolte con strumenti compensativi: …." for the printout; empty for none.
QString toolsLine(const PupilTools &tools);

} // namespace qv
