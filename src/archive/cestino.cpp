#include "archive/cestino.h"

#include "storage/classmap.h"
#include "storage/pupilrecord.h"
#include "storage/archivequeries.h"
#include "storage/schema.h"
#include "storage/tables.h"
#include "storage/wording.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qv {

namespace {

// Runs `work` in one transaction: committed when it returns true, rolled back otherwise.
template<class Work>
bool transaction(Database &db, QString *error, Work work)
{
    if (!db.begin()) {
        if (error)
            *error = db.lastError();
        return false;
    }
    QString e;
    if (work(e) && db.commit())
        return true;
    if (error)
        *error = e.isEmpty() ? db.lastError() : e;
    db.rollback();
    return false;
}

bool exec(QSqlQuery &q, QString &e)
{
    if (q.exec())
        return true;
    e = q.lastError().text();
    return false;
}

} // namespace

bool moveToBin(Database &db, const QString &table, qint64 rowid, const QDateTime &when, QString *error)
{
    if (!isClassTable(table)) {
        if (error)
            *error = QStringLiteral("tabella sconosciuta");
        return false;
    }
    if (!ensureArchiveTables(db, error))
        return false;
    return transaction(db, error, [&](QString &e) {
        // On the server a pupil may be storing into this very record: its row is locked
        // first, so the bin gets it as that store leaves it (SQLite writes one at a time).
        if (const QString lockSql = archivequeries::lockRecord(db, table); !lockSql.isEmpty()) {
            QSqlQuery lock(db.sql());
            lock.prepare(lockSql);
            lock.addBindValue(rowid);
            if (!exec(lock, e))
                return false;
        }
        QSqlQuery copy(db.sql());
        copy.prepare(archivequeries::copyRecordToBin(db, table));
        copy.addBindValue(table);
        copy.addBindValue(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        copy.addBindValue(rowid);
        if (!exec(copy, e))
            return false;
        if (copy.numRowsAffected() != 1) {
            e = QStringLiteral("il risultato non c'è più");
            return false;
        }
        QSqlQuery del(db.sql());
        del.prepare(Sql(db).remove(table, {QStringLiteral("rowid")}));
        del.addBindValue(rowid);
        return exec(del, e) && del.numRowsAffected() == 1;
    });
}

QList<DeletedResult> binContents(Database &db, QString *error)
{
    QList<DeletedResult> out;
    if (!db.hasTable(QStringLiteral("eliminati")))
        return out;
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!q.exec(archivequeries::binListing())) {
        if (error)
            *error = q.lastError().text();
        return out;
    }
    while (q.next())
        out << DeletedResult{q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                             q.value(3).toString(), q.value(4).toString()};
    return out;
}

bool restoreFromBin(Database &db, qint64 id, QString *message)
{
    auto say = [&](const QString &m) {
        if (message)
            *message = m;
        return false;
    };
    const QString findSql = Sql(db).select(QStringLiteral("eliminati"),
                                           {QStringLiteral("classe"), QStringLiteral("nome"), QStringLiteral("data")},
                                           {QStringLiteral("id")});
    QSqlQuery find(db.sql());
    find.prepare(findSql);
    find.addBindValue(id);
    if (!find.exec() || !find.next())
        return say(QStringLiteral("Questo risultato non è più nel cestino."));
    const QString table = find.value(0).toString();
    const QString nome = find.value(1).toString();
    const QString data = find.value(2).toString();
    find.finish();
    if (!isClassTable(table))
        return say(QStringLiteral("Il risultato di %1 appartiene a una classe sconosciuta (\"%2\"): non l'ho recuperato.")
                       .arg(nome, table));
    QSqlQuery has(db.sql());
    has.prepare(Sql(db).select(table, {QStringLiteral("data")}, {QStringLiteral("data")}));
    has.addBindValue(data);
    if (has.exec() && has.next())
        return say(QStringLiteral("Nella classe c'è già un risultato di %1 con la stessa data (%2), forse importato di nuovo: "
                                  "non l'ho recuperato, così non è doppio.")
                       .arg(nome, shownStamp(data)));
    has.finish();
    QString e;
    const bool ok = transaction(db, &e, [&](QString &err) {
        // Back in its own row when that is still free, so the class keeps its order.
        QSqlQuery back(db.sql());
        back.prepare(archivequeries::restoreFromBin(db, table));
        back.addBindValue(id);
        QSqlQuery del(db.sql());
        del.prepare(Sql(db).remove(QStringLiteral("eliminati"), {QStringLiteral("id")}));
        del.addBindValue(id);
        return exec(back, err) && exec(del, err);
    });
    if (!ok)
        return say(QStringLiteral("Non sono riuscito a recuperare il risultato: l'archivio è rimasto com'era.\n(%1)").arg(e));
    if (message)
        *message = QStringLiteral("Il risultato di %1 è tornato nella sua classe.").arg(nome);
    return true;
}

bool eraseForGood(Database &db, qint64 id, const QDateTime &when, DeletedResult *erased, QString *error)
{
    if (!ensureArchiveTables(db, error))
        return false;
    DeletedResult found;
    const bool ok = transaction(db, error, [&](QString &e) {
        QSqlQuery find(db.sql());
        find.prepare(Sql(db).select(QStringLiteral("eliminati"),
                                    {QStringLiteral("classe"), QStringLiteral("nome"), QStringLiteral("data")},
                                    {QStringLiteral("id")}));
        find.addBindValue(id);
        if (!exec(find, e))
            return false;
        if (!find.next()) {
            e = QStringLiteral("questo risultato non è più nel cestino");
            return false;
        }
        found = DeletedResult{id, find.value(0).toString(), find.value(1).toString(), find.value(2).toString(), {}};
        find.finish();
        QSqlQuery mark(db.sql());
        const TableSpec erased = erasedTable();
        mark.prepare(Sql(db).insertNew(erased.name, erased.names(), {QStringLiteral("data")}));
        mark.addBindValue(found.data);
        mark.addBindValue(found.classe);
        mark.addBindValue(when.toUTC().toString(Qt::ISODate));
        if (!exec(mark, e))
            return false;
        for (const QString &t : classTables() + pupilCompanionTables()) {
            QSqlQuery del(db.sql());
            del.prepare(Sql(db).remove(t, {QStringLiteral("data")}));
            del.addBindValue(found.data);
            if (!exec(del, e))
                return false;
        }
        return true;
    });
    if (!ok)
        return false;
    // What was deleted is overwritten (secure_delete); the log that may hold it is emptied.
    db.checkpoint();
    if (erased)
        *erased = found;
    return true;
}

QStringList erasedData(Database &db)
{
    QStringList out;
    if (!db.hasTable(QStringLiteral("cancellati")))
        return out;
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (q.exec(Sql(db).select(QStringLiteral("cancellati"), {QStringLiteral("data")}, {}, QStringLiteral("data"))))
        while (q.next())
            out << q.value(0).toString();
    return out;
}

bool emptyBin(Database &db, QString *error)
{
    if (!db.hasTable(QStringLiteral("eliminati")))
        return true;
    // Erased for real: the connection overwrites what it deletes (secure_delete), and the
    // log, which may still hold the old pages, is folded back and emptied.
    const bool ok = transaction(db, error, [&](QString &e) {
        // The answers and the tools of the results in the bin go with them.
        for (const QString &kept : {QStringLiteral("risposte"), QStringLiteral("strumenti")}) {
            if (!db.hasTable(kept))
                continue;
            for (const QString &table : classTables()) {
                QSqlQuery q(db.sql());
                q.prepare(archivequeries::dropBinCompanions(db, kept, table));
                q.addBindValue(table);
                q.addBindValue(table);
                if (!exec(q, e))
                    return false;
            }
        }
        QSqlQuery q(db.sql());
        q.prepare(Sql(db).remove(QStringLiteral("eliminati")));
        return exec(q, e);
    });
    if (ok)
        db.checkpoint();
    return ok;
}

} // namespace qv
