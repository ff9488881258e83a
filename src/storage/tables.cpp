#include "storage/tables.h"

#include "storage/database.h"
#include "storage/pupilrecord.h"

#include <QSqlDriver>

namespace qv {

QString quotedName(const QSqlDatabase &db, const QString &name)
{
    // A connection without a driver (closed for good) runs no statement anyway.
    const QSqlDriver *driver = db.driver();
    return driver ? driver->escapeIdentifier(name, QSqlDriver::TableName) : name;
}

QString quotedName(Database &db, const QString &name)
{
    return quotedName(db.sql(), name);
}

QStringList TableSpec::names() const
{
    QStringList out;
    for (const TableColumn &c : columns)
        out << c.name;
    return out;
}

QStringList TableSpec::namesAfter(int skip) const
{
    return names().mid(skip);
}

QString TableSpec::createSql(const QSqlDatabase &db, const Dialect &d) const
{
    QStringList parts;
    for (const TableColumn &c : columns)
        parts << c.sql;
    if (!key.isEmpty())
        parts << QStringLiteral("PRIMARY KEY (%1)").arg(key.join(QStringLiteral(", ")));
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n  %2\n)%3")
        .arg(quotedName(db, name), parts.join(QStringLiteral(",\n  ")), keyedOnly ? d.keyedTableSuffix() : QString());
}

namespace {

TableColumn text(const char *name)
{
    return {QString::fromLatin1(name), QString::fromLatin1(name) + QStringLiteral(" TEXT NOT NULL")};
}

TableColumn flag(const char *name)
{
    const QString n = QString::fromLatin1(name);
    return {n, QStringLiteral("%1 INTEGER NOT NULL DEFAULT 0 CHECK (%1 IN (0, 1))").arg(n)};
}

} // namespace

const QStringList &answerValueColumns()
{
    static const QStringList c = {QStringLiteral("prova"), QStringLiteral("numero"), QStringLiteral("risposta"),
                                  QStringLiteral("giusta"), QStringLiteral("quando")};
    return c;
}

const QStringList &toolValueColumns()
{
    static const QStringList c = {QStringLiteral("voce"), QStringLiteral("voce_brani"), QStringLiteral("testo"),
                                  QStringLiteral("carattere"), QStringLiteral("contrasto")};
    return c;
}

const QStringList &pupilCompanionTables()
{
    static const QStringList t = {QStringLiteral("eliminati"), QStringLiteral("risposte"), QStringLiteral("strumenti")};
    return t;
}

TableSpec answerTable(TableHome home)
{
    TableSpec t;
    t.name = QStringLiteral("risposte");
    if (home == TableHome::Results)
        t.columns << text("classe");
    t.columns << text("data") << text("prova") << TableColumn{QStringLiteral("numero"), QStringLiteral("numero INTEGER NOT NULL")}
              << TableColumn{QStringLiteral("risposta"), QStringLiteral("risposta TEXT NOT NULL DEFAULT ''")}
              << TableColumn{QStringLiteral("giusta"), QStringLiteral("giusta INTEGER NOT NULL CHECK (giusta IN (0, 1))")}
              << text("quando");
    t.key = home == TableHome::Results
        ? QStringList{QStringLiteral("classe"), QStringLiteral("data"), QStringLiteral("prova"), QStringLiteral("numero")}
        : QStringList{QStringLiteral("data"), QStringLiteral("prova"), QStringLiteral("numero")};
    t.keyedOnly = true;
    return t;
}

TableSpec toolTable(TableHome home)
{
    // Read aloud, the passages read aloud, the text size in percent, the readable font,
    // high contrast.
    TableSpec t;
    t.name = QStringLiteral("strumenti");
    if (home == TableHome::Results) {
        t.columns << text("classe") << text("data");
        t.key = QStringList{QStringLiteral("classe"), QStringLiteral("data")};
    } else {
        t.columns << TableColumn{QStringLiteral("data"), QStringLiteral("data TEXT NOT NULL PRIMARY KEY")};
    }
    t.columns << flag("voce") << flag("voce_brani")
              << TableColumn{QStringLiteral("testo"),
                             QStringLiteral("testo INTEGER NOT NULL DEFAULT 100 CHECK (testo IN (100, 125, 150))")}
              << flag("carattere") << flag("contrasto");
    t.keyedOnly = true;
    return t;
}

QList<TableColumn> recordColumns(const Dialect &d, bool dataDefault)
{
    QList<TableColumn> cols;
    for (const QString &f : pupilFields()) {
        if (f == QLatin1String("nome"))
            cols << TableColumn{f, QStringLiteral("nome TEXT CHECK (nome IS NULL OR length(nome) <= %1)").arg(kNameMaxLength)};
        else if (f == QLatin1String("data"))
            // Filled by the database: local date-time with milliseconds and a random tag,
            // so that every record of a table can be told apart.
            cols << TableColumn{f, dataDefault ? d.dataColumn() : QStringLiteral("data TEXT")};
        else
            cols << TableColumn{f, d.smallIntColumn(f)};
    }
    return cols;
}

TableSpec binTable(const Dialect &d)
{
    TableSpec t;
    t.name = QStringLiteral("eliminati");
    t.columns << TableColumn{QStringLiteral("id"), d.autoIdColumn(QStringLiteral("id"))} << text("classe")
              << TableColumn{QStringLiteral("riga"), QStringLiteral("riga ") + d.rowNumberType()} << text("eliminato")
              << recordColumns(d, false);
    return t;
}

TableSpec settingsTable()
{
    TableSpec t;
    t.name = QStringLiteral("impostazioni");
    t.columns << TableColumn{QStringLiteral("chiave"), QStringLiteral("chiave TEXT PRIMARY KEY")}
              << TableColumn{QStringLiteral("valore"), QStringLiteral("valore TEXT")};
    return t;
}

TableSpec erasedTable()
{
    TableSpec t;
    t.name = QStringLiteral("cancellati");
    t.columns << TableColumn{QStringLiteral("data"), QStringLiteral("data TEXT NOT NULL PRIMARY KEY")} << text("classe")
              << text("cancellato");
    t.keyedOnly = true;
    return t;
}

Sql::Sql(Database &db) : db_(db.sql()) {}

QString Sql::list(const QStringList &columns) const
{
    QStringList q;
    for (const QString &c : columns)
        q << name(c);
    return q.join(QStringLiteral(", "));
}

QString Sql::marks(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("?");
    return m.join(QStringLiteral(", "));
}

QString Sql::where(const QStringList &columns) const
{
    if (columns.isEmpty())
        return {};
    QStringList parts;
    for (const QString &c : columns)
        parts << name(c) + QStringLiteral(" = ?");
    return QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QString Sql::select(const QString &table, const QStringList &columns, const QStringList &where,
                    const QString &order) const
{
    return QStringLiteral("SELECT %1 FROM %2%3%4")
        .arg(list(columns), name(table), this->where(where), order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + order);
}

QString Sql::insert(const QString &table, const QStringList &columns) const
{
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(name(table), list(columns), marks(int(columns.size())));
}

QString Sql::upsert(const QString &table, const QStringList &columns, const QStringList &key) const
{
    QStringList sets;
    for (const QString &c : columns)
        if (!key.contains(c))
            sets << QStringLiteral("%1 = excluded.%1").arg(name(c));
    return insert(table, columns)
        + QStringLiteral(" ON CONFLICT (%1) DO UPDATE SET %2").arg(list(key), sets.join(QStringLiteral(", ")));
}

QString Sql::insertNew(const QString &table, const QStringList &columns, const QStringList &key) const
{
    return insert(table, columns) + QStringLiteral(" ON CONFLICT (%1) DO NOTHING").arg(list(key));
}

QString Sql::update(const QString &table, const QStringList &set, const QStringList &where) const
{
    QStringList parts;
    for (const QString &c : set)
        parts << name(c) + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2%3").arg(name(table), parts.join(QStringLiteral(", ")), this->where(where));
}

QString Sql::remove(const QString &table, const QStringList &where) const
{
    return QStringLiteral("DELETE FROM %1%2").arg(name(table), this->where(where));
}

QString Sql::selectAmong(const QString &table, const QString &column, int n) const
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE %1 IN (%3)").arg(name(column), name(table), marks(n));
}

QString Sql::removeAmong(const QString &table, const QString &column, int n) const
{
    return QStringLiteral("DELETE FROM %1 WHERE %2 IN (%3)").arg(name(table), name(column), marks(n));
}

QString Sql::count(const QString &table) const
{
    return QStringLiteral("SELECT count(*) FROM %1").arg(name(table));
}

} // namespace qv
