#include "storage/archivequeries.h"

#include "storage/database.h"
#include "storage/pupilrecord.h"
#include "storage/tables.h"

namespace qv::archivequeries {

QString lockRecord(Database &db, const QString &table)
{
    const QString lock = db.dialect().lockForUpdate();
    if (lock.isEmpty())
        return {};
    const Sql sql(db);
    return sql.select(table, {QStringLiteral("rowid")}, {QStringLiteral("rowid")}) + lock;
}

QString copyRecordToBin(Database &db, const QString &table)
{
    const Sql sql(db);
    const QString fields = sql.list(pupilFields());
    return QStringLiteral("INSERT INTO eliminati (classe, riga, eliminato, %1) SELECT ?, rowid, ?, %1 FROM %2 WHERE rowid = ?")
        .arg(fields, sql.name(table));
}

QString restoreFromBin(Database &db, const QString &table)
{
    const Sql sql(db);
    const QString t = sql.name(table);
    return QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT CASE WHEN EXISTS (SELECT 1 FROM %1 WHERE rowid = riga) "
                          "THEN %3 ELSE riga END, %2 FROM eliminati WHERE id = ?")
        .arg(t, sql.list(pupilFields()), db.dialect().newRowId(t));
}

QString binListing()
{
    return QStringLiteral("SELECT id, classe, nome, data, eliminato FROM eliminati ORDER BY eliminato DESC, id DESC");
}

QString dropBinCompanions(Database &db, const QString &companion, const QString &table)
{
    const Sql sql(db);
    return QStringLiteral("DELETE FROM %2 WHERE classe = ? AND data IN (SELECT data FROM eliminati WHERE classe = ?) "
                          "AND data NOT IN (SELECT data FROM %1 WHERE data IS NOT NULL)")
        .arg(sql.name(table), sql.name(companion));
}

QString classAnswers(Database &db, const QString &table)
{
    const Sql sql(db);
    return QStringLiteral("SELECT data, %1 FROM risposte WHERE classe = ? AND data IN (SELECT data FROM %2) "
                          "ORDER BY data, prova, numero")
        .arg(sql.list(answerValueColumns()), sql.name(table));
}

namespace {
// Answers of pupils who still have a record in `table`.
QString ofRecordsIn(Database &db, const QString &table)
{
    return QStringLiteral("FROM risposte r WHERE r.classe = ? AND EXISTS (SELECT 1 FROM %1 c WHERE c.data = r.data)")
        .arg(Sql(db).name(table));
}
} // namespace

QString answeredRecords(Database &db, const QString &table)
{
    return QStringLiteral("SELECT count(DISTINCT r.data) ") + ofRecordsIn(db, table);
}

QString answerTally(Database &db, const QString &table)
{
    return QStringLiteral("SELECT r.prova, r.numero, r.risposta, r.giusta, count(*) ") + ofRecordsIn(db, table)
        + QStringLiteral(" GROUP BY r.prova, r.numero, r.risposta, r.giusta ORDER BY r.prova, r.numero, r.risposta");
}

QString removeDiskCopies()
{
    return QStringLiteral("DELETE FROM prima WHERE nome IS ? AND data IS ?");
}

QString dropAnswersOutsideBin(bool withBin)
{
    return QStringLiteral("DELETE FROM main.risposte")
        + (withBin ? QStringLiteral(" WHERE NOT EXISTS (SELECT 1 FROM main.eliminati e WHERE e.classe = risposte.classe "
                                    "AND e.data = risposte.data)")
                   : QString());
}

QString dropErased(Database &db, const QString &table)
{
    return QStringLiteral("DELETE FROM main.%1 WHERE data IN (SELECT data FROM main.cancellati)").arg(Sql(db).name(table));
}

QString dropOnePupil(Database &db, const QString &table, bool byClass)
{
    return QStringLiteral("DELETE FROM main.%1 WHERE data = ?%2")
        .arg(Sql(db).name(table), byClass ? QStringLiteral(" AND classe = ?") : QString());
}

} // namespace qv::archivequeries
