// The few places where SQLite and PostgreSQL want different SQL: column types, the row
// number (SQLite's rowid; on the server a bigint identity column named "rowid"), the
// default of "data", index keys, and what only SQLite has (pragmas, WITHOUT ROWID).
// Everything else the program writes is plain SQL both engines take.
#pragma once

#include <QString>

namespace qv {

class Dialect {
public:
    enum class Engine { Sqlite, Postgres };
    explicit Dialect(Engine e = Engine::Sqlite) : engine_(e) {}

    Engine engine() const { return engine_; }
    bool server() const { return engine_ == Engine::Postgres; }

    // A whole-number field of the pupil record: a 16-bit integer.
    QString smallIntColumn(const QString &name) const;
    // The "data" column, filled by the database with the local date-time to the millisecond
    // and eight random hex digits: "2026-09-14 09:00:00.123 1a2b3c4d".
    QString dataColumn() const;
    // The row number column to append to a table's columns; empty on SQLite, which has rowid.
    QString rowIdColumn() const;
    // The type of a column holding a row number of another table.
    QString rowNumberType() const;
    // Appended to a SELECT of one row that a store on another connection may be writing,
    // to hold it until the transaction ends; empty on SQLite, which writes one at a time.
    QString lockForUpdate() const;
    // A query with one placeholder, the table's name: a row when the table (or on the
    // server a view of the connection's schema) exists.
    QString tableExistsQuery() const;
    // A query with one placeholder, the table's name: its columns in their order, never the
    // row number, each as (name, declared type).
    QString columnsQuery() const;
    // An integer primary key that numbers new rows by itself.
    QString autoIdColumn(const QString &name) const;
    // Appended to CREATE TABLE of a table keyed by its primary key alone.
    QString keyedTableSuffix() const;
    // A fresh row number for an INSERT that cannot keep the one it carries.
    QString newRowId(const QString &quotedTable) const;
    // Appended to an INSERT so that it gives the new row's number as its result; empty when
    // the driver knows it (lastInsertId).
    QString returningRowId() const;
    // Whether an UPDATE gives back the row it wrote (RETURNING), so that the cursor takes
    // its new values in the same round trip: on the server, where every statement is one;
    // SQLite reads in-process, and a read only when asked for costs less there.
    bool updateReturnsRow() const { return server(); }
    // The sort key of an index on `column`: nulls first, then the values; text compared byte
    // by byte on both engines.
    QString indexKey(const QString &quotedColumn, bool text) const;

private:
    Engine engine_;
};

} // namespace qv
