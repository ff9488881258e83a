// Whole-table snapshots and file checks for fault tests: a table's every row and column
// with each value's storage type, a file's bytes, SQLite's integrity check. Tables are read on
// either engine.
#pragma once

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace qv::test {

// Every row of the table in rowid order as "rowid|type:value|…" over all its columns.
inline QStringList tableRows(const QSqlDatabase &db, const QString &table)
{
    QString t = table;
    t.replace('"', "\"\"");
    const bool server = db.driverName() == QLatin1String("QPSQL");
    QSqlQuery cols(db);
    QStringList names;
    if (cols.exec(server ? QStringLiteral("SELECT 0, column_name FROM information_schema.columns WHERE table_schema = "
                                          "current_schema() AND table_name = '%1' AND column_name <> 'rowid' "
                                          "ORDER BY ordinal_position")
                               .arg(QString(table).replace('\'', QStringLiteral("''")))
                         : QStringLiteral("PRAGMA table_info(\"%1\")").arg(t)))
        while (cols.next())
            names << cols.value(1).toString();
    if (names.isEmpty())
        return {QStringLiteral("<no table %1>").arg(table)};
    QStringList select = {QStringLiteral("rowid")};
    for (const QString &n : names)
        select << QStringLiteral("%2(\"%1\"), \"%1\"").arg(n, server ? QStringLiteral("pg_typeof") : QStringLiteral("typeof"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(select.join(", "), t)))
        return {QStringLiteral("<unreadable %1>").arg(table)};
    QStringList out;
    while (q.next()) {
        QStringList r = {q.value(0).toString()};
        for (int i = 0; i < names.size(); ++i)
            r << q.value(1 + 2 * i).toString() + QLatin1Char(':') + q.value(2 + 2 * i).toString();
        out << r.join(QLatin1Char('|'));
    }
    return out;
}

// On the server: whether the connection still answers outside any aborted transaction.
inline QString integrityCheck(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (db.driverName() == QLatin1String("QPSQL"))
        return q.exec(QStringLiteral("SELECT 'ok'")) && q.next() ? q.value(0).toString() : q.lastError().text();
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
        return QStringLiteral("<no check>");
    QStringList lines;
    while (q.next())
        lines << q.value(0).toString();
    return lines.join(QLatin1Char('\n'));
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A SQLite file's bytes as they lie on disk, its write-ahead log included.
inline QByteArray fileAndLog(const QString &file)
{
    QByteArray all;
    for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
        QFile f(file + suffix);
        if (f.open(QIODevice::ReadOnly))
            all += f.readAll();
    }
    return all;
}

} // namespace qv::test
