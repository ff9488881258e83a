#include "startup/datafolder.h"

#include "battery/analysis/analysiscontent.h"
#include "storage/database.h"
#include "storage/privatefiles.h"
#include "storage/schema.h"
#include "storage/serverguard.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace qv {

namespace {

bool fillResults(Database &db, QString *e)
{
    if (!ensureResultsSchema(db, e) || !checkResultsSchema(db, e) || !ensureArchiveTables(db, e)) {
        *e = QStringLiteral("Archivio dei risultati: %1").arg(*e);
        return false;
    }
    if (!loadAnalysisTable(db, QStringLiteral("a_grammaticale"), grammaticaSentences(), e)
        || !loadAnalysisTable(db, QStringLiteral("A_logica"), logicaSentences(), e)) {
        *e = QStringLiteral("Tabelle delle frasi: %1").arg(*e);
        return false;
    }
    return true;
}

bool fillTemplate(Database &db, QString *e)
{
    if (ensureExportSchema(db, e) && checkExportSchema(db, e))
        return true;
    *e = QStringLiteral("Modello dell'esportazione: %1").arg(*e);
    return false;
}

// The export template must hold no rows: an export onto it by an earlier version would
// otherwise carry another class's pupils onto every new disk. Returns the rows removed.
int emptyTemplate(Database &db, QString *e)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("DELETE FROM prima"))) {
        *e = QStringLiteral("Modello dell'esportazione: %1").arg(q.lastError().text());
        return -1;
    }
    return q.numRowsAffected();
}

} // namespace

bool prepareServer(const QString &folder, QString *error, QStringList *notices)
{
    const ServerConfig config = ServerConfig::read(folder);
    if (config.state() == ServerConfig::State::Absent) {
        if (error)
            *error = QStringLiteral("Nella cartella \"%1\" non c'è il file \"%2\" che nomina il server.")
                         .arg(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath()), QString::fromLatin1(kServerFile));
        return false;
    }
    return prepareServer(config, error, notices);
}

bool prepareServer(const ServerConfig &config, QString *error, QStringList *notices)
{
    QString e;
    auto db = Database::connect(config, &e);
    if (!db || !canPrepareServer(*db, &e) || !fillResults(*db, &e) || !guardServer(*db, notices, &e)) {
        if (error)
            *error = db ? QStringLiteral("%1 (%2)").arg(e, config.describe()) : e;
        return false;
    }
    return true;
}

std::unique_ptr<Database> openResults(const QString &folder, QString *error)
{
    const ServerConfig config = ServerConfig::read(folder);
    if (config.state() != ServerConfig::State::Absent)
        return Database::connect(config, error);
    return Database::open(QDir(folder).filePath(QString::fromLatin1(kResultsFile)), error);
}

bool prepareDataFolder(const QString &folder, QString *error, QString *notice)
{
    auto failWith = [&](const QString &e) {
        if (error)
            *error = e;
        return false;
    };
    if (!makePrivateFolder(folder))
        return failWith(QStringLiteral("Non riesco a creare la cartella \"%1\".").arg(folder));
    // A folder made by an earlier version, or under a lax umask, is made owner-only.
    tightenFolder(folder);
    const QDir dir(folder);
    // A file made here is built whole beside its place and renamed in; a full disk leaves
    // nothing new behind, and the message says what to do.
    auto failedCreation = [&](const QString &e) {
        return failWith(e + QStringLiteral("\nNon ho lasciato file a metà. Se il disco è pieno, libera spazio sul disco "
                                           "della cartella \"%1\" (ne basta 1 MB) e riprova.")
                                .arg(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath())));
    };
    QString e;
    const QString results = dir.filePath(kResultsFile);
    if (!QFileInfo::exists(results)) {
        if (!Database::createWhole(results, Database::Journal::Wal, fillResults, &e))
            return failedCreation(e);
    } else {
        auto db = Database::create(results, &e);
        if (!db || !fillResults(*db, &e))
            return failWith(e);
        // Fold the write-ahead log back so the file can be copied as it stands.
        db->checkpoint();
    }
    const QString exportTemplate = dir.filePath(kExportFile);
    if (!QFileInfo::exists(exportTemplate)) {
        if (!Database::createWhole(exportTemplate, Database::Journal::Rollback, fillTemplate, &e))
            return failedCreation(e);
    } else {
        auto exp = Database::create(exportTemplate, &e, Database::Journal::Rollback);
        if (!exp || !fillTemplate(*exp, &e))
            return failWith(e);
        const int removed = emptyTemplate(*exp, &e);
        if (removed < 0)
            return failWith(e);
        if (removed > 0 && notice)
            *notice = QStringLiteral("il modello dell'esportazione \"%1\" conteneva %2: "
                                     "l'ho svuotato (i risultati sono nell'archivio, non nel modello).")
                          .arg(QDir::toNativeSeparators(QFileInfo(exportTemplate).absoluteFilePath()),
                               removed == 1 ? QStringLiteral("il risultato di un alunno")
                                            : QStringLiteral("%1 risultati di alunni").arg(removed));
    }
    return true;
}

} // namespace qv
