#include "storage/database.h"

#include "storage/classmap.h"
#include "storage/privatefiles.h"
#include "storage/recordset.h"
#include "storage/serverguard.h"
#include "storage/sqlitefile.h"
#include "storage/tables.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimeZone>

#include <QSqlDriver>

#include <sqlite3.h>

namespace qv {

namespace {
QAtomicInt connectionCounter;
std::function<Database::OpenTweak(const QString &)> openTweaker;
} // namespace

bool isKnownTable(const QString &table)
{
    return isClassTable(table) || table == QLatin1String("a_grammaticale")
        || table == QLatin1String("A_logica") || table == QLatin1String("prima");
}

Database::Database(QSqlDatabase db, QString connection, QString path, Dialect dialect)
    : db_(std::move(db)), connection_(std::move(connection)), path_(std::move(path)), dialect_(dialect)
{
}

std::unique_ptr<Database> Database::connect(const ServerConfig &config, QString *error, const QString &password)
{
    auto setError = [&](const QString &e) {
        if (error)
            *error = e;
        return nullptr;
    };
    if (config.state() != ServerConfig::State::Ready)
        return setError(config.error());
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return setError(QStringLiteral("Manca il modulo di Qt per PostgreSQL (pacchetto libqt6sql6-psql): "
                                       "non posso collegarmi al %1.")
                            .arg(config.describe()));
    const QString conn = QStringLiteral("quorvane-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    std::unique_ptr<Database> result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), conn);
        db.setConnectOptions(config.connectionString());
        if (!password.isNull())
            db.setPassword(password);
        result.reset(new Database(db, conn, QString(), Dialect(Dialect::Engine::Postgres)));
    }
    result->server_ = config;
    QString e;
    if (!result->reconnect(&e))
        return setError(e);
    return result;
}

bool Database::reconnect(QString *error)
{
    if (!onServer())
        return isOpen();
    if (connectionGeneration_ > 0) {
        const QString conn = QStringLiteral("quorvane-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
        QSqlDatabase fresh = QSqlDatabase::cloneDatabase(db_, conn);
        // The old driver goes with its name, and the statements prepared on it are dropped
        // without a word to any server.
        close();
        db_ = fresh;
        connection_ = conn;
    }
    ++connectionGeneration_;
    ++writeGeneration_;
    if (!db_.open()) {
        const QString why = db_.lastError().databaseText().trimmed();
        if (error)
            *error = QStringLiteral("Non riesco a collegarmi al %1: %2")
                         .arg(server_.describe(), server_.explainFailure(why.isEmpty() ? db_.lastError().text() : why));
        return false;
    }
    return startServerSession(error);
}

bool Database::ensureOpen(QString *error)
{
    if (isOpen())
        return true;
    QString e;
    if (!onServer() || !db_.isValid())
        e = QStringLiteral("archivio chiuso");
    else if (reconnect(&e))
        return true;
    lastError_ = e;
    if (error)
        *error = e;
    return false;
}

// The driver leaves the session in UTC: "data" is made in this computer's local time, as
// the file makes it.
bool Database::startServerSession(QString *error)
{
    QSqlQuery q(db_);
    // The server's notices ("already exists, skipping") are of no use to anyone here. A
    // statement waiting for a lock another connection holds (or running away) fails within
    // seconds, so a pupil is told at once instead of facing a screen that does not answer.
    q.exec(QStringLiteral("SET client_min_messages = warning; SET lock_timeout = %1; SET statement_timeout = %2")
               .arg(kLockTimeoutMs)
               .arg(kStatementTimeoutMs));
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    if (!zone.isEmpty() && q.exec(QStringLiteral("SET TIME ZONE '%1'").arg(QString(zone).replace('\'', QStringLiteral("''")))))
        return true;
    const int offset = QTimeZone::systemTimeZone().offsetFromUtc(QDateTime::currentDateTime());
    if (q.exec(QStringLiteral("SET TIME ZONE INTERVAL '%1 seconds'").arg(offset)))
        return true;
    if (error)
        *error = QStringLiteral("Non riesco a preparare il collegamento al %1: %2").arg(server_.describe(), q.lastError().text());
    db_.close();
    return false;
}

QString Database::where() const
{
    if (onServer())
        return server_.describe();
    return QStringLiteral("file \"%1\"").arg(QDir::toNativeSeparators(QFileInfo(path_).absoluteFilePath()));
}

void Database::checkpoint()
{
    if (!onServer() && isOpen())
        QSqlQuery(db_).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

Database::~Database()
{
    close();
}

std::unique_ptr<Database> Database::open(const QString &path, QString *error, Journal journal)
{
    return openImpl(path, error, journal, true);
}

std::unique_ptr<Database> Database::create(const QString &path, QString *error, Journal journal)
{
    return openImpl(path, error, journal, false);
}

std::unique_ptr<Database> Database::openImpl(const QString &path, QString *error, Journal journal,
                                             bool mustExist)
{
    auto setError = [&](const QString &e) {
        if (error)
            *error = e;
    };
    const QFileInfo fi(path);
    if (mustExist && !fi.exists()) {
        setError(QStringLiteral("Il file \"%1\" non esiste.").arg(QDir::toNativeSeparators(fi.absoluteFilePath())));
        return nullptr;
    }
    if (fi.exists() && (!fi.isFile() || !fi.isReadable())) {
        setError(QStringLiteral("Il file \"%1\" non si può leggere.").arg(QDir::toNativeSeparators(fi.absoluteFilePath())));
        return nullptr;
    }
    // A file made here is owner-only from its first byte; SQLite gives its journal, log and
    // shared-memory companions the mode of the file they belong to.
    if (!mustExist && !fi.exists() && !fi.isSymLink() && !preparePrivateFile(path)) {
        setError(QStringLiteral("Non riesco a creare il file \"%1\".").arg(QDir::toNativeSeparators(fi.absoluteFilePath())));
        return nullptr;
    }
    const QString conn = QStringLiteral("quorvane-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    const OpenTweak tweak = openTweaker ? openTweaker(path) : OpenTweak();
    std::unique_ptr<Database> result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kLockTimeoutMs);
        if (!tweak.connectOptions.isEmpty())
            options += QLatin1Char(';') + tweak.connectOptions;
        if (journal == Journal::ReadOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open()) {
            setError(QStringLiteral("Il file \"%1\" non si può aprire: %2")
                         .arg(QDir::toNativeSeparators(fi.absoluteFilePath()), db.lastError().text()));
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(conn);
            return nullptr;
        }
        result.reset(new Database(db, conn, path));
    }
    // Reading the schema fails at once on a file that is not a database.
    QSqlQuery q(result->db_);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next()) {
        setError(QStringLiteral("Il file \"%1\" non è un archivio valido: %2")
                     .arg(QDir::toNativeSeparators(fi.absoluteFilePath()), q.lastError().text()));
        return nullptr;
    }
    q.finish();
    // A planted value of megabytes (a "name" of 5 MB) fails to read at once instead of
    // freezing the archive; nothing the program stores comes near the limit.
    limitValueLength(result->db_, kStoredValueMaxBytes);
    sqlitefile::refuseQuotedText(result->db_);
    if (journal == Journal::ReadOnly)
        return result;
    if (journal == Journal::Wal)
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    // Every store survives a power cut: a pupil loses at most the answer on screen.
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    // Pupils' results are personal data: what is deleted is overwritten, not just unlinked.
    q.exec(QStringLiteral("PRAGMA secure_delete=ON"));
    for (const QString &statement : tweak.statements)
        q.exec(statement);
    return result;
}

bool limitValueLength(QSqlDatabase &db, int bytes)
{
    if (!db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *h = *static_cast<sqlite3 *const *>(handle.constData());
    if (!h)
        return false;
    sqlite3_limit(h, SQLITE_LIMIT_LENGTH, bytes);
    return true;
}

bool Database::limitValues(int bytes)
{
    if (onServer() || !limitValueLength(db_, bytes))
        return false;
    QSqlQuery q(db_);
    return q.exec(QStringLiteral("PRAGMA trusted_schema = OFF"));
}

bool Database::tooBig(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() % 256 == SQLITE_TOOBIG;
}

void Database::removeFiles(const QString &path)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

bool Database::createWhole(const QString &path, Journal journal,
                           const std::function<bool(Database &, QString *)> &fill, QString *error)
{
    const QFileInfo fi(path);
    const QString file = QDir::toNativeSeparators(fi.absoluteFilePath());
    if (fi.exists() || fi.isSymLink()) {
        if (error)
            *error = QStringLiteral("Il file \"%1\" esiste già.").arg(file);
        return false;
    }
    // One fixed temporary name: a leftover of an earlier interrupted run is replaced.
    const QString temp = fi.absoluteDir().filePath(QStringLiteral(".") + fi.fileName() + QStringLiteral(".nuovo"));
    removeFiles(temp);
    QString e;
    bool ok = false;
    {
        auto db = create(temp, &e, journal);
        ok = db && fill(*db, &e);
        // Fold the log back, so the renamed file is whole without its companions.
        if (ok && journal == Journal::Wal)
            ok = sqlitefile::foldLog(*db, &e);
    }
    if (ok) {
        // On the disk before it has its name, and the name on the disk before it is used.
        if (const std::error_code problem = sqlitefile::durableRename(temp, fi.absoluteFilePath())) {
            ok = false;
            e = QString::fromLocal8Bit(problem.message());
        }
    }
    if (!ok) {
        removeFiles(temp);
        if (error)
            *error = QStringLiteral("Non sono riuscito a creare il file \"%1\": %2").arg(file, e);
        return false;
    }
    return true;
}

void Database::setOpenTweaker(std::function<OpenTweak(const QString &path)> tweaker)
{
    openTweaker = std::move(tweaker);
}

namespace {
QString readOnlyMessage(const QString &file)
{
    return QStringLiteral("Il file \"%1\" è di sola lettura: non vi si può scrivere nulla.")
        .arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
}
} // namespace

bool Database::filesWritable(const QString &path, QString *error)
{
    // SQLite makes its companions beside the file, so the folder must take new files too.
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (folder.exists() && !folder.isWritable()) {
        if (error)
            *error = QStringLiteral("La cartella \"%1\" è di sola lettura: non vi si può scrivere nulla.")
                         .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
        return false;
    }
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        const QFileInfo fi(path + suffix);
        if (fi.exists() && !fi.isWritable()) {
            if (error)
                *error = readOnlyMessage(fi.filePath());
            return false;
        }
    }
    return true;
}

bool Database::serverCanWrite(QString *error)
{
    QSqlQuery q(db_);
    QStringList names;
    for (const QString &t : classTables())
        names << QLatin1Char('\'') + QString(quotedName(db_, t)).replace('\'', QStringLiteral("''")) + QLatin1Char('\'');
    const QString sql = QStringLiteral(
        "SELECT current_user, current_setting('transaction_read_only'), (SELECT string_agg(t, ', ') FROM unnest(ARRAY[%1]) t "
        "WHERE to_regclass(t) IS NOT NULL AND NOT (has_table_privilege(t, 'INSERT') AND has_table_privilege(t, 'UPDATE')))")
                            .arg(names.join(QStringLiteral(", ")));
    if (!q.exec(sql) || !q.next()) {
        if (error)
            *error = QStringLiteral("Non riesco a leggere i permessi sul %1: %2").arg(where(), q.lastError().text());
        return false;
    }
    const QString role = q.value(0).toString();
    if (q.value(1).toString() == QLatin1String("on")) {
        if (error)
            *error = QStringLiteral("Il collegamento al %1 è di sola lettura: non vi si può scrivere nulla.").arg(where());
        return false;
    }
    if (!q.value(2).isNull()) {
        if (error)
            *error = QStringLiteral("Il ruolo \"%1\" non ha il permesso di scrivere nelle tabelle %2 (%3).")
                         .arg(role, q.value(2).toString(), where());
        return false;
    }
    return true;
}

bool Database::canWrite(QString *error)
{
    if (onServer())
        return ensureOpen(error) && serverCanWrite(error);
    auto setError = [&](const QString &e) {
        if (error)
            *error = e;
        return false;
    };
    const QString file = QDir::toNativeSeparators(QFileInfo(path_).absoluteFilePath());
    if (!isOpen())
        return setError(QStringLiteral("Il file \"%1\" non è aperto.").arg(file));
    // Writing the header field user_version with its own value is a real write to the file
    // (SQLite opens a write-protected file read-only without a word), and the rollback
    // takes it back.
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return setError(QStringLiteral("Il file \"%1\" non si può leggere: %2").arg(file, q.lastError().text()));
    const int version = q.value(0).toInt();
    q.finish();
    if (!begin())
        return setError(QStringLiteral("Il file \"%1\" non si può scrivere: %2").arg(file, lastError_));
    const bool written = q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
    const QSqlError why = q.lastError();
    q.finish();
    rollback();
    if (written)
        return true;
    // SQLITE_READONLY, plain or extended.
    if (why.nativeErrorCode().toInt() % 256 == 8)
        return setError(readOnlyMessage(path_));
    return setError(QStringLiteral("Il file \"%1\" non si può scrivere: %2").arg(file, why.text()));
}

bool Database::isOpen() const
{
    return db_.isValid() && db_.isOpen();
}

void Database::close()
{
    if (connection_.isEmpty())
        return;
    // SQLite refuses to close a handle with statements of its own still prepared on it.
    for (sqlite3_stmt *s : std::as_const(fileStatements_))
        sqlite3_finalize(s);
    fileStatements_.clear();
    if (db_.isOpen())
        db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
    statements_.clear();
}

QSqlQuery *Database::prepared(const QString &sql)
{
    if (!ensureOpen())
        return nullptr;
    auto it = statements_.find(sql);
    if (it != statements_.end())
        return &*it;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        lastError_ = q.lastError().text();
        return nullptr;
    }
    return &*statements_.insert(sql, q);
}

sqlite3_stmt *Database::fileStatement(const QString &sql, QString *error)
{
    if (onServer() || !ensureOpen()) {
        if (error)
            *error = onServer() ? QStringLiteral("non è un file") : QStringLiteral("archivio chiuso");
        return nullptr;
    }
    if (sqlite3_stmt *s = fileStatements_.value(sql))
        return s;
    const QVariant handle = db_.driver()->handle();
    sqlite3 *h = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
        ? *static_cast<sqlite3 *const *>(handle.constData())
        : nullptr;
    if (!h) {
        if (error)
            *error = QStringLiteral("archivio chiuso");
        return nullptr;
    }
    sqlite3_stmt *s = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v3(h, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(s);
        return nullptr;
    }
    fileStatements_.insert(sql, s);
    return s;
}

bool Database::hasTable(const QString &table) const
{
    if (!isOpen())
        return false;
    QSqlQuery q(db_);
    q.prepare(dialect_.tableExistsQuery());
    q.addBindValue(table);
    return q.exec() && q.next();
}

QStringList Database::columns(const QString &table, QStringList *textColumns) const
{
    QStringList out;
    if (!isOpen())
        return out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(dialect_.columnsQuery());
    q.addBindValue(table);
    if (!q.exec())
        return out;
    while (q.next()) {
        out << q.value(0).toString();
        const QString t = q.value(1).toString().toLower();
        if (textColumns && (t.contains(QLatin1String("text")) || t.contains(QLatin1String("char"))))
            *textColumns << out.last();
    }
    return out;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &table)
{
    if (!ensureOpen())
        return nullptr;
    if (!isKnownTable(table)) {
        lastError_ = QStringLiteral("tabella sconosciuta: %1").arg(table);
        return nullptr;
    }
    QStringList text;
    QStringList cols = columns(table, &text);
    // A server connection lost since (the server restarted): one try on a new connection.
    if (cols.isEmpty() && onServer()) {
        QString e;
        if (!reconnect(&e)) {
            lastError_ = e;
            return nullptr;
        }
        cols = columns(table, &text);
    }
    if (cols.isEmpty()) {
        lastError_ = QStringLiteral("manca la tabella \"%1\"").arg(table);
        return nullptr;
    }
    auto rs = std::make_unique<Recordset>(*this, table, cols, text, storeTable(table));
    rs->moveFirst();
    return rs;
}

QString Database::storeTable(const QString &table)
{
    if (!onServer() || !isOpen())
        return {};
    if (storeTablesConnection_ != connectionGeneration_) {
        storeTables_.clear();
        storeTablesConnection_ = connectionGeneration_;
    }
    auto it = storeTables_.constFind(table);
    if (it != storeTables_.constEnd())
        return *it;
    // Found by the connection's own search path, as the cursor finds the table's name.
    const QString view = pupilStoreView(table);
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"));
    q.addBindValue(quotedName(db_, view));
    if (!q.exec() || !q.next())
        return {};
    const QString found = q.value(0).toBool() ? view : QString();
    storeTables_.insert(table, found);
    return found;
}

bool Database::begin()
{
    if (!ensureOpen())
        return false;
    if (!db_.transaction()) {
        lastError_ = db_.lastError().text();
        return false;
    }
    return true;
}

bool Database::commit(bool cursorWritesOnly)
{
    if (!cursorWritesOnly)
        ++writeGeneration_;
    if (!isOpen() || !db_.commit()) {
        lastError_ = db_.lastError().text();
        return false;
    }
    return true;
}

bool Database::commitOrRollback(bool ok, QString *error)
{
    if (ok && commit())
        return true;
    const QString why = lastError_;
    rollback();
    if (ok) {
        lastError_ = why;
        if (error)
            *error = why;
    }
    return false;
}

bool Database::rollback()
{
    ++writeGeneration_;
    if (!isOpen() || !db_.rollback()) {
        lastError_ = db_.lastError().text();
        return false;
    }
    return true;
}

} // namespace qv
