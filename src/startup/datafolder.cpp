#include "startup/datafolder.h"

#include "battery/analysis/analysiscontent.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace qv {

bool prepareDataFolder(const QString &folder, QString *error)
{
    auto failWith = [&](const QString &e) {
        if (error)
            *error = e;
        return false;
    };
    if (!QDir().mkpath(folder))
        return failWith(QStringLiteral("Non riesco a creare la cartella \"%1\".").arg(folder));
    const QDir dir(folder);
    QString e;
    {
        auto db = Database::create(dir.filePath(kResultsFile), &e);
        if (!db)
            return failWith(e);
        if (!ensureResultsSchema(*db, &e) || !checkResultsSchema(*db, &e))
            return failWith(QStringLiteral("Archivio dei risultati: %1").arg(e));
        if (!loadAnalysisTable(*db, QStringLiteral("a_grammaticale"), grammaticaSentences(), &e)
            || !loadAnalysisTable(*db, QStringLiteral("A_logica"), logicaSentences(), &e))
            return failWith(QStringLiteral("Tabelle delle frasi: %1").arg(e));
        // Fold the write-ahead log back so the file can be copied as it stands.
        db->sql().exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    {
        auto exp = Database::create(dir.filePath(kExportFile), &e, Database::Journal::Rollback);
        if (!exp)
            return failWith(e);
        if (!ensureExportSchema(*exp, &e) || !checkExportSchema(*exp, &e))
            return failWith(QStringLiteral("Modello dell'esportazione: %1").arg(e));
    }
    return true;
}

} // namespace qv
