#include "storage/database.h"

#include "storage/classmap.h"
#include "storage/recordset.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <filesystem>

namespace qv {

namespace {
QAtomicInt connectionCounter;
std::function<Database::OpenTweak(const QString &)> openTweaker;

QString quoted(const QString &name)
{
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}
} // namespace

bool isKnownTable(const QString &table)
{
    return isClassTable(table) || table == QLatin1String("a_grammaticale")
        || table == QLatin1String("A_logica") || table == QLatin1String("prima");
}

Database::Database(QSqlDatabase db, QString connection, QString path)
    : db_(std::move(db)), connection_(std::move(connection)), path_(std::move(path))
{
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
    const QString conn = QStringLiteral("quorvane-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    const OpenTweak tweak = openTweaker ? openTweaker(path) : OpenTweak();
    std::unique_ptr<Database> result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000");
        if (!tweak.connectOptions.isEmpty())
            options += QLatin1Char(';') + tweak.connectOptions;
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
        if (ok && journal == Journal::Wal) {
            // Fold the log back, so the renamed file is whole without its companions.
            QSqlQuery q(db->sql());
            ok = q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) && q.next() && q.value(0).toInt() == 0;
            if (!ok)
                e = q.lastError().text();
        }
    }
    if (ok) {
        std::error_code ec;
        std::filesystem::rename(temp.toStdString(), fi.absoluteFilePath().toStdString(), ec);
        if (ec) {
            ok = false;
            e = QString::fromStdString(ec.message());
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

bool Database::canWrite(QString *error)
{
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
    if (db_.isOpen())
        db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
}

bool Database::hasTable(const QString &table) const
{
    if (!isOpen())
        return false;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?"));
    q.addBindValue(table);
    return q.exec() && q.next();
}

QStringList Database::columns(const QString &table) const
{
    QStringList out;
    if (!isOpen())
        return out;
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table))))
        return out;
    while (q.next())
        out << q.value(1).toString();
    return out;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &table)
{
    if (!isOpen()) {
        lastError_ = QStringLiteral("archivio chiuso");
        return nullptr;
    }
    if (!isKnownTable(table)) {
        lastError_ = QStringLiteral("tabella sconosciuta: %1").arg(table);
        return nullptr;
    }
    const QStringList cols = columns(table);
    if (cols.isEmpty()) {
        lastError_ = QStringLiteral("manca la tabella \"%1\"").arg(table);
        return nullptr;
    }
    auto rs = std::make_unique<Recordset>(*this, table, cols);
    rs->moveFirst();
    return rs;
}

bool Database::begin()
{
    if (!isOpen() || !db_.transaction()) {
        lastError_ = db_.lastError().text();
        return false;
    }
    return true;
}

bool Database::commit()
{
    if (!isOpen() || !db_.commit()) {
        lastError_ = db_.lastError().text();
        return false;
    }
    return true;
}

bool Database::rollback()
{
    if (!isOpen() || !db_.rollback()) {
        lastError_ = db_.lastError().text();
        return false;
    }
    return true;
}

} // namespace qv
