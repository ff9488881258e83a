// The results database handle: one SQLite file, or a PostgreSQL database on a server,
// reached through Qt Sql (QSQLITE, QPSQL). Opened once at start-up; every table cursor of
// the program comes from here. What differs between the engines is in dialect().
#pragma once

#include "storage/dialect.h"
#include "storage/serverconfig.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct sqlite3_stmt;

namespace qv {

class Recordset;

class Database {
public:
    // ReadOnly: an existing file opened for reading only (a closed school year); no
    // statement may change it, and it is left as it was.
    enum class Journal { Wal, Rollback, ReadOnly };

    // How long a statement waits for a lock another connection (another computer, another
    // program on the same file) holds before it fails, and, on the server, how long any
    // statement may run.
    static constexpr int kLockTimeoutMs = 3000;
    static constexpr int kStatementTimeoutMs = 10000;

    // Opens an existing file. Never creates one: a missing file, a file that is not a
    // database, or one that cannot be read gives nullptr and an Italian message in *error.
    static std::unique_ptr<Database> open(const QString &path, QString *error,
                                          Journal journal = Journal::Wal);
    // Creates (or opens) a file for the set-up tool and for tests.
    static std::unique_ptr<Database> create(const QString &path, QString *error,
                                            Journal journal = Journal::Wal);
    // Makes a new file at `path`, which must not exist: it is built in a temporary file
    // beside it by `fill` and renamed into place only when complete and closed, so a
    // failure (a full disk, say) leaves nothing new behind. false with a message in *error.
    static bool createWhole(const QString &path, Journal journal,
                            const std::function<bool(Database &, QString *)> &fill, QString *error);
    // Connects to the server `config` names (State::Ready). Never falls back to a file:
    // nullptr and an Italian message naming the server in *error. A `password` given is
    // kept in memory for this connection's reconnects only (a teacher's login); without
    // one libpq finds it in the password file, or the server needs none (peer).
    static std::unique_ptr<Database> connect(const ServerConfig &config, QString *error,
                                             const QString &password = QString());
    // Removes a database file and the companions SQLite may have left beside it.
    static void removeFiles(const QString &path);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // A cursor on a table, standing on its first row. Only tables the program knows
    // (class tables, content tables, the export table) can be opened; any other name,
    // or a table missing from the file, gives nullptr and sets lastError().
    std::unique_ptr<Recordset> openRecordset(const QString &table);

    // Whether the file takes writes: a write is tried inside a transaction that is rolled
    // back, so nothing changes. false with an Italian message naming the file in *error
    // (a write-protected file or medium: "... è di sola lettura ..."). On the server: whether
    // the role may add and change rows of every class table (what the pupils' road does),
    // and the database is not read-only.
    bool canWrite(QString *error);
    // Whether this user may write the file and the companions SQLite keeps beside it
    // (-wal, -shm, -journal) and its folder, checked on the file system before any open: a read-only open
    // of a write-protected file would leave write-protected companions that keep the file
    // read-only after its own protection is lifted. false with a message naming the file.
    static bool filesWritable(const QString &path, QString *error);

    // Test seam for faults of the medium. When set, it is called at every open with the
    // file's path and may return connect options to add (e.g. "QSQLITE_OPEN_READONLY") and
    // statements to run on the new connection (e.g. "PRAGMA max_page_count = 20").
    struct OpenTweak {
        QString connectOptions;
        QStringList statements;
    };
    static void setOpenTweaker(std::function<OpenTweak(const QString &path)> tweaker);

    bool isOpen() const;
    void close();
    bool hasTable(const QString &table) const;
    // The table's columns in their order (never the row number); with `textColumns`, those
    // of them that hold text.
    QStringList columns(const QString &table, QStringList *textColumns = nullptr) const;

    // The relation a cursor's Edit writes the table's rows through: on the server, the view
    // of unfinished records the guard gives the pupils' role (found once per connection);
    // empty when the rows are written to the table by its own name.
    QString storeTable(const QString &table);

    const Dialect &dialect() const { return dialect_; }
    // The connection a server's handle was made with; an Absent one for a file.
    const ServerConfig &serverConfig() const { return server_; }
    bool onServer() const { return dialect_.server(); }
    // "file \"path\"" or "database \"name\" sul server host", for messages ("al ...", "nel ...").
    QString where() const;
    // A server connection lost (a server restarted, a network cut) is replaced by a new one,
    // under a new name: the statements prepared on the old one go with it (never sent to the
    // new one) and the cursors prepare theirs again. Nothing to do for a file.
    bool reconnect(QString *error = nullptr);
    // Whether the handle is open; on the server a connection left closed (a reconnect that
    // failed while the server was away) is tried again first, so the program connects as
    // soon as the server is back. A handle closed by close() stays closed. On failure the
    // reason is in lastError() (and in *error).
    bool ensureOpen(QString *error = nullptr);
    // Grows at every new connection, so cursors know their prepared statements are gone.
    int connectionGeneration() const { return connectionGeneration_; }
    // Grows at every write through this handle (cursor writes, committed transactions):
    // a cursor reads its current row again when it changed.
    quint64 writeGeneration() const { return writeGeneration_; }
    void noteWrite() { ++writeGeneration_; }
    // Folds SQLite's write-ahead log back into the file; nothing on the server.
    void checkpoint();
    // For a file that comes from outside (an export disk, a copy): no value longer than
    // `bytes` is read or made on this connection (SQLite then fails with SQLITE_TOOBIG), and
    // the file's own schema runs no function with side effects. false where it cannot be set.
    bool limitValues(int bytes);
    // Whether the last failure of `error` was a value longer than limitValues() allows.
    static bool tooBig(const QSqlError &error);

    // A statement prepared once per connection and kept (the store's answer log), so that
    // it is parsed, and on the server sent, only once; nullptr, with lastError(), when it
    // cannot be prepared. The caller binds, runs and finishes it.
    QSqlQuery *prepared(const QString &sql);
    // On a file: a statement on SQLite's own handle, prepared once and kept until the
    // connection closes, for the cursors' reads (Qt's driver would make a record of every
    // column at each run). The caller binds, steps and resets it, and never finalizes it.
    // nullptr on the server, or with the reason in *error when it cannot be prepared.
    sqlite3_stmt *fileStatement(const QString &sql, QString *error);

    // One transaction around several statements (export, import). A commit tells the
    // cursors to read their rows again, since its statements may have changed them; unless
    // `cursorWritesOnly`: every write of the transaction to a table with cursors went
    // through a cursor, which kept its own row current.
    bool begin();
    bool commit(bool cursorWritesOnly = false);
    bool rollback();
    // Ends a transaction begun by begin(): commits it when `ok`; otherwise, and when the
    // commit fails, rolls it back, so that nothing of it is left pending on the connection.
    // false unless committed, with the commit's failure in *error and lastError() (a step
    // that failed before has left its own reason there).
    bool commitOrRollback(bool ok, QString *error);

    // The connection for statements of its own; on the server opened again first when it
    // was left closed (ensureOpen).
    QSqlDatabase &sql()
    {
        ensureOpen();
        return db_;
    }
    // Cursors hold this token weakly, so a cursor that outlives its database fails
    // cleanly instead of touching freed memory.
    std::weak_ptr<int> token() const { return token_; }
    QString path() const { return path_; }
    QString lastError() const { return lastError_; }
    void setLastError(const QString &e) { lastError_ = e; }

private:
    Database(QSqlDatabase db, QString connection, QString path, Dialect dialect = Dialect());
    bool startServerSession(QString *error);
    bool serverCanWrite(QString *error);
    static std::unique_ptr<Database> openImpl(const QString &path, QString *error,
                                              Journal journal, bool mustExist);
    QSqlDatabase db_;
    QString connection_;
    QString path_;
    QString lastError_;
    Dialect dialect_;
    ServerConfig server_;
    QHash<QString, QSqlQuery> statements_;
    QHash<QString, sqlite3_stmt *> fileStatements_;
    QHash<QString, QString> storeTables_;
    int storeTablesConnection_ = -1;
    int connectionGeneration_ = 0;
    quint64 writeGeneration_ = 0;
    std::shared_ptr<int> token_ = std::make_shared<int>(0);
};

// The longest value any connection of the program to an SQLite file reads or writes.
inline constexpr int kStoredValueMaxBytes = 1024 * 1024;
// Sets that limit (SQLITE_LIMIT_LENGTH) on an open SQLite connection; false on any other.
bool limitValueLength(QSqlDatabase &db, int bytes);

// Table names a cursor may be opened on: the ten class tables, the two content tables,
// and "prima" of the export database.
bool isKnownTable(const QString &table);

} // namespace qv
