#include "storage/schema.h"

#include "storage/classmap.h"
#include "storage/pupilrecord.h"
#include "storage/tables.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qv {

namespace {

bool run(Database &db, const QString &sql, QString *error)
{
    QSqlQuery q(db.sql());
    if (!q.exec(sql)) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    return true;
}

// The record's fields; on the server with the row number, a column of its own after them.
QString pupilColumns(const Dialect &d, bool withDataDefault)
{
    QStringList cols;
    for (const TableColumn &c : recordColumns(d, withDataDefault))
        cols << c.sql;
    if (withDataDefault && d.server())
        cols << d.rowIdColumn();
    return cols.join(QStringLiteral(",\n  "));
}

bool create(Database &db, const TableSpec &t, QString *error)
{
    return run(db, t.createSql(db.sql(), db.dialect()), error);
}

QStringList contentColumns()
{
    QStringList names = {QStringLiteral("ordine"), QStringLiteral("nr_elementi")};
    for (int k = 1; k <= kMaxElementi; ++k)
        names << elementColumn(k);
    for (int k = 1; k <= kMaxElementi; ++k)
        names << categoryColumn(k);
    return names;
}

bool ensureContentTable(Database &db, const QString &table, QString *error)
{
    QStringList cols = {QStringLiteral("ordine INTEGER"), QStringLiteral("nr_elementi INTEGER")};
    for (int k = 1; k <= kMaxElementi; ++k)
        cols << elementColumn(k) + QStringLiteral(" TEXT");
    for (int k = 1; k <= kMaxElementi; ++k)
        cols << categoryColumn(k) + QStringLiteral(" TEXT");
    if (db.onServer())
        cols << db.dialect().rowIdColumn();
    const Sql sql(db);
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(sql.name(table), cols.join(", ")), error)
        && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (ordine)").arg(sql.name(table + "_ordine"), sql.name(table)),
               error);
}

bool checkColumns(Database &db, const QString &table, QString *error)
{
    if (!db.hasTable(table)) {
        if (error)
            *error = QStringLiteral("manca la tabella \"%1\"").arg(table);
        return false;
    }
    const QStringList cols = db.columns(table);
    const QStringList &want = pupilFields();
    for (int i = 0; i < want.size(); ++i) {
        if (i >= cols.size() || cols.at(i).compare(want.at(i), Qt::CaseInsensitive) != 0) {
            if (error)
                *error = QStringLiteral("nella tabella \"%1\" manca il campo \"%2\"").arg(table, want.at(i));
            return false;
        }
    }
    return true;
}

} // namespace

QString elementColumn(int k)
{
    return QStringLiteral("elemento%1").arg(k);
}

QString categoryColumn(int k)
{
    return QStringLiteral("categoria%1").arg(k);
}

bool ensureResultsSchema(Database &db, QString *error)
{
    if (!db.begin()) {
        if (error)
            *error = db.lastError();
        return false;
    }
    bool ok = true;
    const Sql sql(db);
    for (const QString &t : classTables()) {
        ok = ok && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n  %2\n)").arg(sql.name(t), pupilColumns(db.dialect(), true)), error);
        ok = ok && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (nome)").arg(sql.name(t + "_nome"), sql.name(t)), error);
        ok = ok && run(db, QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (data)").arg(sql.name(t + "_data"), sql.name(t)), error);
    }
    ok = ok && ensureContentTable(db, QStringLiteral("a_grammaticale"), error);
    ok = ok && ensureContentTable(db, QStringLiteral("A_logica"), error);
    return db.commitOrRollback(ok, error);
}

bool loadAnalysisTable(Database &db, const QString &table, const QList<AnalysisSentence> &rows,
                       QString *error)
{
    if (!ensureContentTable(db, table, error) || !db.begin())
        return false;
    auto abort = [&](const QString &e) {
        if (error)
            *error = e;
        db.rollback();
        return false;
    };
    const Sql sql(db);
    QSqlQuery del(db.sql());
    if (!del.exec(sql.remove(table)))
        return abort(del.lastError().text());
    const QString insert = sql.insert(table, contentColumns());
    for (const AnalysisSentence &s : rows) {
        if (s.elementi.isEmpty() || s.elementi.size() > kMaxElementi || s.elementi.size() != s.categorie.size())
            return abort(QStringLiteral("frase %1 non valida").arg(s.ordine));
        QSqlQuery q(db.sql());
        q.prepare(insert);
        q.addBindValue(s.ordine);
        q.addBindValue(int(s.elementi.size()));
        for (int k = 0; k < kMaxElementi; ++k)
            q.addBindValue(k < s.elementi.size() ? QVariant(s.elementi.at(k)) : QVariant());
        for (int k = 0; k < kMaxElementi; ++k)
            q.addBindValue(k < s.categorie.size() ? QVariant(s.categorie.at(k)) : QVariant());
        if (!q.exec())
            return abort(q.lastError().text());
    }
    return db.commitOrRollback(true, error);
}

bool ensureExportSchema(Database &db, QString *error)
{
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS prima (\n  %1\n)").arg(pupilColumns(db.dialect(), false)), error)
        && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS prima_nome ON prima (nome)"), error);
}

const QStringList &archiveTableNames()
{
    static const QStringList t = {QStringLiteral("impostazioni"), QStringLiteral("eliminati"), QStringLiteral("risposte"),
                                  QStringLiteral("strumenti"), QStringLiteral("cancellati"), QStringLiteral("anni_classi"),
                                  QStringLiteral("anni_eliminati"), QStringLiteral("anni_risposte"),
                                  QStringLiteral("anni_strumenti")};
    return t;
}

bool ensureArchiveTables(Database &db, QString *error)
{
    // On the server the tables are the set-up tool's, and the program's roles may create
    // nothing: those there are not made again.
    if (db.onServer()) {
        QSqlQuery q(db.sql());
        if (q.exec(QStringLiteral("SELECT count(*) FROM unnest(ARRAY['impostazioni', 'eliminati', 'risposte', 'strumenti', "
                                  "'anni_classi']) t WHERE to_regclass(t) IS NOT NULL"))
            && q.next() && q.value(0).toInt() == 5)
            return true;
    }
    return create(db, settingsTable(), error) && create(db, binTable(db.dialect()), error)
        && create(db, answerTable(TableHome::Results), error) && create(db, toolTable(TableHome::Results), error)
        && create(db, erasedTable(), error)
        && (!db.onServer() || ensureServerYearTables(db, error));
}

bool ensureServerYearTables(Database &db, QString *error)
{
    // The closed years on the server: the same rows, tagged with their year (a class row also
    // with its class table), in tables of their own that the pupils' role never reaches.
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS anni_classi (anno integer NOT NULL, classe text NOT NULL, "
                                  "LIKE \"prima-A\", PRIMARY KEY (anno, classe, data))"),
               error)
        && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS anni_eliminati (anno integer NOT NULL, LIKE eliminati)"), error)
        && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS anni_risposte (anno integer NOT NULL, LIKE risposte)"), error)
        && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS anni_strumenti (anno integer NOT NULL, LIKE strumenti)"), error)
        && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS anni_eliminati_anno ON anni_eliminati (anno)"), error)
        && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS anni_risposte_anno ON anni_risposte (anno)"), error)
        && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS anni_strumenti_anno ON anni_strumenti (anno)"), error);
}

bool ensureExportTools(Database &db, QString *error)
{
    return create(db, toolTable(TableHome::Disk), error);
}

bool ensureExportAnswers(Database &db, QString *error)
{
    return create(db, answerTable(TableHome::Disk), error);
}

QString setting(Database &db, const QString &key)
{
    QSqlQuery q(db.sql());
    q.prepare(Sql(db).select(QStringLiteral("impostazioni"), {QStringLiteral("valore")}, {QStringLiteral("chiave")}));
    q.addBindValue(key);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

bool setSetting(Database &db, const QString &key, const QString &value, QString *error)
{
    const TableSpec t = settingsTable();
    const Sql sql(db);
    QSqlQuery q(db.sql());
    if (value.isEmpty()) {
        q.prepare(sql.remove(t.name, {QStringLiteral("chiave")}));
        q.addBindValue(key);
    } else {
        q.prepare(sql.upsert(t.name, t.names(), {QStringLiteral("chiave")}));
        q.addBindValue(key);
        q.addBindValue(value);
    }
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

bool checkResultsSchema(Database &db, QString *error)
{
    for (const QString &t : classTables())
        if (!checkColumns(db, t, error))
            return false;
    return true;
}

bool checkExportSchema(Database &db, QString *error)
{
    return checkColumns(db, QStringLiteral("prima"), error);
}

} // namespace qv
