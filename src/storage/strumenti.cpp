#include "storage/strumenti.h"

#include "storage/schema.h"
#include "storage/tables.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace qv {

namespace {

bool fail(QString *error, const QString &e)
{
    if (error)
        *error = e;
    return false;
}

PupilTools normalised(PupilTools t)
{
    t.readPassages = t.readPassages && t.readAloud;
    return t;
}

} // namespace

QVariantList toolValues(const PupilTools &t)
{
    return {int(t.readAloud), int(t.readPassages), t.textPercent, int(t.readableFont), int(t.highContrast)};
}

std::optional<PupilTools> toolsFromValues(const QVariantList &v)
{
    if (v.size() != 5)
        return std::nullopt;
    int n[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        n[i] = v[i].isNull() || v[i].typeId() == QMetaType::QByteArray ? -1 : v[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const auto flag = [](int x) { return x == 0 || x == 1; };
    if (!flag(n[0]) || !flag(n[1]) || !flag(n[3]) || !flag(n[4])
        || std::find(std::begin(kTextPercents), std::end(kTextPercents), n[2]) == std::end(kTextPercents))
        return std::nullopt;
    return normalised(PupilTools{n[0] == 1, n[1] == 1, n[2], n[3] == 1, n[4] == 1});
}

bool readTools(Database &db, const QString &table, const QString &data, PupilTools *tools, QString *error)
{
    *tools = PupilTools();
    if (!db.hasTable(QStringLiteral("strumenti")))
        return true; // a file of an older version: nobody has tools
    QSqlQuery q(db.sql());
    q.prepare(Sql(db).select(QStringLiteral("strumenti"), toolValueColumns(), {QStringLiteral("classe"), QStringLiteral("data")}));
    q.addBindValue(table);
    q.addBindValue(data);
    if (!q.exec())
        return fail(error, q.lastError().text());
    if (!q.next())
        return true;
    QVariantList v;
    for (int i = 0; i < 5; ++i)
        v << q.value(i);
    if (auto t = toolsFromValues(v))
        *tools = *t;
    return true;
}

bool writeTools(Database &db, const QString &table, const QString &data, const PupilTools &tools, QString *error)
{
    if (data.isEmpty())
        return fail(error, QStringLiteral("manca il risultato dell'alunno"));
    if (!ensureArchiveTables(db, error))
        return false;
    const PupilTools t = normalised(tools);
    const TableSpec toolsTable = toolTable(TableHome::Results);
    const Sql sql(db);
    QSqlQuery q(db.sql());
    if (!t.any()) {
        q.prepare(sql.remove(toolsTable.name, toolsTable.key));
        q.addBindValue(table);
        q.addBindValue(data);
    } else {
        q.prepare(sql.upsert(toolsTable.name, toolsTable.names(), toolsTable.key));
        q.addBindValue(table);
        q.addBindValue(data);
        for (const QVariant &v : toolValues(t))
            q.addBindValue(v);
    }
    return q.exec() || fail(error, q.lastError().text());
}

QHash<QString, PupilTools> classTools(Database &db, const QString &table)
{
    QHash<QString, PupilTools> out;
    if (!db.hasTable(QStringLiteral("strumenti")))
        return out;
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare(Sql(db).select(QStringLiteral("strumenti"), QStringList{QStringLiteral("data")} + toolValueColumns(),
                             {QStringLiteral("classe")}));
    q.addBindValue(table);
    if (!q.exec())
        return out;
    while (q.next()) {
        QVariantList v;
        for (int i = 1; i <= 5; ++i)
            v << q.value(i);
        if (auto t = toolsFromValues(v); t && t->any())
            out.insert(q.value(0).toString(), *t);
    }
    return out;
}

QStringList toolNames(const PupilTools &t)
{
    QStringList names;
    if (t.readAloud)
        names << (t.readPassages ? QStringLiteral("lettura ad alta voce (sintesi vocale), anche dei brani di lettura")
                                 : QStringLiteral("lettura ad alta voce (sintesi vocale) delle domande, non dei brani"));
    if (t.textPercent != 100)
        names << QStringLiteral("testo ingrandito al %1%").arg(t.textPercent);
    if (t.readableFont)
        names << QStringLiteral("carattere ad alta leggibilità");
    if (t.highContrast)
        names << QStringLiteral("alto contrasto");
    return names;
}

QString toolsLine(const PupilTools &t)
{
    const QStringList names = toolNames(t);
    if (names.isEmpty())
        return {};
    return QStringLiteral("Prove svolte con strumenti compensativi: %1.").arg(names.join(QStringLiteral("; ")));
}

} // namespace qv
