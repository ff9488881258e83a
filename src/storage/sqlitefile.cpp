#include "storage/sqlitefile.h"

#include "storage/database.h"
#include "storage/tables.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::sqlitefile {

namespace {

QAtomicInt connectionCounter;

QString lastErrno()
{
    return QString::fromLocal8Bit(strerror(errno));
}

// Renames and flushes the folder that now holds the name. The rename's error, or none.
std::error_code renameAndSyncFolder(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return {errno, std::generic_category()};
    // The rename is done; a folder that cannot be flushed (some removable media) is no failure.
    syncPath(QFileInfo(to).absolutePath());
    return {};
}

bool exec(Database &db, const QString &sql, QString *error)
{
    QSqlQuery q(db.sql());
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

} // namespace

bool syncPath(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

std::error_code durableRename(const QString &from, const QString &to)
{
    if (!syncPath(from))
        return {errno, std::generic_category()};
    return renameAndSyncFolder(from, to);
}

QString writeWhole(const QString &file, const QByteArray &bytes)
{
    const QFileInfo fi(file);
    const QString temp = fi.absoluteDir().filePath(QLatin1Char('.') + fi.fileName() + QStringLiteral(".nuovo"));
    const QByteArray tempName = QFile::encodeName(temp);
    ::unlink(tempName.constData());
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return lastErrno();
    // Whatever the umask; a disk without owners (FAT) keeps its own rule.
    ::fchmod(fd, 0600);
    qsizetype at = 0;
    QString problem;
    while (at < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            problem = lastErrno();
            break;
        }
        at += n;
    }
    if (problem.isEmpty() && ::fsync(fd) != 0)
        problem = lastErrno();
    if (::close(fd) != 0 && problem.isEmpty())
        problem = lastErrno();
    if (problem.isEmpty())
        if (const std::error_code ec = renameAndSyncFolder(temp, file))
            problem = QString::fromLocal8Bit(ec.message());
    if (!problem.isEmpty())
        ::unlink(tempName.constData());
    return problem;
}

bool copyInto(Database &db, const QString &target, QSqlError *error)
{
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("VACUUM INTO ?"));
    q.addBindValue(target);
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError();
    return false;
}

std::optional<QString> verify(const QString &file, QSqlError *sqlError)
{
    QString e;
    auto db = Database::create(file, &e, Database::Journal::Rollback);
    if (!db)
        return e;
    QSqlQuery q(db->sql());
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=DELETE")) || !q.next()
        || q.value(0).toString().compare(QStringLiteral("delete"), Qt::CaseInsensitive) != 0) {
        *sqlError = q.lastError();
        return QStringLiteral("modo del giornale: %1").arg(q.lastError().text());
    }
    q.finish();
    if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next() || q.value(0).toString() != QLatin1String("ok")) {
        *sqlError = q.lastError();
        return QStringLiteral("controllo: %1").arg(q.lastError().isValid() ? q.lastError().text() : q.value(0).toString());
    }
    return std::nullopt;
}

bool rebuild(Database &db, QString *error)
{
    return exec(db, QStringLiteral("VACUUM"), error);
}

bool foldLog(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    if (q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) && q.next() && q.value(0).toInt() == 0)
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

std::optional<QHash<QString, QString>> tableKinds(Database &db, const QStringList &names, QString *error)
{
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT name, type, sql FROM sqlite_master WHERE name IN (%1)").arg(Sql::marks(int(names.size()))));
    for (const QString &n : names)
        q.addBindValue(n);
    if (!q.exec()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    QHash<QString, QString> kinds;
    while (q.next()) {
        const bool plain = q.value(1).toString() == QLatin1String("table")
            && q.value(2).toString().simplified().startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive);
        kinds.insert(q.value(0).toString(), plain ? QStringLiteral("table") : q.value(1).toString() + QStringLiteral("*"));
    }
    return kinds;
}

void refuseQuotedText(QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    if (sqlite3 *h = *static_cast<sqlite3 *const *>(handle.constData()))
        sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
}

ReadOnlyFile::ReadOnlyFile(const QString &file)
    : name_(QStringLiteral("quorvane-sola-lettura-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) + QStringLiteral("?immutable=1"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    if (!db.open()) {
        error_ = db.lastError().text();
        return;
    }
    limitValueLength(db, kStoredValueMaxBytes);
    refuseQuotedText(db);
}

ReadOnlyFile::~ReadOnlyFile()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase ReadOnlyFile::db() const
{
    return QSqlDatabase::database(name_, false);
}

std::optional<QStringList> ReadOnlyFile::quickCheck(QSqlError *error) const
{
    QSqlQuery q(db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA quick_check"))) {
        *error = q.lastError();
        return std::nullopt;
    }
    QStringList lines;
    while (q.next())
        lines << q.value(0).toString();
    if (lines.isEmpty())
        *error = q.lastError();
    return lines;
}

bool ReadOnlyFile::hasTable(const QString &table) const
{
    QSqlQuery q(db());
    q.prepare(Dialect().tableExistsQuery());
    q.addBindValue(table);
    return q.exec() && q.next();
}

QStringList ReadOnlyFile::columns(const QString &table) const
{
    QStringList cols;
    QSqlQuery q(db());
    q.setForwardOnly(true);
    q.prepare(Dialect().columnsQuery());
    q.addBindValue(table);
    if (q.exec())
        while (q.next())
            cols << q.value(0).toString();
    return cols;
}

std::optional<qint64> ReadOnlyFile::count(const QString &table, QSqlError *error) const
{
    QSqlQuery q(db());
    if (!q.exec(Sql(db()).count(table)) || !q.next()) {
        *error = q.lastError();
        return std::nullopt;
    }
    return q.value(0).toLongLong();
}

std::optional<bool> ReadOnlyFile::hasRow(const QString &table, const QString &column, const QStringList &values,
                                         QString *error) const
{
    QSqlQuery q(db());
    for (qsizetype from = 0; from < values.size(); from += Sql::kListSlice) {
        const QStringList slice = values.mid(from, Sql::kListSlice);
        q.prepare(Sql(db()).selectAmong(table, column, int(slice.size())) + QStringLiteral(" LIMIT 1"));
        for (const QString &v : slice)
            q.addBindValue(v);
        if (!q.exec()) {
            *error = q.lastError().text();
            return std::nullopt;
        }
        if (q.next())
            return true;
        q.finish();
    }
    return false;
}

Attached::Attached(Database &db, const QString &file, const QString &schema) : db_(db), schema_(schema)
{
    QSqlQuery attach(db.sql());
    attach.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(quotedName(db, schema)));
    attach.addBindValue(file);
    if (!attach.exec())
        error_ = attach.lastError().text();
}

Attached::~Attached()
{
    if (ok()) {
        QString ignored;
        exec(db_, QStringLiteral("DETACH DATABASE %1").arg(quotedName(db_, schema_)), &ignored);
    }
}

bool Attached::hasTable(const QString &table) const
{
    QSqlQuery q(db_.sql());
    q.prepare(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'table' AND name = ?").arg(quotedName(db_, schema_)));
    q.addBindValue(table);
    return q.exec() && q.next();
}

bool Attached::replaceTable(const QString &table, const QStringList &columns, bool ordered, QString *error)
{
    const Sql sql(db_);
    const QString t = sql.name(table);
    const QString cols = sql.list(columns);
    return exec(db_, QStringLiteral("DELETE FROM main.%1").arg(t), error)
        && exec(db_,
                QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM %3.%1%4")
                    .arg(t, cols, sql.name(schema_), ordered ? QStringLiteral(" ORDER BY rowid") : QString()),
                error);
}

bool beginImmediate(Database &db, QString *error)
{
    return exec(db, QStringLiteral("BEGIN IMMEDIATE"), error);
}

bool commitRaw(Database &db, QString *error)
{
    if (exec(db, QStringLiteral("COMMIT"), error))
        return true;
    rollbackRaw(db);
    return false;
}

void rollbackRaw(Database &db)
{
    QString ignored;
    exec(db, QStringLiteral("ROLLBACK"), &ignored);
}

bool quotedRows(Database &db, const QString &table, const QStringList &columns, bool withRowid,
                const QStringList &orderBy, const std::function<void(const QString &)> &row, QString *error)
{
    const Sql sql(db);
    QStringList parts;
    if (withRowid)
        parts << QStringLiteral("quote(rowid)");
    for (const QString &c : columns)
        parts << QStringLiteral("quote(%1)").arg(sql.name(c));
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                    .arg(parts.join(QStringLiteral("||','||")), sql.name(table),
                         orderBy.isEmpty() ? QStringLiteral("rowid") : sql.list(orderBy)))) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next())
        row(q.value(0).toString());
    if (q.lastError().isValid()) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

} // namespace qv::sqlitefile
