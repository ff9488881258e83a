#include "storage/schema.h"

#include "storage/classmap.h"
#include "storage/pupilrecord.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qv {

namespace {

QString quoted(const QString &name)
{
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

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

// Whole-number fields hold 16-bit integers; the name is text of at most 50 characters.
QString pupilColumns(const Dialect &d, bool withDataDefault)
{
    QStringList cols;
    for (const QString &f : pupilFields()) {
        if (f == QLatin1String("nome")) {
            cols << QStringLiteral("nome TEXT CHECK (nome IS NULL OR length(nome) <= %1)").arg(kNameMaxLength);
        } else if (f == QLatin1String("data")) {
            // Filled by the database: local date-time with milliseconds and a random tag,
            // so that every record of a table can be told apart.
            cols << (withDataDefault ? d.dataColumn() : QStringLiteral("data TEXT"));
        } else {
            cols << d.smallIntColumn(f);
        }
    }
    // On the server the row number is a column of its own, after the record's fields.
    if (withDataDefault && d.server())
        cols << d.rowIdColumn();
    return cols.join(QStringLiteral(",\n  "));
}

// The columns of an answer row after the class and the pupil's data.
QString answerColumns()
{
    return QStringLiteral("prova TEXT NOT NULL,\n  numero INTEGER NOT NULL,\n  risposta TEXT NOT NULL DEFAULT '',\n"
                          "  giusta INTEGER NOT NULL CHECK (giusta IN (0, 1)),\n  quando TEXT NOT NULL");
}

// The columns of a pupil's tools after its key: read aloud, the passages read aloud, the
// text size in percent, the readable font, high contrast.
QString toolColumns()
{
    return QStringLiteral("voce INTEGER NOT NULL DEFAULT 0 CHECK (voce IN (0, 1)),\n"
                          "  voce_brani INTEGER NOT NULL DEFAULT 0 CHECK (voce_brani IN (0, 1)),\n"
                          "  testo INTEGER NOT NULL DEFAULT 100 CHECK (testo IN (100, 125, 150)),\n"
                          "  carattere INTEGER NOT NULL DEFAULT 0 CHECK (carattere IN (0, 1)),\n"
                          "  contrasto INTEGER NOT NULL DEFAULT 0 CHECK (contrasto IN (0, 1))");
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
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(quoted(table), cols.join(", ")), error)
        && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (ordine)")
                       .arg(quoted(table + "_ordine"), quoted(table)),
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
    for (const QString &t : classTables()) {
        ok = ok && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n  %2\n)").arg(quoted(t), pupilColumns(db.dialect(), true)), error);
        ok = ok && run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (nome)").arg(quoted(t + "_nome"), quoted(t)), error);
        ok = ok && run(db, QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (data)").arg(quoted(t + "_data"), quoted(t)), error);
    }
    ok = ok && ensureContentTable(db, QStringLiteral("a_grammaticale"), error);
    ok = ok && ensureContentTable(db, QStringLiteral("A_logica"), error);
    if (!ok) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError();
        return false;
    }
    return true;
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
    QSqlQuery del(db.sql());
    if (!del.exec(QStringLiteral("DELETE FROM %1").arg(quoted(table))))
        return abort(del.lastError().text());
    QStringList names = {QStringLiteral("ordine"), QStringLiteral("nr_elementi")};
    for (int k = 1; k <= kMaxElementi; ++k)
        names << elementColumn(k);
    for (int k = 1; k <= kMaxElementi; ++k)
        names << categoryColumn(k);
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    for (const AnalysisSentence &s : rows) {
        if (s.elementi.isEmpty() || s.elementi.size() > kMaxElementi || s.elementi.size() != s.categorie.size())
            return abort(QStringLiteral("frase %1 non valida").arg(s.ordine));
        QSqlQuery q(db.sql());
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(table), names.join(", "), marks.join(", ")));
        q.addBindValue(s.ordine);
        q.addBindValue(int(s.elementi.size()));
        for (int k = 0; k < kMaxElementi; ++k)
            q.addBindValue(k < s.elementi.size() ? QVariant(s.elementi.at(k)) : QVariant());
        for (int k = 0; k < kMaxElementi; ++k)
            q.addBindValue(k < s.categorie.size() ? QVariant(s.categorie.at(k)) : QVariant());
        if (!q.exec())
            return abort(q.lastError().text());
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError();
        return false;
    }
    return true;
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
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS impostazioni (chiave TEXT PRIMARY KEY, valore TEXT)"), error)
        && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS eliminati (\n  %1,\n"
                                  "  classe TEXT NOT NULL,\n  riga %2,\n  eliminato TEXT NOT NULL,\n  %3\n)")
                       .arg(db.dialect().autoIdColumn(QStringLiteral("id")),
                            db.onServer() ? QStringLiteral("bigint") : QStringLiteral("INTEGER"),
                            pupilColumns(db.dialect(), false)),
               error)
        && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS risposte (\n  classe TEXT NOT NULL,\n"
                                  "  data TEXT NOT NULL,\n  %1\n,  PRIMARY KEY (classe, data, prova, numero)\n"
                                  ")%2")
                       .arg(answerColumns(), db.dialect().keyedTableSuffix()),
               error)
        && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS strumenti (\n  classe TEXT NOT NULL,\n  data TEXT NOT NULL,\n"
                                  "  %1,\n  PRIMARY KEY (classe, data)\n)%2")
                       .arg(toolColumns(), db.dialect().keyedTableSuffix()),
               error)
        && run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS cancellati (\n  data TEXT NOT NULL PRIMARY KEY,\n"
                                  "  classe TEXT NOT NULL,\n  cancellato TEXT NOT NULL\n)%1")
                       .arg(db.dialect().keyedTableSuffix()),
               error)
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
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS strumenti (\n  data TEXT NOT NULL PRIMARY KEY,\n  %1\n)%2")
                       .arg(toolColumns(), db.dialect().keyedTableSuffix()),
               error);
}

bool ensureExportAnswers(Database &db, QString *error)
{
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS risposte (\n  data TEXT NOT NULL,\n  %1\n,"
                                  "  PRIMARY KEY (data, prova, numero)\n)%2")
                       .arg(answerColumns(), db.dialect().keyedTableSuffix()),
               error);
}

QString setting(Database &db, const QString &key)
{
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT valore FROM impostazioni WHERE chiave = ?"));
    q.addBindValue(key);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

bool setSetting(Database &db, const QString &key, const QString &value, QString *error)
{
    QSqlQuery q(db.sql());
    if (value.isEmpty()) {
        q.prepare(QStringLiteral("DELETE FROM impostazioni WHERE chiave = ?"));
        q.addBindValue(key);
    } else {
        q.prepare(QStringLiteral("INSERT INTO impostazioni (chiave, valore) VALUES (?, ?) "
                                 "ON CONFLICT (chiave) DO UPDATE SET valore = excluded.valore"));
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
