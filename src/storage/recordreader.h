// Reads the pupil records of a class table (or of an export disk's "prima") by column name,
// in the table's own order, in one statement: only the fields asked for are read, never a
// column of the table's own, and a field the table lacks reads as null.
#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace qv {

class Database;

class RecordReader {
public:
    // `fields` in the order value() counts them. `present`: the table's columns, when the
    // caller already knows them (an open cursor, a check of the table); only those fields
    // are read. Without it every field must be a column of the table.
    RecordReader(Database &db, const QString &table, const QStringList &fields,
                 const std::optional<QStringList> &present = std::nullopt);

    // Runs the statement; false when the table cannot be read at all (see error()).
    bool exec();
    // The next record; false at the end or when reading stopped on a failure (error()).
    bool next() { return q_.next(); }
    // Whether field i is a column of the table.
    bool has(int i) const { return pos_.value(i, -1) >= 0; }
    QVariant value(int i) const { return has(i) ? q_.value(pos_[i]) : QVariant(); }
    // The value as text; empty for null.
    QString text(int i) const;
    // The value as a whole number; nullopt for null or a value that is none.
    std::optional<int> number(int i) const;
    // Invalid while the reading went well.
    QSqlError error() const { return q_.lastError(); }

private:
    Database &db_;
    QString table_;
    QStringList select_;
    QList<int> pos_;
    QSqlQuery q_;
};

} // namespace qv
