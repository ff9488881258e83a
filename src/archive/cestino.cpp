#include "archive/cestino.h"

#include "storage/classmap.h"
#include "storage/pupilrecord.h"
#include "storage/schema.h"
#include "storage/wording.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qv {

namespace {

QString fieldList()
{
    return pupilFields().join(QStringLiteral(", "));
}

QString quotedTable(const QString &t)
{
    return QLatin1Char('"') + t + QLatin1Char('"');
}

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
        if (db.onServer()) {
            QSqlQuery lock(db.sql());
            lock.prepare(QStringLiteral("SELECT rowid FROM %1 WHERE rowid = ? FOR UPDATE").arg(quotedTable(table)));
            lock.addBindValue(rowid);
            if (!exec(lock, e))
                return false;
        }
        QSqlQuery copy(db.sql());
        copy.prepare(QStringLiteral("INSERT INTO eliminati (classe, riga, eliminato, %1) SELECT ?, rowid, ?, %1 FROM %2 WHERE rowid = ?")
                         .arg(fieldList(), quotedTable(table)));
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
        del.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quotedTable(table)));
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
    if (!q.exec(QStringLiteral("SELECT id, classe, nome, data, eliminato FROM eliminati ORDER BY eliminato DESC, id DESC"))) {
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
    QSqlQuery find(db.sql());
    find.prepare(QStringLiteral("SELECT classe, nome, data FROM eliminati WHERE id = ?"));
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
    has.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE data = ?").arg(quotedTable(table)));
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
        back.prepare(QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT CASE WHEN EXISTS (SELECT 1 FROM %1 WHERE rowid = riga) "
                                    "THEN %3 ELSE riga END, %2 FROM eliminati WHERE id = ?")
                         .arg(quotedTable(table), fieldList(), db.dialect().newRowId(quotedTable(table))));
        back.addBindValue(id);
        QSqlQuery del(db.sql());
        del.prepare(QStringLiteral("DELETE FROM eliminati WHERE id = ?"));
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
        find.prepare(QStringLiteral("SELECT classe, nome, data FROM eliminati WHERE id = ?"));
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
        mark.prepare(QStringLiteral("INSERT INTO cancellati (data, classe, cancellato) VALUES (?, ?, ?) "
                                    "ON CONFLICT (data) DO NOTHING"));
        mark.addBindValue(found.data);
        mark.addBindValue(found.classe);
        mark.addBindValue(when.toUTC().toString(Qt::ISODate));
        if (!exec(mark, e))
            return false;
        QStringList tables = classTables();
        tables << QStringLiteral("eliminati") << QStringLiteral("risposte") << QStringLiteral("strumenti");
        for (const QString &t : tables) {
            QSqlQuery del(db.sql());
            del.prepare(QStringLiteral("DELETE FROM %1 WHERE data = ?").arg(quotedTable(t)));
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
    if (q.exec(QStringLiteral("SELECT data FROM cancellati ORDER BY data")))
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
                q.prepare(QStringLiteral("DELETE FROM %2 WHERE classe = ? AND data IN (SELECT data FROM "
                                         "eliminati WHERE classe = ?) AND data NOT IN (SELECT data FROM %1 "
                                         "WHERE data IS NOT NULL)")
                              .arg(quotedTable(table), kept));
                q.addBindValue(table);
                q.addBindValue(table);
                if (!exec(q, e))
                    return false;
            }
        }
        QSqlQuery q(db.sql());
        q.prepare(QStringLiteral("DELETE FROM eliminati"));
        return exec(q, e);
    });
    if (ok)
        db.checkpoint();
    return ok;
}

} // namespace qv
