// What the program does to an SQLite file as a file: a whole copy of an open one, the check
// of a copy, a connection that can change nothing, another file attached to a connection
// and its tables put in place of the connection's own, the log folded back, and the durable
// "write beside, then rename" that every new file of the program goes through.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <system_error>

namespace qv {

class Database;

namespace sqlitefile {

// Flushes a file or a folder (a renamed entry) to the disk. false with errno set.
bool syncPath(const QString &path);
// `from` flushed, renamed to `to`, and the folder of `to` flushed: after a power cut the
// new name holds the whole file or the old one is still there. The error (errno of the
// flush or the rename; its message() is the text), or none.
std::error_code durableRename(const QString &from, const QString &to);
// Writes `bytes` as `file`, owner-only, whole or not at all: into a temporary name beside
// it, flushed, then renamed in durably. The error's text, or empty.
QString writeWhole(const QString &file, const QByteArray &bytes);

// A whole, compact copy of the open file into `target` (an empty file or none) in one
// statement; false with the failure in *error.
bool copyInto(Database &db, const QString &target, QSqlError *error);
// Turns a copy into a plain rollback-journal database and checks it page by page. The
// problem in Italian, or nullopt; the failed statement's error in *error.
std::optional<QString> verify(const QString &file, QSqlError *error);
// Rebuilds the open file from its live rows, so no page of deleted rows is left in it.
bool rebuild(Database &db, QString *error);
// Folds the write-ahead log back into the file and empties it. false with a message.
bool foldLog(Database &db, QString *error);
// Of the tables named, those the file has, each with its kind: "table" for an ordinary
// table; otherwise its kind marked with "*" (a view, a virtual table whose rows a module
// makes). nullopt with the error.
std::optional<QHash<QString, QString>> tableKinds(Database &db, const QStringList &names, QString *error);
// A double-quoted name that names nothing fails instead of being read as a text.
void refuseQuotedText(QSqlDatabase &db);

// A connection to a file that can change nothing, not even leave companions beside it.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString &file);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    // Why it did not open; empty when open.
    QString error() const { return error_; }
    QSqlDatabase db() const;
    // The lines of SQLite's quick check ({"ok"} for a sound file); nullopt with the error.
    std::optional<QStringList> quickCheck(QSqlError *error) const;
    bool hasTable(const QString &table) const;
    QStringList columns(const QString &table) const;
    std::optional<qint64> count(const QString &table, QSqlError *error) const;
    // Whether any row of `table` has one of `values` in `column`; nullopt with the error.
    std::optional<bool> hasRow(const QString &table, const QString &column, const QStringList &values,
                               QString *error) const;

private:
    QString name_;
    QString error_;
};

// Another file attached to an open connection under `schema` until this goes.
class Attached {
public:
    Attached(Database &db, const QString &file, const QString &schema);
    ~Attached();
    Attached(const Attached &) = delete;
    Attached &operator=(const Attached &) = delete;

    bool ok() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    bool hasTable(const QString &table) const;
    // The rows of the connection's own `table` replaced by those of the attached file's
    // (`columns` of both), in row-number order when `ordered`. Inside the caller's transaction.
    bool replaceTable(const QString &table, const QStringList &columns, bool ordered, QString *error);

private:
    Database &db_;
    QString schema_;
    QString error_;
};

// A transaction that takes the write lock at once (waiting for another program's write),
// before any row changes.
bool beginImmediate(Database &db, QString *error);
bool commitRaw(Database &db, QString *error);
void rollbackRaw(Database &db);

// Every row of `table` as one text per row, each value quoted with its type kept apart
// (1, '1', X'31', NULL), the row number first when `withRowid`, ordered by the columns of
// `orderBy` (the row number when empty). false with the error.
bool quotedRows(Database &db, const QString &table, const QStringList &columns, bool withRowid, const QStringList &orderBy,
                const std::function<void(const QString &)> &row, QString *error);

} // namespace sqlitefile
} // namespace qv
