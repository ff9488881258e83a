#include "storage/schoolyear.h"

#include "storage/classmap.h"
#include "storage/pupilrecord.h"
#include "storage/schema.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace qv {

namespace {

const QString kCorrectedKey = QStringLiteral("anno_corretto");
const QString kClosedKey = QStringLiteral("anni_chiusi");
const QString kKeptKey = QStringLiteral("anni_conservati");

QString quoted(const QString &name)
{
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

// The tables keyed by a pupil's data: the class tables, the bin, the answers, the tools.
QStringList yearTables(Database &db)
{
    QStringList t = classTables();
    for (const char *name : {"eliminati", "risposte", "strumenti"})
        if (db.hasTable(QString::fromLatin1(name)))
            t << QString::fromLatin1(name);
    return t;
}

bool runOnData(Database &db, const QString &op, const QString &bound, QString *error)
{
    for (const QString &t : yearTables(db)) {
        QSqlQuery q(db.sql());
        if (bound.isEmpty()) {
            q.prepare(QStringLiteral("DELETE FROM %1").arg(quoted(t)));
        } else {
            q.prepare(QStringLiteral("DELETE FROM %1 WHERE data %2 ?").arg(quoted(t), op));
            q.addBindValue(bound);
        }
        if (!q.exec()) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace

int schoolYearOf(const QDate &day)
{
    return day.month() >= 9 ? day.year() : day.year() - 1;
}

QString yearCaption(int year)
{
    return QStringLiteral("%1/%2").arg(year).arg(year + 1);
}

QString yearStem(int year)
{
    return QStringLiteral("%1-%2").arg(year).arg(year + 1);
}

QString yearStart(int year)
{
    return QStringLiteral("%1-09-01").arg(year, 4, 10, QLatin1Char('0'));
}

YearSettings readYearSettings(Database &db)
{
    YearSettings s;
    bool ok = false;
    const int corrected = setting(db, kCorrectedKey).toInt(&ok);
    if (ok && corrected > 1900)
        s.corrected = corrected;
    for (const QString &y : setting(db, kClosedKey).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int year = y.toInt(&ok);
        if (ok && year > 1900 && !s.closed.contains(year))
            s.closed << year;
    }
    std::sort(s.closed.begin(), s.closed.end());
    const int kept = setting(db, kKeptKey).toInt(&ok);
    if (ok && kept >= 1 && kept <= kYearsKeptMax)
        s.kept = kept;
    return s;
}

bool writeYearSettings(Database &db, const YearSettings &s, QString *error)
{
    QStringList closed;
    for (int y : s.closed)
        closed << QString::number(y);
    return setSetting(db, kCorrectedKey, s.corrected ? QString::number(*s.corrected) : QString(), error)
        && setSetting(db, kClosedKey, closed.join(QLatin1Char(',')), error)
        && setSetting(db, kKeptKey, s.kept == kYearsKeptDefault ? QString() : QString::number(s.kept), error);
}

CurrentYear currentYear(const YearSettings &s, const QDate &today)
{
    CurrentYear c;
    if (s.corrected) {
        // The teacher named the year because the clock is wrong: every record of the tables
        // is of that year, whatever its date says.
        c.year = *s.corrected;
        return c;
    }
    const int clock = schoolYearOf(today);
    c.year = s.closed.isEmpty() ? clock : std::max(clock, s.closed.last() + 1);
    // A year closed early (in June) makes the next one current at once, and what is started
    // after that close is of the next year. Records before 1 September are of an earlier
    // year still to close only when the year before this one was not closed.
    if (c.year == clock && (s.closed.isEmpty() || s.closed.last() < clock - 1))
        c.cut = yearStart(clock);
    return c;
}

CurrentYear currentYear(Database &db, const QDate &today)
{
    return currentYear(readYearSettings(db), today);
}

bool countYear(Database &db, const QString &before, QList<ClassYearCount> &counts, int *binned, QString *error)
{
    counts = QList<ClassYearCount>(kClassCount);
    const QString where = before.isEmpty() ? QString() : QStringLiteral(" WHERE data < ?");
    for (int i = 0; i < kClassCount; ++i) {
        QSqlQuery q(db.sql());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT nome, arrivo, sub FROM %1%2").arg(quoted(classTable(i)), where));
        if (!before.isEmpty())
            q.addBindValue(before);
        if (!q.exec()) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
        while (q.next()) {
            ++counts[i].records;
            if (q.value(1).toInt() != kArrivoComplete || q.value(2).toInt() != kSubComplete)
                counts[i].unfinished << q.value(0).toString();
        }
    }
    if (binned) {
        *binned = 0;
        if (db.hasTable(QStringLiteral("eliminati"))) {
            QSqlQuery q(db.sql());
            q.prepare(QStringLiteral("SELECT count(*) FROM eliminati%1").arg(where));
            if (!before.isEmpty())
                q.addBindValue(before);
            if (q.exec() && q.next())
                *binned = q.value(0).toInt();
        }
    }
    return true;
}

bool deleteYear(Database &db, const QString &before, QString *error)
{
    return runOnData(db, QStringLiteral("<"), before, error);
}

bool deleteFrom(Database &db, const QString &from, QString *error)
{
    return from.isEmpty() || runOnData(db, QStringLiteral(">="), from, error);
}

QList<PupilKey> yearData(Database &db, QString *error)
{
    QList<PupilKey> out;
    QStringList selects;
    for (const QString &t : classTables())
        selects << QStringLiteral("SELECT '%1', data FROM %2").arg(t, quoted(t));
    if (db.hasTable(QStringLiteral("eliminati")))
        selects << QStringLiteral("SELECT classe, data FROM eliminati");
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!q.exec(selects.join(QStringLiteral(" UNION ALL ")))) {
        if (error)
            *error = q.lastError().text();
        return {};
    }
    while (q.next())
        out << PupilKey{q.value(0).toString(), q.value(1).toString()};
    return out;
}

bool markErased(Database &db, const QList<PupilKey> &keys, const QString &when, QString *error)
{
    if (!ensureArchiveTables(db, error) || !db.begin()) {
        if (error && error->isEmpty())
            *error = db.lastError();
        return false;
    }
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("INSERT INTO cancellati (data, classe, cancellato) VALUES (?, ?, ?) "
                             "ON CONFLICT (data) DO NOTHING"));
    bool ok = true;
    for (const PupilKey &k : keys) {
        q.addBindValue(k.data);
        q.addBindValue(k.classe);
        q.addBindValue(when);
        if (!q.exec()) {
            if (error)
                *error = q.lastError().text();
            ok = false;
            break;
        }
    }
    return db.commitOrRollback(ok, error);
}

namespace {

bool execBound(QSqlQuery &q, const QVariantList &values, QString *error)
{
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

} // namespace

bool moveYearOnServer(Database &db, int year, const QString &before, QString *error)
{
    const QString where = before.isEmpty() ? QString() : QStringLiteral(" WHERE data < ?");
    QVariantList bound = {year};
    if (!before.isEmpty())
        bound << before;
    for (const QString &t : classTables()) {
        QSqlQuery q(db.sql());
        q.prepare(QStringLiteral("INSERT INTO anni_classi SELECT ?, '%1', * FROM %2%3").arg(t, quoted(t), where));
        if (!execBound(q, bound, error))
            return false;
    }
    for (const char *t : {"eliminati", "risposte", "strumenti"}) {
        QSqlQuery q(db.sql());
        q.prepare(QStringLiteral("INSERT INTO anni_%1 SELECT ?, * FROM %1%2").arg(QString::fromLatin1(t), where));
        if (!execBound(q, bound, error))
            return false;
    }
    return deleteYear(db, before, error);
}

bool serverYearCounts(Database &db, int year, QList<int> &counts, int *binned, QString *error)
{
    counts = QList<int>(kClassCount, 0);
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT classe, count(*) FROM anni_classi WHERE anno = ? GROUP BY classe"));
    if (!execBound(q, {year}, error))
        return false;
    while (q.next()) {
        const int i = int(classTables().indexOf(q.value(0).toString()));
        if (i >= 0)
            counts[i] = q.value(1).toInt();
    }
    if (binned) {
        QSqlQuery b(db.sql());
        b.prepare(QStringLiteral("SELECT count(*) FROM anni_eliminati WHERE anno = ?"));
        if (!execBound(b, {year}, error) || !b.next())
            return false;
        *binned = b.value(0).toInt();
    }
    return true;
}

bool copyServerYear(Database &db, int year, Database &file, QString *error)
{
    if (!file.begin()) {
        if (error)
            *error = file.lastError();
        return false;
    }
    // Each table of the file filled by its own columns, read by name from the year's table.
    auto copy = [&](const QString &from, const QString &to, const QString &extra, const QVariantList &bound, bool rowid) {
        QStringList cols = file.columns(to);
        QStringList srcCols;
        for (const QString &c : cols)
            srcCols << quoted(c);
        if (rowid) {
            cols.prepend(QStringLiteral("rowid"));
            srcCols.prepend(QStringLiteral("rowid"));
        }
        QSqlQuery read(db.sql());
        read.setForwardOnly(true);
        read.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE anno = ?%3").arg(srcCols.join(", "), from, extra));
        if (!execBound(read, bound, error))
            return false;
        QStringList marks(cols.size(), QStringLiteral("?"));
        QSqlQuery write(file.sql());
        write.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(to), cols.join(", "), marks.join(", ")));
        while (read.next()) {
            for (int k = 0; k < cols.size(); ++k)
                write.addBindValue(read.value(k));
            if (!write.exec()) {
                if (error)
                    *error = write.lastError().text();
                return false;
            }
        }
        return true;
    };
    bool ok = true;
    for (const QString &t : classTables())
        ok = ok && copy(QStringLiteral("anni_classi"), t, QStringLiteral(" AND classe = ?"), {year, t}, true);
    for (const char *t : {"eliminati", "risposte", "strumenti"})
        ok = ok && copy(QStringLiteral("anni_") + QString::fromLatin1(t), QString::fromLatin1(t), QString(), {year}, false);
    return file.commitOrRollback(ok, error);
}

QList<PupilKey> serverYearData(Database &db, int year, QString *error)
{
    QList<PupilKey> out;
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT classe, data FROM anni_classi WHERE anno = ? UNION ALL "
                             "SELECT classe, data FROM anni_eliminati WHERE anno = ?"));
    if (!execBound(q, {year, year}, error))
        return {};
    while (q.next())
        out << PupilKey{q.value(0).toString(), q.value(1).toString()};
    return out;
}

bool deleteServerYear(Database &db, int year, QString *error)
{
    if (!db.begin()) {
        if (error)
            *error = db.lastError();
        return false;
    }
    bool ok = true;
    for (const char *t : {"anni_classi", "anni_eliminati", "anni_risposte", "anni_strumenti"}) {
        QSqlQuery q(db.sql());
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE anno = ?").arg(QString::fromLatin1(t)));
        ok = ok && execBound(q, {year}, error);
    }
    return db.commitOrRollback(ok, error);
}

bool markDiskYear(Database &disk, int year, QString *error)
{
    QSqlQuery q(disk.sql());
    const bool ok = q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS anno (anno INTEGER NOT NULL)"))
        && q.exec(QStringLiteral("DELETE FROM anno")) && q.exec(QStringLiteral("INSERT INTO anno (anno) VALUES (%1)").arg(year));
    if (!ok && error)
        *error = q.lastError().text();
    return ok;
}

std::optional<int> diskYear(Database &disk, bool *bad)
{
    *bad = false;
    QSqlQuery q(disk.sql());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT type FROM sqlite_master WHERE name = 'anno'")) || !q.next())
        return std::nullopt;
    if (q.value(0).toString() != QLatin1String("table")) {
        *bad = true;
        return std::nullopt;
    }
    q.finish();
    if (!q.exec(QStringLiteral("SELECT anno FROM anno LIMIT 2"))) {
        *bad = true;
        return std::nullopt;
    }
    QList<int> years;
    bool ok = false;
    while (q.next()) {
        years << q.value(0).toInt(&ok);
        if (!ok)
            break;
    }
    if (!ok || years.size() != 1 || years.first() < 1900 || years.first() > 9999) {
        *bad = !years.isEmpty() || !ok;
        return std::nullopt;
    }
    return years.first();
}

int resultsYear(Database &db)
{
    return currentYear(db, QDate::currentDate()).year;
}

} // namespace qv
