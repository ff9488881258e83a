#include "archive/annoscolastico.h"

#include "storage/classmap.h"
#include "storage/privatefiles.h"
#include "storage/schema.h"
#include "storage/tables.h"
#include "storage/wording.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

namespace qv {

namespace {

const QRegularExpression &yearFileName()
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})-(\\d{4})\\.mdb$"));
    return re;
}

// What of the results a past year's file keeps besides its records: nothing of the
// teacher's settings (the password's hash stays in the results alone).
bool shapeYearFile(Database &copy, int year, const QString &before, QString *error)
{
    QSqlQuery q(copy.sql());
    const Sql sql(copy);
    if (!q.exec(sql.remove(QStringLiteral("impostazioni")))
        || (copy.hasTable(QStringLiteral("cancellati")) && !q.exec(sql.remove(QStringLiteral("cancellati"))))) {
        *error = q.lastError().text();
        return false;
    }
    QString e;
    if (!deleteFrom(copy, before, &e) || !setSetting(copy, QStringLiteral("anno"), QString::number(year), &e)) {
        *error = e;
        return false;
    }
    return true;
}

} // namespace

QString PastYear::label() const
{
    switch (state) {
    case State::Ok:
        return yearCaption(year);
    case State::Missing:
        return QStringLiteral("%1 (il file dell'anno non c'è più)").arg(yearCaption(year));
    case State::Damaged:
        break;
    }
    return QStringLiteral("%1 (file danneggiato: %2)").arg(yearCaption(year), problem);
}

int ClosePreview::records() const
{
    int n = 0;
    for (const ClassYearCount &c : counts)
        n += c.records;
    return n;
}

QString ClosePreview::question() const
{
    QStringList lines;
    QStringList unfinished;
    for (int i = 0; i < counts.size(); ++i)
        for (const QString &nome : counts[i].unfinished)
            unfinished << QStringLiteral("   %1 – %2").arg(classCaption(i).simplified(), nome);
    if (!unfinished.isEmpty()) {
        lines << QStringLiteral("Questi test non sono finiti; se chiudi l'anno non si potranno più riprendere:")
              << unfinished << QString();
    }
    lines << QStringLiteral("Risultati dell'anno scolastico %1:").arg(yearCaption(year));
    for (int i = 0; i < counts.size(); ++i)
        lines << QStringLiteral("   %1: %2").arg(classCaption(i).simplified(), counted(counts[i].records, "risultato", "risultati"));
    if (binned > 0)
        lines << QStringLiteral("   nel cestino: %1").arg(counted(binned, "risultato", "risultati"));
    lines << QString()
          << QStringLiteral("Chiudo l'anno scolastico %1? I risultati passano fra gli \"Anni precedenti\", dove si possono "
                            "guardare e stampare ma non cambiare, e le classi restano vuote per il nuovo anno. "
                            "Prima faccio una copia di sicurezza.")
                 .arg(yearCaption(year));
    return lines.join(QLatin1Char('\n'));
}

SchoolYears::SchoolYears(Database &results, QString dataDir) : db_(results), dataDir_(std::move(dataDir)) {}

QString SchoolYears::yearsDir() const
{
    return QDir(dataDir_).filePath(QString::fromLatin1(kYearsFolder));
}

QString SchoolYears::fileOf(int year) const
{
    return QDir(yearsDir()).filePath(yearStem(year) + QStringLiteral(".mdb"));
}

void SchoolYears::recover()
{
    const QDir d(yearsDir());
    if (!d.exists() || db_.onServer())
        return;
    const QList<int> closed = readYearSettings(db_).closed;
    const QStringList names = d.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const auto m = yearFileName().match(name);
        if (name.startsWith(QLatin1Char('.')) && name.contains(QStringLiteral(".mdb")))
            Database::removeFiles(d.filePath(name)); // half written
        else if (m.hasMatch() && !closed.contains(m.captured(1).toInt()))
            Database::removeFiles(d.filePath(name)); // written, but the results were never changed
    }
}

CurrentYear SchoolYears::current(const QDate &today)
{
    return currentYear(db_, today);
}

QString SchoolYears::heading(const QDate &today)
{
    const CurrentYear c = current(today);
    QString h = QStringLiteral("Anno scolastico %1").arg(yearCaption(c.year));
    if (!c.cut.isEmpty()) {
        QList<ClassYearCount> counts;
        QString e;
        if (countYear(db_, c.cut, counts, nullptr, &e)) {
            int n = 0;
            for (const auto &k : counts)
                n += k.records;
            if (n > 0)
                h += QStringLiteral(" (l'anno %1 è ancora da chiudere)").arg(yearCaption(c.year - 1));
        }
    }
    return h;
}

ClosePreview SchoolYears::preview(const QDate &today)
{
    ClosePreview p;
    const YearSettings s = readYearSettings(db_);
    const CurrentYear c = currentYear(s, today);
    QString e;
    p.year = c.year;
    if (!c.cut.isEmpty()) {
        // Records of an earlier year are still here: that year is the one to close, and what
        // was started since 1 September stays.
        QList<ClassYearCount> older;
        int olderBinned = 0;
        if (countYear(db_, c.cut, older, &olderBinned, &e)) {
            int n = olderBinned;
            for (const auto &k : older)
                n += k.records;
            if (n > 0) {
                p.year = c.year - 1;
                p.before = c.cut;
            }
        }
    }
    if (s.closed.contains(p.year)) {
        p.refusal = QStringLiteral("L'anno scolastico %1 è già chiuso: i suoi risultati sono fra gli \"Anni precedenti\".")
                        .arg(yearCaption(p.year));
        return p;
    }
    if (!countYear(db_, p.before, p.counts, &p.binned, &e)) {
        p.refusal = QStringLiteral("Non riesco a leggere i risultati dell'anno: l'anno non è stato chiuso.\n(%1)").arg(e);
        return p;
    }
    if (p.records() == 0 && p.binned == 0)
        p.refusal = QStringLiteral("Nell'archivio non c'è nessun risultato dell'anno scolastico %1: non c'è niente da chiudere.\n"
                                   "Se l'anno indicato è sbagliato, correggilo con \"Cambio l'anno\".")
                        .arg(yearCaption(p.year));
    return p;
}

SchoolYears::Outcome SchoolYears::close(const ClosePreview &p, const QDateTime &now,
                                        const std::function<void(const char *)> &step)
{
    auto reached = [&](const char *name) {
        if (step)
            step(name);
    };
    auto failed = [](const QString &why) {
        return Outcome{false, QStringLiteral("L'anno scolastico non è stato chiuso: l'archivio è rimasto com'era.\n(%1)").arg(why)};
    };
    if (!p.refusal.isEmpty())
        return Outcome{false, p.refusal};
    if (db_.onServer())
        return closeOnServer(p, now, step);
    recover();
    // The same check again: another computer may have closed it meanwhile.
    YearSettings s = readYearSettings(db_);
    if (s.closed.contains(p.year))
        return Outcome{false, QStringLiteral("L'anno scolastico %1 è già chiuso.").arg(yearCaption(p.year))};

    const BackupResult copy = makeBackup(db_, QDir(dataDir_).filePath(QString::fromLatin1(kBackupFolder)), now, true);
    if (!copy.ok())
        return failed(QStringLiteral("la copia di sicurezza non è riuscita: %1").arg(copy.message));
    reached("copia");

    if (!makePrivateFolder(yearsDir()))
        return failed(QStringLiteral("non riesco a creare la cartella %1").arg(QDir::toNativeSeparators(yearsDir())));
    const QString file = fileOf(p.year);
    if (const auto bad = writeShapedCopy(db_, file, [&](Database &c, QString *e) { return shapeYearFile(c, p.year, p.before, e); }))
        return failed(*bad);
    // What the file holds must be what is taken out of the results.
    {
        QString e;
        auto written = Database::open(file, &e, Database::Journal::ReadOnly);
        QList<ClassYearCount> there;
        int binned = 0;
        bool same = written && countYear(*written, QString(), there, &binned, &e) && binned == p.binned;
        for (int i = 0; same && i < kClassCount; ++i)
            same = there[i].records == p.counts[i].records;
        written.reset();
        if (!same) {
            Database::removeFiles(file);
            return failed(e.isEmpty() ? QStringLiteral("il file dell'anno non contiene tutti i risultati") : e);
        }
    }
    reached("file");

    QString e;
    if (!db_.begin()) {
        Database::removeFiles(file);
        return failed(db_.lastError());
    }
    s.closed << p.year;
    // A year set by hand moves on by hand: the clock was not to be trusted.
    if (s.corrected)
        s.corrected = *s.corrected + 1;
    if (!deleteYear(db_, p.before, &e) || !writeYearSettings(db_, s, &e)) {
        db_.rollback();
        Database::removeFiles(file);
        return failed(e);
    }
    reached("transazione");
    if (!db_.commit()) {
        const QString why = db_.lastError();
        db_.rollback();
        Database::removeFiles(file);
        return failed(why);
    }
    // What was taken out is overwritten (secure_delete); the log that may hold it is emptied.
    db_.checkpoint();
    reached("fatto");
    const CurrentYear next = current(now.date());
    return Outcome{true, QStringLiteral("L'anno scolastico %1 è chiuso: %2 sono fra gli \"Anni precedenti\". "
                                        "L'archivio è pronto per l'anno scolastico %3.")
                             .arg(yearCaption(p.year), counted(p.records(), "risultato", "risultati"),
                                  yearCaption(next.year))};
}

SchoolYears::Outcome SchoolYears::closeOnServer(const ClosePreview &p, const QDateTime &now,
                                                const std::function<void(const char *)> &step)
{
    // The copies of a server's database are the server's own (made where it runs); the close
    // is one transaction there, which a connection lost at any point rolls back whole.
    auto failed = [](const QString &why) {
        return Outcome{false, QStringLiteral("L'anno scolastico non è stato chiuso: l'archivio è rimasto com'era.\n(%1)").arg(why)};
    };
    QString e;
    if (!db_.begin())
        return failed(db_.lastError());
    YearSettings s = readYearSettings(db_);
    if (s.closed.contains(p.year)) {
        db_.rollback();
        return Outcome{false, QStringLiteral("L'anno scolastico %1 è già chiuso.").arg(yearCaption(p.year))};
    }
    s.closed << p.year;
    if (s.corrected)
        s.corrected = *s.corrected + 1;
    if (!moveYearOnServer(db_, p.year, p.before, &e) || !writeYearSettings(db_, s, &e)) {
        db_.rollback();
        return failed(e);
    }
    if (step)
        step("transazione");
    if (!db_.commit()) {
        const QString why = db_.lastError();
        db_.rollback();
        return failed(why);
    }
    if (step)
        step("fatto");
    return Outcome{true, QStringLiteral("L'anno scolastico %1 è chiuso: %2 sono fra gli \"Anni precedenti\". "
                                        "L'archivio è pronto per l'anno scolastico %3.")
                             .arg(yearCaption(p.year), counted(p.records(), "risultato", "risultati"),
                                  yearCaption(currentYear(s, now.date()).year))};
}

QList<PastYear> SchoolYears::pastYears()
{
    recover();
    QList<PastYear> out;
    const QList<int> closed = readYearSettings(db_).closed;
    for (auto it = closed.crbegin(); it != closed.crend(); ++it) {
        PastYear y;
        y.year = *it;
        y.file = fileOf(y.year);
        y.counts = QList<int>(kClassCount, 0);
        if (db_.onServer()) {
            QString e;
            if (!serverYearCounts(db_, y.year, y.counts, nullptr, &e)) {
                y.state = PastYear::State::Damaged;
                y.problem = e;
            }
        } else if (!QFileInfo(y.file).isFile()) {
            y.state = PastYear::State::Missing;
        } else {
            const BackupInfo info = inspectBackup(y.file);
            if (info.damaged) {
                y.state = PastYear::State::Damaged;
                y.problem = info.problem;
            } else {
                y.counts = info.counts;
            }
        }
        out << y;
    }
    return out;
}

std::unique_ptr<Database> SchoolYears::openPast(const PastYear &y, const QString &scratchDir, QString *error)
{
    if (y.state != PastYear::State::Ok) {
        if (error)
            *error = QStringLiteral("Non posso aprire l'anno scolastico %1").arg(y.label());
        return nullptr;
    }
    QString e;
    QString file = y.file;
    if (db_.onServer()) {
        // Read from the server into a private file of this computer, for as long as it is shown.
        file = QDir(scratchDir).filePath(yearStem(y.year) + QStringLiteral(".mdb"));
        Database::removeFiles(file);
        const bool made = Database::createWhole(file, Database::Journal::Rollback, [&](Database &f, QString *why) {
            return ensureResultsSchema(f, why) && ensureArchiveTables(f, why) && copyServerYear(db_, y.year, f, why);
        }, &e);
        if (!made) {
            if (error)
                *error = QStringLiteral("Non posso aprire l'anno scolastico %1: %2").arg(yearCaption(y.year), e);
            return nullptr;
        }
    }
    auto db = Database::open(file, &e, Database::Journal::ReadOnly);
    if (!db && error)
        *error = QStringLiteral("Non posso aprire l'anno scolastico %1: %2").arg(yearCaption(y.year), e);
    return db;
}

std::unique_ptr<Database> SchoolYears::openForImport(int year)
{
    if (db_.onServer())
        return nullptr;
    for (const PastYear &y : pastYears())
        if (y.year == year && y.state == PastYear::State::Ok) {
            QString e;
            // The year's file stays one file: no write-ahead log beside it.
            return Database::open(y.file, &e, Database::Journal::Rollback);
        }
    return nullptr;
}

QList<PupilKey> SchoolYears::closedRecords()
{
    QList<PupilKey> keys;
    if (db_.onServer())
        return keys;
    for (const PastYear &y : pastYears()) {
        if (y.state != PastYear::State::Ok)
            continue;
        QString e;
        if (auto past = Database::open(y.file, &e, Database::Journal::ReadOnly))
            keys += yearData(*past, &e);
    }
    return keys;
}

SchoolYears::Outcome SchoolYears::correct(int year, const QDate &today)
{
    YearSettings s = readYearSettings(db_);
    if (year < 2000 || year > 2100)
        return Outcome{false, QStringLiteral("Scrivi l'anno in cui l'anno scolastico comincia, per esempio %1.")
                                  .arg(schoolYearOf(today))};
    if (s.closed.contains(year))
        return Outcome{false, QStringLiteral("L'anno scolastico %1 è già chiuso: scegline un altro.").arg(yearCaption(year))};
    YearSettings clockOnly = s;
    clockOnly.corrected.reset();
    s.corrected = currentYear(clockOnly, today).year == year ? std::optional<int>() : std::optional<int>(year);
    QString e;
    if (!writeYearSettings(db_, s, &e))
        return Outcome{false, QStringLiteral("Non riesco a registrare l'anno scolastico.\n(%1)").arg(e)};
    return Outcome{true, QStringLiteral("L'archivio ora è dell'anno scolastico %1.").arg(yearCaption(year))};
}

int SchoolYears::kept() const
{
    return readYearSettings(db_).kept;
}

SchoolYears::Outcome SchoolYears::setKept(int years)
{
    if (years < 1 || years > kYearsKeptMax)
        return Outcome{false, QStringLiteral("Gli anni da conservare vanno da 1 a %1.").arg(kYearsKeptMax)};
    YearSettings s = readYearSettings(db_);
    s.kept = years;
    QString e;
    if (!writeYearSettings(db_, s, &e))
        return Outcome{false, QStringLiteral("Non riesco a registrare quanti anni conservare.\n(%1)").arg(e)};
    return Outcome{true, {}};
}

QList<int> SchoolYears::beyondLimit(const QDate &today)
{
    const YearSettings s = readYearSettings(db_);
    const int oldestKept = currentYear(s, today).year - (s.kept - 1);
    QList<int> out;
    for (int y : s.closed)
        if (y < oldestKept)
            out << y;
    return out;
}

QString SchoolYears::eraseQuestion(const QList<int> &years) const
{
    QStringList names;
    for (int y : years)
        names << yearCaption(y);
    return QStringLiteral("La scuola conserva i risultati per %1. Cancello per sempre i risultati %2 %3, anche dalle "
                          "copie di sicurezza? Non si potranno più recuperare.")
        .arg(counted(kept(), "anno", "anni"),
             years.size() == 1 ? QStringLiteral("dell'anno scolastico") : QStringLiteral("degli anni scolastici"),
             names.join(QStringLiteral(", ")));
}

SchoolYears::Outcome SchoolYears::erase(const QList<int> &years, const QDateTime &now)
{
    QStringList done, failed;
    QList<PupilKey> keys;
    for (int year : years) {
        const QString file = fileOf(year);
        QString e;
        if (db_.onServer()) {
            const QList<PupilKey> k = serverYearData(db_, year, &e);
            YearSettings s = readYearSettings(db_);
            s.closed.removeAll(year);
            if (!e.isEmpty() || !deleteServerYear(db_, year, &e) || !writeYearSettings(db_, s, &e)) {
                failed << QStringLiteral("%1 (%2)").arg(yearCaption(year), e);
                continue;
            }
            keys += k;
            done << yearCaption(year);
            continue;
        }
        if (QFileInfo(file).isFile()) {
            auto past = Database::open(file, &e, Database::Journal::ReadOnly);
            if (past)
                keys += yearData(*past, &e);
        }
        // The results forget the year first, so that a file that will not go is no longer listed as kept.
        YearSettings s = readYearSettings(db_);
        s.closed.removeAll(year);
        if (!writeYearSettings(db_, s, &e)) {
            failed << QStringLiteral("%1 (%2)").arg(yearCaption(year), e);
            continue;
        }
        Database::removeFiles(file);
        if (QFileInfo::exists(file))
            failed << QStringLiteral("%1 (il file non si cancella)").arg(yearCaption(year));
        else
            done << yearCaption(year);
    }
    QString e;
    if (!keys.isEmpty() && !markErased(db_, keys, now.toUTC().toString(Qt::ISODate), &e))
        failed << QStringLiteral("l'elenco dei cancellati (%1)").arg(e);
    QStringList datas;
    for (const PupilKey &k : keys)
        datas << k.data;
    if (db_.onServer()) {
        QString msg = done.isEmpty() ? QString()
                                     : QStringLiteral("I risultati %1 %2 sono stati cancellati per sempre dal server. Restano "
                                                      "le copie di sicurezza del server stesso: chiedi a chi cura il server di "
                                                      "cancellarli anche da quelle.")
                                           .arg(done.size() == 1 ? QStringLiteral("dell'anno scolastico")
                                                                 : QStringLiteral("degli anni scolastici"),
                                                done.join(QStringLiteral(", ")));
        if (!failed.isEmpty())
            msg += (msg.isEmpty() ? QString() : QStringLiteral("\n")) + QStringLiteral("Non sono riuscito a cancellare: ")
                 + failed.join(QStringLiteral("; ")) + QLatin1Char('.');
        return Outcome{failed.isEmpty(), msg};
    }
    const CopiesErased copies = eraseFromCopies(QDir(dataDir_).filePath(QString::fromLatin1(kBackupFolder)), datas);
    failed += copies.failed;
    QString msg = done.isEmpty() ? QString()
                                 : QStringLiteral("I risultati %1 %2 sono stati cancellati per sempre, anche da %3.")
                                       .arg(done.size() == 1 ? QStringLiteral("dell'anno scolastico") : QStringLiteral("degli anni scolastici"),
                                            done.join(QStringLiteral(", ")),
                                            counted(copies.rewritten, "copia di sicurezza", "copie di sicurezza"));
    if (!failed.isEmpty())
        msg += (msg.isEmpty() ? QString() : QStringLiteral("\n")) + QStringLiteral("Non sono riuscito a cancellare: ")
             + failed.join(QStringLiteral("; ")) + QLatin1Char('.');
    return Outcome{failed.isEmpty(), msg};
}

} // namespace qv
