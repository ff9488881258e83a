// The teacher's tables beside the class tables, each described once (answer log, pupils'
// tools, recycle bin, settings, pupils erased for good), and the statement texts made from
// names: the DDL, the column lists and the placeholders all come from here, and every
// identifier is quoted by the connection's own driver.
#pragma once

#include "storage/dialect.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace qv {

class Database;

// A name as the connection's driver quotes it (a table or a column). The driver takes a name
// that begins or ends with a double quote as quoted already, and a dot as a schema's: the
// program's names (the fixed class map, the tables described here) have neither.
QString quotedName(const QSqlDatabase &db, const QString &name);
QString quotedName(Database &db, const QString &name);

struct TableColumn {
    QString name;
    QString sql; // the whole definition: the name, its type and constraints
};

struct TableSpec {
    QString name;
    QList<TableColumn> columns; // in their stored order
    QStringList key;            // the primary key; empty when a column carries it
    bool keyedOnly = false;     // rows found by their key alone (WITHOUT ROWID on SQLite)

    QStringList names() const;
    // The columns after the first `skip` ones (the key columns of a pupil's row, say).
    QStringList namesAfter(int skip) const;
    QString createSql(const QSqlDatabase &db, const Dialect &d) const;
};

// Where a table lives: the results (rows carry their class) or an export disk (one class).
enum class TableHome { Results, Disk };

// "risposte": one row per item per pupil.
TableSpec answerTable(TableHome home);
// "strumenti": a pupil's compensatory tools, one column per tool.
TableSpec toolTable(TableHome home);
// "eliminati": the thirty fields of a deleted record, its class table, its row there, when.
TableSpec binTable(const Dialect &d);
// "impostazioni": chiave, valore.
TableSpec settingsTable();
// "cancellati": the data of each pupil erased for good, its class table, when.
TableSpec erasedTable();
// The thirty fields of the pupil record: whole numbers of 16 bits, the name of at most
// kNameMaxLength characters; "data" filled by the database when `dataDefault`.
QList<TableColumn> recordColumns(const Dialect &d, bool dataDefault);

// The answer columns after the class and the pupil's data, in the order the programs pass them.
const QStringList &answerValueColumns();
// The tool columns after the key: voce, voce_brani, testo, carattere, contrasto.
const QStringList &toolValueColumns();
// The tables keyed by a pupil's data that go with the pupil when erased.
const QStringList &pupilCompanionTables();

// Statement texts on one connection, names quoted by its driver. Conditions are equalities
// with placeholders, joined by AND.
class Sql {
public:
    explicit Sql(const QSqlDatabase &db) : db_(db) {}
    explicit Sql(Database &db);

    QString name(const QString &identifier) const { return quotedName(db_, identifier); }
    QString list(const QStringList &columns) const;
    static QString marks(int n);
    QString select(const QString &table, const QStringList &columns, const QStringList &where = {},
                   const QString &order = {}) const;
    QString insert(const QString &table, const QStringList &columns) const;
    // An insert that replaces the non-key columns of a row with the same key.
    QString upsert(const QString &table, const QStringList &columns, const QStringList &key) const;
    // An insert that leaves a row with the same key as it is.
    QString insertNew(const QString &table, const QStringList &columns, const QStringList &key) const;
    QString update(const QString &table, const QStringList &set, const QStringList &where) const;
    QString remove(const QString &table, const QStringList &where = {}) const;
    // The rows whose `column` is one of `n` placeholders: "… WHERE column IN (?, …)".
    QString selectAmong(const QString &table, const QString &column, int n) const;
    QString removeAmong(const QString &table, const QString &column, int n) const;
    // The placeholders one statement binds at most in those lists.
    static constexpr int kListSlice = 500;
    QString count(const QString &table) const;

private:
    QString where(const QStringList &columns) const;
    QSqlDatabase db_;
};

} // namespace qv
