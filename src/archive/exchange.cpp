#include "archive/exchange.h"

#include "storage/strumenti.h"
#include "battery/items.h"
#include "storage/classmap.h"
#include "storage/archivequeries.h"
#include "storage/privatefiles.h"
#include "storage/pupilrecord.h"
#include "storage/datafiles.h"
#include "storage/recordreader.h"
#include "storage/schema.h"
#include "storage/schoolyear.h"
#include "storage/sqlitefile.h"
#include "storage/tables.h"
#include "storage/wording.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <sodium.h>
#include <cmath>
#include <filesystem>
#include <optional>
#include <tuple>

namespace qv {

namespace {

using Row = QVariantList; // the transferred fields, in transferredFields() order

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// The first line of a failed export: opening the disk or removing earlier copies, then
// writing the records.
const QString kProblema = QStringLiteral("C'è un problema...\n");
const QString kFloppy = QStringLiteral("Probabilmente non hai inserito un Floppy nuovo. Inseriscilo e riprova.\n");

ExchangeResult failed(const QString &message)
{
    ExchangeResult r;
    r.message = message;
    return r;
}

// Why the class `table` of `results` cannot be exported or imported now (`noClass` when it
// is no class table, the results unreadable when the connection cannot be opened), or nothing.
std::optional<ExchangeResult> unreachable(Database &results, const QString &table, const QString &noClass)
{
    if (!isClassTable(table))
        return failed(noClass);
    if (!results.ensureOpen())
        return failed(QStringLiteral("Non riesco a leggere l'archivio dei risultati: %1").arg(results.lastError()));
    return std::nullopt;
}

// A whole number of a score, minutes or progress field, as the class tables store it.
std::optional<QVariant> wholeNumber(const QVariant &v)
{
    if (v.isNull())
        return QVariant();
    qlonglong n = 0;
    bool ok = false;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        n = v.toLongLong(&ok);
        break;
    case QMetaType::Double: {
        // Range first: converting an infinite or huge double to an integer is undefined.
        const double d = v.toDouble();
        ok = std::isfinite(d) && std::fabs(d) <= 1e9 && d == std::trunc(d);
        n = ok ? qlonglong(d) : 0;
        break;
    }
    case QMetaType::QString:
        n = v.toString().trimmed().toLongLong(&ok);
        break;
    default:
        break;
    }
    if (!ok || n < -32768 || n > 32767)
        return std::nullopt;
    return QVariant(int(n));
}

// A disk row checked field by field; nullopt when it cannot be stored in a class table.
std::optional<Row> checkedRow(const RecordReader &in)
{
    Row row;
    const QStringList &fields = transferredFields();
    for (int i = 0; i < fields.size(); ++i) {
        if (!in.has(i))
            return std::nullopt; // the disk table lacks this field
        const QVariant v = in.value(i);
        const QString &f = fields[i];
        if (f == QLatin1String("nome") || f == QLatin1String("data")) {
            if (v.isNull() || v.typeId() == QMetaType::QByteArray)
                return std::nullopt;
            const QString t = v.toString();
            if (t.trimmed().isEmpty())
                return std::nullopt;
            // Characters, as the name entry cuts them: a pair of surrogates is one.
            if (f == QLatin1String("nome") && t.size() > kNameMaxLength && t.toUcs4().size() > kNameMaxLength)
                return std::nullopt;
            row << t;
        } else {
            const auto n = wholeNumber(v);
            if (!n)
                return std::nullopt;
            row << *n;
        }
    }
    return row;
}

// Whether `file` is the results file or the export template, however it is reached (a
// link, "..", another name of the same file).
bool isProgramFile(const QString &file, const Database &results, const QString &templateFile)
{
    const auto same = [&](const QString &other) {
        if (other.isEmpty())
            return false;
        std::error_code ec;
        return std::filesystem::equivalent(QFile::encodeName(file).toStdString(),
                                           QFile::encodeName(other).toStdString(), ec)
            && !ec;
    };
    return same(results.path()) || same(templateFile);
}

QString programFileMessage(const QString &diskFile, bool import)
{
    return QStringLiteral("La cartella scelta, \"%1\", è la cartella dei dati del programma: lì ci sono "
                          "l'archivio dei risultati e il modello dell'esportazione, che non si devono mescolare "
                          "con un disco. %2\nScegli la cartella del disco (o della chiavetta) e riprova.")
        .arg(QDir::toNativeSeparators(QFileInfo(diskFile).absolutePath()),
             import ? QStringLiteral("Non ho importato nulla.") : QStringLiteral("Non ho esportato nulla."));
}

// How far a record has got: the test reached, the point inside it, then how many of its
// fields are filled. A copy is newer than another when this is greater.
std::tuple<int, int, int> progress(const Row &row)
{
    int filled = 0;
    for (const QVariant &v : row)
        filled += v.isNull() ? 0 : 1;
    return {row[2].toInt(), row[3].toInt(), filled};
}

// One row of the disk's answer log: data, prova, numero, risposta, giusta, quando.
using AnswerRow = QVariantList;

// The key of a pupil's rows on a disk, then the columns of its answers or of its tools.
QStringList withData(const QStringList &columns)
{
    return QStringList{QStringLiteral("data")} + columns;
}

// The answers of the records of a class (rows of pupils no longer in it are left out),
// keyed by the record's data.
bool readAnswers(Database &results, const QString &table, QHash<QString, QList<AnswerRow>> &out, QString *error)
{
    if (!results.hasTable(QStringLiteral("risposte")))
        return true;
    QSqlQuery q(results.sql());
    q.setForwardOnly(true);
    q.prepare(archivequeries::classAnswers(results, table));
    q.addBindValue(table);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        AnswerRow a;
        for (int i = 0; i < 6; ++i)
            a << q.value(i);
        out[a[0].toString()] << a;
    }
    return true;
}

// A disk answer row checked; nullopt when it cannot be an answer to an item of a test.
std::optional<AnswerRow> checkedAnswer(const QSqlQuery &q)
{
    const QVariant data = q.value(0);
    const QString prova = q.value(1).toString();
    const auto numero = wholeNumber(q.value(2));
    const auto giusta = wholeNumber(q.value(4));
    if (data.isNull() || data.toString().trimmed().isEmpty() || !itemTests().contains(prova) || !numero
        || numero->isNull() || numero->toInt() < 1 || !giusta || giusta->isNull()
        || (giusta->toInt() != 0 && giusta->toInt() != 1) || q.value(3).typeId() == QMetaType::QByteArray)
        return std::nullopt;
    // Empty text, not NULL, where the disk has none.
    const auto text = [](const QVariant &v) { return v.toString().isNull() ? QStringLiteral("") : v.toString(); };
    return AnswerRow{data.toString(), prova, *numero, text(q.value(3)), *giusta, text(q.value(5))};
}

bool readClass(Database &results, const QString &table, QList<Row> &rows, QString *error)
{
    RecordReader in(results, table, transferredFields());
    if (!in.exec()) {
        *error = in.error().text();
        return false;
    }
    const int n = int(transferredFields().size());
    while (in.next()) {
        Row r;
        for (int i = 0; i < n; ++i)
            r << in.value(i);
        rows << r;
    }
    // A class read half-way is not exported as if it were whole.
    if (in.error().isValid()) {
        *error = in.error().text();
        return false;
    }
    return true;
}

} // namespace

const QStringList &transferredFields()
{
    static const QStringList f = {
        "nome", "data", "arrivo", "sub", "fatti1", "fatti2", "inferen1", "inferen2",
        "lessico1", "scopi2", "sintesi1", "sintesi2", "frasi1", "frasi2", "gramsem", "gramcom",
        "logsem", "causasem", "causacom", "cronolog", "elemfis", "elempol", "temlettura", "temgram",
        "temlogica", "temfrasi", "temcause", "temcrono", "temfisica", "tempolitica"};
    return f;
}

namespace {

// The export proper into `diskFile`; `shown` is the file the teacher's messages name (the
// sealed file, when `diskFile` is the plain one built before sealing it).
ExchangeResult exportTo(Database &results, const QString &table, const QString &diskFile,
                        const QString &templateFile, const QString &shown)
{
    if (auto refused = unreachable(results, table, QStringLiteral("Non c'è nessuna classe da esportare.")))
        return *refused;
    if (isProgramFile(diskFile, results, templateFile))
        return failed(programFileMessage(diskFile, false));
    QList<Row> rows;
    QString e;
    QHash<QString, QList<AnswerRow>> answers;
    const QHash<QString, PupilTools> tools = classTools(results, table);
    const int year = resultsYear(results);
    if (!readClass(results, table, rows, &e) || !readAnswers(results, table, answers, &e))
        return failed(QStringLiteral("Non riesco a leggere i risultati della classe: %1").arg(e));
    if (rows.isEmpty()) {
        ExchangeResult r;
        r.ok = true;
        r.message = QStringLiteral("La classe non ha risultati da esportare: il disco non è stato cambiato.");
        return r;
    }

    ExchangeResult r;
    QString problem;
    bool copying = false; // the removal pass is over, the records are being written
    // Earlier copies of these very records (every disk row with the same name and data)
    // are removed, then the records written; all in one transaction.
    auto write = [&](Database &disk) {
        if (!disk.begin()) {
            problem = disk.lastError();
            return false;
        }
        // A disk of an older version gets the answer and tool tables here, inside the transaction.
        QString made;
        if (!ensureExportAnswers(disk, &made) || !ensureExportTools(disk, &made))
            problem = made;
        const Sql sql(disk);
        // The disk says which school year its records are of; a disk of another year's
        // records is not mixed with this one's.
        bool badMark = false;
        const std::optional<int> marked = diskYear(disk, &badMark);
        if (problem.isEmpty() && marked && *marked != year) {
            QSqlQuery any(disk.sql());
            if (any.exec(sql.count(QStringLiteral("prima"))) && any.next() && any.value(0).toLongLong() > 0)
                problem = QStringLiteral("sul disco ci sono già risultati dell'anno scolastico %1: usa un altro disco")
                              .arg(yearCaption(*marked));
        }
        if (problem.isEmpty() && !markDiskYear(disk, year, &made))
            problem = made;
        QSqlQuery del(disk.sql());
        QSqlQuery ins(disk.sql());
        QSqlQuery delAnswers(disk.sql());
        QSqlQuery insAnswer(disk.sql());
        QSqlQuery delTools(disk.sql());
        QSqlQuery insTools(disk.sql());
        if (problem.isEmpty()
            && (!delTools.prepare(sql.remove(QStringLiteral("strumenti"), {QStringLiteral("data")}))
                || !insTools.prepare(sql.insert(QStringLiteral("strumenti"), withData(toolValueColumns())))))
            problem = delTools.lastError().text() + insTools.lastError().text();
        if (problem.isEmpty()
            && (!del.prepare(archivequeries::removeDiskCopies())
                || !ins.prepare(sql.insert(QStringLiteral("prima"), transferredFields()))
                || !delAnswers.prepare(sql.remove(QStringLiteral("risposte"), {QStringLiteral("data")}))
                || !insAnswer.prepare(sql.insert(QStringLiteral("risposte"), withData(answerValueColumns())))))
            problem = del.lastError().text() + ins.lastError().text() + delAnswers.lastError().text()
                + insAnswer.lastError().text();
        for (const Row &row : rows) {
            if (!problem.isEmpty())
                break;
            del.bindValue(0, row[0]);
            del.bindValue(1, row[1]);
            if (!del.exec()) {
                problem = del.lastError().text();
                break;
            }
            r.replaced += del.numRowsAffected();
        }
        copying = problem.isEmpty();
        for (const Row &row : rows) {
            if (!problem.isEmpty())
                break;
            for (int i = 0; i < row.size(); ++i)
                ins.bindValue(i, row[i]);
            if (!ins.exec()) {
                problem = ins.lastError().text();
                break;
            }
            ++r.written;
            // The record's answers replace those an earlier export of it left.
            delAnswers.bindValue(0, row[1]);
            if (!delAnswers.exec()) {
                problem = delAnswers.lastError().text();
                break;
            }
            for (const AnswerRow &a : answers.value(row[1].toString())) {
                for (int i = 0; i < a.size(); ++i)
                    insAnswer.bindValue(i, a[i]);
                if (!insAnswer.exec()) {
                    problem = insAnswer.lastError().text();
                    break;
                }
            }
            // And so do its tools.
            delTools.bindValue(0, row[1]);
            if (problem.isEmpty() && !delTools.exec())
                problem = delTools.lastError().text();
            const auto t = tools.constFind(row[1].toString());
            if (problem.isEmpty() && t != tools.constEnd()) {
                insTools.bindValue(0, row[1]);
                const QVariantList v = toolValues(*t);
                for (int i = 0; i < v.size(); ++i)
                    insTools.bindValue(i + 1, v[i]);
                if (!insTools.exec())
                    problem = insTools.lastError().text();
            }
        }
        delTools.finish();
        insTools.finish();
        del.finish();
        ins.finish();
        delAnswers.finish();
        insAnswer.finish();
        if (problem.isEmpty() && !disk.commit())
            problem = disk.lastError();
        if (!problem.isEmpty())
            disk.rollback();
        return problem.isEmpty();
    };

    if (!QFileInfo::exists(diskFile)) {
        // A new disk file is built from the schema, never copied from the template, which
        // an earlier version may have filled with another class's rows. It appears only
        // when complete.
        const bool made = Database::createWhole(diskFile, Database::Journal::Rollback,
                                                [&](Database &disk, QString *err) {
                                                    if (!ensureExportSchema(disk, err)) {
                                                        problem = *err;
                                                        return false;
                                                    }
                                                    return write(disk);
                                                },
                                                &e);
        if (!made && problem.isEmpty())
            problem = e;
    } else {
        preparePrivateFile(diskFile); // a disk file of an earlier version may be readable to all
        auto disk = Database::open(diskFile, &e, Database::Journal::Rollback);
        if (!disk || !checkExportSchema(*disk, &e))
            return failed(kProblema + QStringLiteral("Il file \"%1\" non è un archivio di esportazione: non l'ho cambiato.\n%2")
                              .arg(native(shown), e));
        write(*disk);
    }
    if (!problem.isEmpty()) {
        return failed((copying ? kFloppy : kProblema)
                      + QStringLiteral("L'esportazione non è riuscita e il disco è rimasto com'era.\n"
                                     "Controlla che il disco sia inserito, non protetto dalla scrittura e con "
                                     "spazio libero, poi riprova.\n(%1)")
                          .arg(problem));
    }
    r.ok = true;
    r.message = QStringLiteral("Esportazione finita: %1 nel file \"%2\".")
                    .arg(counted(r.written, "risultato esportato", "risultati esportati"), native(shown));
    if (r.replaced > 0)
        r.message += r.replaced == 1
            ? QStringLiteral("\nLa copia di un'esportazione precedente (1) è stata sostituita, così nessun risultato è "
                             "doppio.")
            : QStringLiteral("\nLe copie di un'esportazione precedente (%1) sono state sostituite, così nessun "
                             "risultato è doppio.")
                  .arg(r.replaced);
    return r;
}

} // namespace

ExchangeResult esportaClasse(Database &results, const QString &table, const QString &diskFile,
                             const QString &templateFile)
{
    return exportTo(results, table, diskFile, templateFile, diskFile);
}

namespace {

// The records of a class as another database holds them, read and checked before anything
// is written: the rows, their answers keyed by data, and how many rows were malformed.
struct Incoming {
    QList<Row> rows;
    QHash<QString, QList<AnswerRow>> answers;
    QHash<QString, PupilTools> tools;
    int unreadable = 0;
};

// Why reading the other database failed, for the caller's message.
struct ReadFailure {
    enum class Kind { Table, Damaged, Answers, Tools, TooBig } kind;
    QString text;
};

// The pupils' tools the source holds: a disk's own table "strumenti" (by data), or with
// `answerClass` that class's rows of a results database's. A row the table would not hold
// is left out; a disk of an older version has none.
std::optional<ReadFailure> readIncomingTools(Database &source, const QString &answerClass, Incoming &in)
{
    if (!source.hasTable(QStringLiteral("strumenti")))
        return std::nullopt;
    if (!answerClass.isEmpty()) {
        in.tools = classTools(source, answerClass);
        return std::nullopt;
    }
    QSqlQuery t(source.sql());
    t.setForwardOnly(true);
    if (!t.exec(Sql(source).select(QStringLiteral("strumenti"), withData(toolValueColumns()))))
        return ReadFailure{ReadFailure::Kind::Tools, t.lastError().text()};
    while (t.next()) {
        QVariantList v;
        for (int i = 1; i <= 5; ++i)
            v << t.value(i);
        const auto tools = toolsFromValues(v);
        if (tools && tools->any() && !t.value(0).isNull())
            in.tools.insert(t.value(0).toString(), *tools);
    }
    if (t.lastError().isValid())
        return ReadFailure{Database::tooBig(t.lastError()) ? ReadFailure::Kind::TooBig : ReadFailure::Kind::Damaged,
                           t.lastError().text()};
    return std::nullopt;
}

// Reads `sourceTable` of `source` (a disk's "prima", or a class table of another results
// database) and the answers of its rows: the disk's "risposte", or, with `answerClass`, the
// rows of that class in a results database's "risposte".
std::optional<ReadFailure> readIncoming(Database &source, const QString &sourceTable, const QString &answerClass,
                                        Incoming &in)
{
    // Only the fields the program knows, by name, whatever their order in the source: a
    // column of its own (computed, huge) is never read.
    {
        RecordReader q(source, sourceTable, transferredFields(), source.columns(sourceTable));
        if (!q.exec())
            return ReadFailure{Database::tooBig(q.error()) ? ReadFailure::Kind::TooBig : ReadFailure::Kind::Table,
                               q.error().text()};
        while (q.next()) {
            if (auto row = checkedRow(q))
                in.rows << *row;
            else
                ++in.unreadable;
        }
        // A damaged file ends the reading early: the rows after the damage are not lost
        // silently, nothing of the file is taken.
        if (q.error().isValid())
            return ReadFailure{Database::tooBig(q.error()) ? ReadFailure::Kind::TooBig : ReadFailure::Kind::Damaged,
                               q.error().text()};
    }
    if (const auto f = readIncomingTools(source, answerClass, in))
        return f;
    // The answers, when the source has them (an older version's disk has none).
    if (!source.hasTable(QStringLiteral("risposte")))
        return std::nullopt;
    QSqlQuery a(source.sql());
    a.setForwardOnly(true);
    const Sql sql(source);
    const QString answers = QStringLiteral("risposte");
    bool read = false;
    if (answerClass.isEmpty()) {
        read = a.exec(sql.select(answers, withData(answerValueColumns())));
    } else if (a.prepare(sql.select(answers, withData(answerValueColumns()), {QStringLiteral("classe")}))) {
        a.addBindValue(answerClass);
        read = a.exec();
    }
    if (!read)
        return ReadFailure{ReadFailure::Kind::Answers, a.lastError().text()};
    while (a.next())
        if (auto row = checkedAnswer(a))
            in.answers[row->at(0).toString()] << *row;
    if (a.lastError().isValid())
        return ReadFailure{Database::tooBig(a.lastError()) ? ReadFailure::Kind::TooBig : ReadFailure::Kind::Damaged,
                           a.lastError().text()};
    return std::nullopt;
}

// Writes the incoming records into `table` of `results`, inside the caller's transaction:
// a row whose data value the class holds is a copy of that record, taken in place of it
// when it has got further, left otherwise. Counts into `r`; the failure's text, or empty.
QString mergeIncoming(Database &results, const QString &table, const Incoming &in, ExchangeResult &r,
                      Database *erasedList = nullptr)
{
    Database &erasedIn = erasedList ? *erasedList : results;
    QString problem;
    const bool log = results.hasTable(QStringLiteral("risposte"));
    const Sql sql(results);
    const TableSpec answers = answerTable(TableHome::Results);
    QSqlQuery has(results.sql());
    QSqlQuery ins(results.sql());
    QSqlQuery upd(results.sql());
    QSqlQuery delAnswers(results.sql());
    QSqlQuery insAnswer(results.sql());
    if (log
        && (!delAnswers.prepare(sql.remove(answers.name, {QStringLiteral("classe"), QStringLiteral("data")}))
            || !insAnswer.prepare(sql.upsert(answers.name, answers.names(), answers.key))))
        problem = delAnswers.lastError().text() + insAnswer.lastError().text();
    // A pupil erased for good from this archive never comes back from an older disk or copy.
    const bool erasedKept = erasedIn.hasTable(QStringLiteral("cancellati"));
    QSqlQuery erased(erasedIn.sql());
    if (erasedKept && !erased.prepare(Sql(erasedIn).select(QStringLiteral("cancellati"), {QStringLiteral("data")}, {QStringLiteral("data")})))
        problem = erased.lastError().text();
    if (!has.prepare(sql.select(table, QStringList{QStringLiteral("rowid")} + transferredFields(), {QStringLiteral("data")}))
        || !ins.prepare(sql.insert(table, transferredFields()))
        || !upd.prepare(sql.update(table, transferredFields(), {QStringLiteral("rowid")})))
        problem = has.lastError().text() + ins.lastError().text() + upd.lastError().text();
    for (const Row &row : in.rows) {
        if (!problem.isEmpty())
            break;
        if (erasedKept) {
            erased.bindValue(0, row[1]);
            if (!erased.exec()) {
                problem = erased.lastError().text();
                break;
            }
            const bool gone = erased.next();
            erased.finish();
            if (gone) {
                ++r.erased;
                continue;
            }
        }
        has.bindValue(0, row[1]);
        if (!has.exec()) {
            problem = has.lastError().text();
            break;
        }
        std::optional<Row> held;
        QVariant rowid;
        if (has.next()) {
            rowid = has.value(0);
            held = Row();
            for (int i = 0; i < row.size(); ++i)
                held->append(has.value(i + 1));
        }
        has.finish();
        // The source's tools of the pupil come with a record taken from it, and fill in
        // where the class's copy has none: a mark of how a result was obtained is never
        // lost by an import.
        const bool taken = !held || progress(row) > progress(*held);
        const auto tools = in.tools.constFind(row[1].toString());
        if (tools != in.tools.constEnd()) {
            PupilTools own;
            if (!taken && !readTools(results, table, row[1].toString(), &own, &problem))
                break;
            if ((taken || !own.any()) && !writeTools(results, table, row[1].toString(), *tools, &problem))
                break;
        }
        if (!taken) {
            ++r.present;
            continue;
        }
        QSqlQuery &q = held ? upd : ins;
        for (int i = 0; i < row.size(); ++i)
            q.bindValue(i, row[i]);
        if (held)
            q.bindValue(int(row.size()), rowid);
        if (!q.exec()) {
            problem = q.lastError().text();
            break;
        }
        ++(held ? r.updated : r.added);
        if (!log)
            continue;
        // The record is the source's now, and so are its answers.
        delAnswers.bindValue(0, table);
        delAnswers.bindValue(1, row[1]);
        if (!delAnswers.exec()) {
            problem = delAnswers.lastError().text();
            break;
        }
        for (const AnswerRow &a : in.answers.value(row[1].toString())) {
            insAnswer.bindValue(0, table);
            for (int i = 0; i < a.size(); ++i)
                insAnswer.bindValue(i + 1, a[i]);
            if (!insAnswer.exec()) {
                problem = insAnswer.lastError().text();
                break;
            }
        }
    }
    erased.finish();
    has.finish();
    ins.finish();
    upd.finish();
    delAnswers.finish();
    insAnswer.finish();
    return problem;
}

} // namespace

namespace {

// Why a disk cannot hold a class, in words for the teacher ("contiene ..."), or empty: its
// tables must be tables (a view could compute rows without end) and hold no more rows than
// a class can have. Counting is quick however many rows there are.
QString diskBeyondAClass(Database &disk)
{
    QString e;
    const auto found = sqlitefile::tableKinds(disk, {QStringLiteral("prima"), QStringLiteral("risposte"), QStringLiteral("strumenti")}, &e);
    if (!found)
        return QStringLiteral("non si può leggere (%1)").arg(e);
    const QHash<QString, QString> &kinds = *found;
    QSqlQuery q(disk.sql());
    q.setForwardOnly(true);
    if (!kinds.contains(QStringLiteral("prima")))
        return QStringLiteral("non contiene la tabella \"prima\"");
    const struct {
        const char *table;
        qint64 most;
    } limits[] = {{"prima", kDiskMaxRecords}, {"strumenti", kDiskMaxRecords}, {"risposte", kDiskMaxAnswers}};
    for (const auto &l : limits) {
        const QString t = QString::fromLatin1(l.table);
        if (!kinds.contains(t))
            continue;
        if (kinds.value(t) != QLatin1String("table"))
            return QStringLiteral("non è un archivio di esportazione (\"%1\" non è una tabella)").arg(t);
        if (!q.exec(Sql(disk).count(t)) || !q.next())
            return QStringLiteral("è danneggiato e non si può leggere (%1)").arg(q.lastError().text());
        const qint64 n = q.value(0).toLongLong();
        q.finish();
        if (n > l.most)
            return QStringLiteral("contiene più righe (%1 nella tabella \"%2\") di quante ne possa avere una classe "
                                  "(al massimo %3)")
                .arg(n)
                .arg(t)
                .arg(l.most);
    }
    return {};
}

// The import proper from the plain disk file `diskFile`; `shown` is the file the messages name.
ExchangeResult importPlain(Database &results, const QString &table, const QString &diskFile, const QString &shown,
                           const IntoYear &into)
{
    Incoming in;
    QString e;
    {
        auto disk = Database::open(diskFile, &e, Database::Journal::Rollback);
        if (!disk)
            return failed(QStringLiteral("Il file \"%1\" non è un archivio di esportazione: non ho importato nulla.\n%2")
                              .arg(native(shown), e));
        // A file from outside: no value bigger than a class can hold is ever read.
        disk->limitValues(kDiskMaxValueBytes);
        if (const QString why = diskBeyondAClass(*disk); !why.isEmpty())
            return failed(QStringLiteral("Il file \"%1\" %2: non ho importato nulla e la classe è rimasta com'era.")
                              .arg(native(shown), why));
        // A disk of an older version has no year: its records go into the current year.
        bool badMark = false;
        const std::optional<int> year = diskYear(*disk, &badMark);
        if (badMark)
            return failed(QStringLiteral("Il file \"%1\" non dice in modo leggibile di quale anno scolastico sono i risultati: "
                                         "non ho importato nulla e la classe è rimasta com'era.")
                              .arg(native(shown)));
        const int expected = into.year ? into.year : resultsYear(results);
        if (year && *year != expected) {
            ExchangeResult r = failed(QStringLiteral("Sul disco ci sono i risultati dell'anno scolastico %1, ma l'archivio è "
                                                     "dell'anno scolastico %2: non ho importato nulla e la classe è rimasta com'era.")
                                          .arg(yearCaption(*year), yearCaption(expected)));
            r.otherYear = *year;
            return r;
        }
        if (const auto f = readIncoming(*disk, QStringLiteral("prima"), QString(), in)) {
            if (f->kind == ReadFailure::Kind::TooBig)
                return failed(QStringLiteral("Il file \"%1\" contiene valori più grandi di quelli che una classe può avere: "
                                             "non ho importato nulla e la classe è rimasta com'era.")
                                  .arg(native(shown)));
            switch (f->kind) {
            case ReadFailure::Kind::TooBig:
            case ReadFailure::Kind::Table:
                return failed(QStringLiteral("Non riesco a leggere il file \"%1\": non ho importato nulla.\n%2")
                                  .arg(native(shown), f->text));
            case ReadFailure::Kind::Answers:
                return failed(QStringLiteral("Non riesco a leggere le risposte nel file \"%1\": non ho importato nulla.\n%2")
                                  .arg(native(shown), f->text));
            case ReadFailure::Kind::Tools:
                return failed(QStringLiteral("Non riesco a leggere gli strumenti compensativi nel file \"%1\": non ho importato nulla.\n%2")
                                  .arg(native(shown), f->text));
            case ReadFailure::Kind::Damaged:
                return failed(QStringLiteral("Il file \"%1\" è danneggiato e non si può leggere tutto: non ho importato nulla.\n%2")
                                  .arg(native(shown), f->text));
            }
        }
    }

    ExchangeResult r;
    r.unreadable = in.unreadable;
    QString problem;
    if (!results.begin()) {
        problem = results.lastError();
    } else {
        problem = mergeIncoming(results, table, in, r, into.erasedList);
        if (problem.isEmpty() && !results.commit())
            problem = results.lastError();
        if (!problem.isEmpty())
            results.rollback();
    }
    if (!problem.isEmpty())
        return failed(QStringLiteral("L'importazione non è riuscita e la classe è rimasta com'era.\n(%1)").arg(problem));

    r.ok = true;
    r.message = QStringLiteral("Importazione finita: %1").arg(counted(r.added, "risultato importato", "risultati importati"));
    if (r.updated > 0)
        r.message += QStringLiteral("; ") + counted(r.updated, "aggiornato con la copia più avanzata del disco",
                                                   "aggiornati con la copia più avanzata del disco");
    if (r.present > 0)
        r.message += QStringLiteral("; ") + counted(r.present, "già presente, non aggiunto di nuovo",
                                                   "già presenti, non aggiunti di nuovo");
    if (r.erased > 0)
        r.message += QStringLiteral("; ") + counted(r.erased, "cancellato per sempre da questo archivio, non importato di nuovo",
                                                   "cancellati per sempre da questo archivio, non importati di nuovo");
    if (r.unreadable > 0)
        r.message += QStringLiteral("; ") + counted(r.unreadable, "illeggibile, saltato", "illeggibili, saltati");
    r.message += QLatin1Char('.');
    return r;
}

} // namespace

ExchangeResult importaClasse(Database &results, const QString &table, const QString &diskFile,
                             const QString &templateFile, const IntoYear &into)
{
    if (auto refused = unreachable(results, table, QStringLiteral("Non c'è nessuna classe in cui importare.")))
        return *refused;
    if (isProgramFile(diskFile, results, templateFile))
        return failed(programFileMessage(diskFile, true));
    if (!QFileInfo::exists(diskFile))
        return failed(QStringLiteral("Nella cartella scelta non c'è il file \"%1\": non ho importato nulla.")
                          .arg(QFileInfo(diskFile).fileName()));
    return importPlain(results, table, diskFile, diskFile, into);
}

ExchangeResult mergeClassFrom(Database &results, Database &source, const QString &table)
{
    if (!isClassTable(table) || !results.isOpen() || !source.isOpen())
        return failed(QStringLiteral("Non c'è nessuna classe da copiare."));
    ExchangeResult r;
    Incoming in;
    if (const auto f = readIncoming(source, table, table, in))
        return failed(QStringLiteral("Non riesco a leggere la classe \"%1\" in %2: %3").arg(table, source.where(), f->text));
    r.unreadable = in.unreadable;
    const QString problem = mergeIncoming(results, table, in, r);
    if (!problem.isEmpty())
        return failed(QStringLiteral("Non riesco a scrivere la classe \"%1\" in %2: %3").arg(table, results.where(), problem));
    r.ok = true;
    return r;
}

// ---- The sealed disk file ----------------------------------------------------------------
//
// "expquorvane.cifrato": the plain export file, encrypted and authenticated with a key
// derived from the teacher's passphrase.
//   0  "QVCIFRA1"                        magic and version
//   8  opslimit, uint32 little-endian    Argon2id cost of the key derivation
//  12  memlimit in KiB, uint32 LE
//  16  salt (crypto_pwhash_SALTBYTES)    random for every export
//  32  check (16 bytes)                  BLAKE2b of bytes 0..31 keyed with a subkey: tells a
//                                        wrong passphrase from a damaged file
//  48  secretstream header (24 bytes)
//  72  chunks of crypto_secretstream_xchacha20poly1305, 64 KiB of plain text each, bytes
//      0..47 as additional data; the last one tagged FINAL, nothing after it.
// A changed, missing or added byte anywhere fails the check or a chunk's authentication.

namespace {

constexpr char kMagic[8] = {'Q', 'V', 'C', 'I', 'F', 'R', 'A', '1'};
constexpr int kSaltAt = 16;
constexpr int kCheckAt = 32;
constexpr int kCheckBytes = 16;
constexpr int kStreamAt = 48;
constexpr int kHeaderBytes = kStreamAt + crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr int kChunk = 64 * 1024;
// The key derivation of an export: about half a second on a lab computer.
constexpr quint32 kOpsLimit = 3;
constexpr quint32 kMemLimitKiB = 64 * 1024;
// What a disk's header may ask for before the derivation is even tried: a planted cost
// must not freeze the program or exhaust its memory.
constexpr quint32 kMostOps = 10;
constexpr quint32 kMostMemKiB = 256 * 1024;
constexpr const char kSubkeyContext[crypto_kdf_CONTEXTBYTES + 1] = "qvdisco1";

static_assert(crypto_pwhash_SALTBYTES == 16 && crypto_secretstream_xchacha20poly1305_HEADERBYTES == 24);

void putU32(QByteArray &b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

quint32 getU32(const QByteArray &b, int at)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(uchar(b[at + i])) << (8 * i);
    return v;
}

// Key material that is wiped when it goes.
struct Keys {
    unsigned char check[crypto_generichash_KEYBYTES];
    unsigned char stream[crypto_secretstream_xchacha20poly1305_KEYBYTES];
    ~Keys() { sodium_memzero(this, sizeof *this); }
};

bool deriveKeys(const QString &passphrase, const QByteArray &header, Keys &keys)
{
    QByteArray pass = passphrase.toUtf8();
    unsigned char master[crypto_kdf_KEYBYTES];
    const bool ok = crypto_pwhash(master, sizeof master, pass.constData(), quint64(pass.size()),
                                  reinterpret_cast<const unsigned char *>(header.constData() + kSaltAt),
                                  getU32(header, 8), size_t(getU32(header, 12)) * 1024, crypto_pwhash_ALG_ARGON2ID13)
        == 0;
    sodium_memzero(pass.data(), size_t(pass.size()));
    if (ok) {
        crypto_kdf_derive_from_key(keys.check, sizeof keys.check, 1, kSubkeyContext, master);
        crypto_kdf_derive_from_key(keys.stream, sizeof keys.stream, 2, kSubkeyContext, master);
    }
    sodium_memzero(master, sizeof master);
    return ok;
}

QByteArray headerCheck(const QByteArray &header, const Keys &keys)
{
    QByteArray out(kCheckBytes, '\0');
    crypto_generichash(reinterpret_cast<unsigned char *>(out.data()), kCheckBytes,
                       reinterpret_cast<const unsigned char *>(header.constData()), kCheckAt, keys.check,
                       sizeof keys.check);
    return out;
}

std::optional<QByteArray> seal(const QByteArray &plain, const QString &passphrase)
{
    if (sodium_init() < 0)
        return std::nullopt;
    QByteArray out(kHeaderBytes, '\0');
    std::copy(std::begin(kMagic), std::end(kMagic), out.begin());
    putU32(out, 8, kOpsLimit);
    putU32(out, 12, kMemLimitKiB);
    randombytes_buf(out.data() + kSaltAt, crypto_pwhash_SALTBYTES);
    Keys keys;
    if (!deriveKeys(passphrase, out, keys))
        return std::nullopt;
    const QByteArray check = headerCheck(out, keys);
    std::copy(check.begin(), check.end(), out.begin() + kCheckAt);
    crypto_secretstream_xchacha20poly1305_state st;
    crypto_secretstream_xchacha20poly1305_init_push(&st, reinterpret_cast<unsigned char *>(out.data() + kStreamAt),
                                                    keys.stream);
    // The header travels as additional data: the stream is bound to it.
    const QByteArray adBytes(out.constData(), kStreamAt);
    qsizetype at = 0;
    do {
        const qsizetype n = std::min<qsizetype>(kChunk, plain.size() - at);
        const bool last = at + n >= plain.size();
        const qsizetype start = out.size();
        out.resize(start + n + crypto_secretstream_xchacha20poly1305_ABYTES);
        const auto *ad = reinterpret_cast<const unsigned char *>(adBytes.constData());
        crypto_secretstream_xchacha20poly1305_push(
            &st, reinterpret_cast<unsigned char *>(out.data() + start), nullptr,
            reinterpret_cast<const unsigned char *>(plain.constData() + at), quint64(n), ad, kStreamAt,
            last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : 0);
        at += n;
    } while (at < plain.size());
    sodium_memzero(&st, sizeof st);
    return out;
}

enum class Unsealed { Ok, NotSealed, Unsupported, WrongPassphrase, Damaged };

Unsealed unseal(const QByteArray &sealed, const QString &passphrase, QByteArray &plain)
{
    if (sealed.size() < kHeaderBytes || !std::equal(std::begin(kMagic), std::end(kMagic), sealed.begin()))
        return Unsealed::NotSealed;
    const QByteArray header = sealed.left(kHeaderBytes);
    const quint32 ops = getU32(header, 8);
    const quint32 memKiB = getU32(header, 12);
    if (ops < crypto_pwhash_OPSLIMIT_MIN || ops > kMostOps || memKiB < 8 * 1024 || memKiB > kMostMemKiB)
        return Unsealed::Unsupported;
    if (sodium_init() < 0)
        return Unsealed::Unsupported;
    Keys keys;
    if (!deriveKeys(passphrase, header, keys))
        return Unsealed::Unsupported;
    if (sodium_memcmp(headerCheck(header, keys).constData(), header.constData() + kCheckAt, kCheckBytes) != 0)
        return Unsealed::WrongPassphrase;
    crypto_secretstream_xchacha20poly1305_state st;
    if (crypto_secretstream_xchacha20poly1305_init_pull(
            &st, reinterpret_cast<const unsigned char *>(header.constData() + kStreamAt), keys.stream)
        != 0)
        return Unsealed::Damaged;
    plain.clear();
    plain.reserve(sealed.size());
    qsizetype at = kHeaderBytes;
    bool final = false;
    while (!final && at < sealed.size()) {
        const qsizetype n = std::min<qsizetype>(kChunk + crypto_secretstream_xchacha20poly1305_ABYTES,
                                                sealed.size() - at);
        const qsizetype start = plain.size();
        plain.resize(start + n);
        unsigned long long got = 0;
        unsigned char tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(
                &st, reinterpret_cast<unsigned char *>(plain.data() + start), &got, &tag,
                reinterpret_cast<const unsigned char *>(sealed.constData() + at), quint64(n),
                reinterpret_cast<const unsigned char *>(header.constData()), kStreamAt)
            != 0) {
            sodium_memzero(plain.data(), size_t(plain.size()));
            plain.clear();
            return Unsealed::Damaged;
        }
        plain.resize(start + qsizetype(got));
        final = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
        at += n;
    }
    sodium_memzero(&st, sizeof st);
    // Cut short (no last chunk) or lengthened (bytes after it).
    if (!final || at != sealed.size()) {
        sodium_memzero(plain.data(), size_t(plain.size()));
        plain.clear();
        return Unsealed::Damaged;
    }
    return Unsealed::Ok;
}

// Whether `folder` is the program's data folder (where the results file or the template is).
bool isProgramFolder(const QString &folder, const Database &results, const QString &templateFile)
{
    const QDir d(folder);
    return isProgramFile(d.filePath(QString::fromLatin1(kExportFile)), results, templateFile)
        || isProgramFile(d.filePath(QString::fromLatin1(kSealedExportFile)), results, templateFile)
        || isProgramFile(d.filePath(QString::fromLatin1(kResultsFile)), results, templateFile)
        || (!results.onServer() && !results.path().isEmpty()
            && isProgramFile(d.absolutePath(), results, QFileInfo(results.path()).absolutePath()));
}

} // namespace

bool passphraseAcceptable(const QString &passphrase)
{
    return passphrase.toUcs4().size() >= kPassphraseMinLength;
}

ExchangeResult esportaSigillato(Database &results, const QString &table, const QString &folder,
                                const QString &passphrase, const QString &templateFile)
{
    const QDir d(folder);
    const QString sealedFile = d.filePath(QString::fromLatin1(kSealedExportFile));
    const QString plainFile = d.filePath(QString::fromLatin1(kExportFile));
    if (auto refused = unreachable(results, table, QStringLiteral("Non c'è nessuna classe da esportare.")))
        return *refused;
    if (isProgramFolder(folder, results, templateFile))
        return failed(programFileMessage(sealedFile, false));
    if (!passphraseAcceptable(passphrase))
        return failed(QStringLiteral("La parola d'ordine deve avere almeno %1 caratteri: non ho esportato nulla.")
                          .arg(kPassphraseMinLength));
    // The plain file is built in a private folder of this computer, never on the disk.
    QTemporaryDir work;
    if (!work.isValid())
        return failed(kProblema + QStringLiteral("Non riesco a preparare l'esportazione (%1): il disco è rimasto com'era.")
                                      .arg(work.errorString()));
    const QString temp = work.filePath(QString::fromLatin1(kExportFile));
    ExchangeResult r = exportTo(results, table, temp, templateFile, sealedFile);
    if (!r.ok || r.written == 0)
        return r;
    QByteArray plain;
    {
        QFile f(temp);
        if (f.open(QIODevice::ReadOnly))
            plain = f.readAll();
    }
    Database::removeFiles(temp);
    if (plain.isEmpty())
        return failed(kProblema + QStringLiteral("Non riesco a rileggere l'esportazione preparata: il disco è rimasto com'era."));
    const auto sealed = seal(plain, passphrase);
    sodium_memzero(plain.data(), size_t(plain.size()));
    if (!sealed)
        return failed(kProblema + QStringLiteral("Non riesco a cifrare l'esportazione (memoria insufficiente?): "
                                                 "il disco è rimasto com'era."));
    const bool hadSealed = QFileInfo::exists(sealedFile);
    if (const QString problem = sqlitefile::writeWhole(sealedFile, *sealed); !problem.isEmpty())
        return failed(kFloppy + QStringLiteral("L'esportazione non è riuscita e il disco è rimasto com'era.\n"
                                               "Controlla che il disco sia inserito, non protetto dalla scrittura e con "
                                               "spazio libero, poi riprova.\n(%1)")
                                    .arg(problem));
    r.replaced = 0;
    r.message = QStringLiteral("Esportazione finita: %1, cifrati con la parola d'ordine, nel file \"%2\".\n"
                               "Per importarli servirà la stessa parola d'ordine.")
                    .arg(counted(r.written, "risultato esportato", "risultati esportati"), native(sealedFile));
    if (hadSealed)
        r.message += QStringLiteral("\nL'esportazione cifrata che era già sul disco è stata sostituita da questa.");
    // An earlier plain export is not left readable beside the sealed one.
    if (QFileInfo::exists(plainFile)) {
        Database::removeFiles(plainFile);
        r.message += QFileInfo::exists(plainFile)
            ? QStringLiteral("\nSul disco c'è ancora il file non cifrato \"%1\" di un'esportazione precedente, che non "
                             "sono riuscito a cancellare: cancellalo tu.")
                  .arg(native(plainFile))
            : QStringLiteral("\nIl file non cifrato di un'esportazione precedente (\"%1\") è stato cancellato dal disco.")
                  .arg(QString::fromLatin1(kExportFile));
    }
    return r;
}

ExchangeResult esportaInChiaro(Database &results, const QString &table, const QString &folder,
                               const QString &templateFile)
{
    const QDir d(folder);
    ExchangeResult r = esportaClasse(results, table, d.filePath(QString::fromLatin1(kExportFile)), templateFile);
    if (!r.ok || r.written == 0)
        return r;
    r.message += QStringLiteral("\nAttenzione: il file non è cifrato e chiunque trovi il disco può leggerlo. "
                                "Cancellalo dal disco appena l'hai importato.");
    const QString sealedFile = d.filePath(QString::fromLatin1(kSealedExportFile));
    if (QFileInfo::exists(sealedFile)) {
        QFile::remove(sealedFile);
        r.message += QFileInfo::exists(sealedFile)
            ? QStringLiteral("\nNon sono riuscito a cancellare l'esportazione cifrata che era già sul disco (\"%1\").")
                  .arg(QString::fromLatin1(kSealedExportFile))
            : QStringLiteral("\nL'esportazione cifrata che era già sul disco (\"%1\") è stata cancellata.")
                  .arg(QString::fromLatin1(kSealedExportFile));
    }
    return r;
}

DiskInFolder diskInFolder(const QString &folder)
{
    const QDir d(folder);
    const QFileInfo sealed(d.filePath(QString::fromLatin1(kSealedExportFile)));
    const QFileInfo plain(d.filePath(QString::fromLatin1(kExportFile)));
    DiskInFolder out;
    if (sealed.exists() && plain.exists()) {
        // An older version wrote its plain file beside a sealed one, or the other way round.
        const bool sealedNewer = sealed.lastModified() >= plain.lastModified();
        out.file = (sealedNewer ? sealed : plain).absoluteFilePath();
        out.sealed = sealedNewer;
        out.older = (sealedNewer ? plain : sealed).absoluteFilePath();
    } else {
        out.sealed = sealed.exists();
        out.file = (out.sealed ? sealed : plain).absoluteFilePath();
    }
    return out;
}

ExchangeResult importaSigillato(Database &results, const QString &table, const QString &sealedFile,
                                const QString &passphrase, const QString &templateFile, const IntoYear &into)
{
    if (auto refused = unreachable(results, table, QStringLiteral("Non c'è nessuna classe in cui importare.")))
        return *refused;
    if (isProgramFile(sealedFile, results, templateFile))
        return failed(programFileMessage(sealedFile, true));
    const QFileInfo fi(sealedFile);
    if (!fi.isFile())
        return failed(QStringLiteral("Nella cartella scelta non c'è il file \"%1\": non ho importato nulla.")
                          .arg(fi.fileName()));
    const QString untouched = QStringLiteral("non ho importato nulla e la classe è rimasta com'era.");
    // Bigger than any class's export: refused before reading it.
    if (fi.size() > kSealedMaxBytes)
        return failed(QStringLiteral("Il file \"%1\" è troppo grande per essere l'esportazione di una classe: %2")
                          .arg(native(sealedFile), untouched));
    QByteArray sealed;
    {
        QFile f(sealedFile);
        if (!f.open(QIODevice::ReadOnly))
            return failed(QStringLiteral("Non riesco a leggere il file \"%1\" (%2): %3")
                              .arg(native(sealedFile), f.errorString(), untouched));
        sealed = f.read(kSealedMaxBytes + 1);
    }
    QByteArray plain;
    switch (unseal(sealed, passphrase, plain)) {
    case Unsealed::Ok:
        break;
    case Unsealed::NotSealed:
        return failed(QStringLiteral("Il file \"%1\" non è un'esportazione cifrata: %2").arg(native(sealedFile), untouched));
    case Unsealed::Unsupported:
        return failed(QStringLiteral("Il file \"%1\" è stato scritto da una versione più recente del programma, o è "
                                     "danneggiato: %2")
                          .arg(native(sealedFile), untouched));
    case Unsealed::WrongPassphrase:
        return failed(QStringLiteral("La parola d'ordine non è quella con cui è stata esportata la classe: %1\n"
                                     "Riprova con IMPORTO e scrivila di nuovo, facendo attenzione alle maiuscole.")
                          .arg(untouched));
    case Unsealed::Damaged:
        return failed(QStringLiteral("Il file \"%1\" è stato modificato o è danneggiato: %2\n"
                                     "Fai esportare di nuovo la classe sul disco.")
                          .arg(native(sealedFile), untouched));
    }
    // The plain file lives in a private folder of this computer only while it is read.
    QTemporaryDir work;
    const QString temp = work.filePath(QString::fromLatin1(kExportFile));
    const QString problem = work.isValid() ? sqlitefile::writeWhole(temp, plain) : work.errorString();
    sodium_memzero(plain.data(), size_t(plain.size()));
    if (!problem.isEmpty())
        return failed(QStringLiteral("Non riesco a preparare l'importazione (%1): %2").arg(problem, untouched));
    ExchangeResult r = importPlain(results, table, temp, sealedFile, into);
    Database::removeFiles(temp);
    return r;
}

} // namespace qv
