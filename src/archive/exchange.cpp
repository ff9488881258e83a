#include "archive/exchange.h"

#include "archive/strumenti.h"
#include "battery/items.h"
#include "storage/classmap.h"
#include "storage/pupilrecord.h"
#include "storage/schema.h"
#include "storage/wording.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
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

QString columnList()
{
    return transferredFields().join(QStringLiteral(", "));
}

QString marks()
{
    QStringList m;
    for (int i = 0; i < transferredFields().size(); ++i)
        m << QStringLiteral("?");
    return m.join(QStringLiteral(", "));
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
std::optional<Row> checkedRow(const QSqlQuery &q, const QList<int> &pos)
{
    Row row;
    const QStringList &fields = transferredFields();
    for (int i = 0; i < fields.size(); ++i) {
        if (pos[i] < 0)
            return std::nullopt; // the disk table lacks this field
        const QVariant v = q.value(pos[i]);
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
const QString kAnswerColumns = QStringLiteral("prova, numero, risposta, giusta, quando");

// The answers of the records of a class (rows of pupils no longer in it are left out),
// keyed by the record's data.
bool readAnswers(Database &results, const QString &table, QHash<QString, QList<AnswerRow>> &out, QString *error)
{
    if (!results.hasTable(QStringLiteral("risposte")))
        return true;
    QSqlQuery q(results.sql());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT data, %1 FROM risposte WHERE classe = ? AND data IN (SELECT data FROM \"%2\") "
                             "ORDER BY data, prova, numero")
                  .arg(kAnswerColumns, table));
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
    QSqlQuery q(results.sql());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(columnList(), table))) {
        *error = q.lastError().text();
        return false;
    }
    const int n = int(transferredFields().size());
    while (q.next()) {
        Row r;
        for (int i = 0; i < n; ++i)
            r << q.value(i);
        rows << r;
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

ExchangeResult esportaClasse(Database &results, const QString &table, const QString &diskFile,
                             const QString &templateFile)
{
    if (!isClassTable(table) || !results.isOpen())
        return failed(QStringLiteral("Non c'è nessuna classe da esportare."));
    if (isProgramFile(diskFile, results, templateFile))
        return failed(programFileMessage(diskFile, false));
    QList<Row> rows;
    QString e;
    QHash<QString, QList<AnswerRow>> answers;
    const QHash<QString, PupilTools> tools = classTools(results, table);
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
        QSqlQuery del(disk.sql());
        QSqlQuery ins(disk.sql());
        QSqlQuery delAnswers(disk.sql());
        QSqlQuery insAnswer(disk.sql());
        QSqlQuery delTools(disk.sql());
        QSqlQuery insTools(disk.sql());
        if (problem.isEmpty()
            && (!delTools.prepare(QStringLiteral("DELETE FROM strumenti WHERE data = ?"))
                || !insTools.prepare(QStringLiteral("INSERT INTO strumenti (data, %1) VALUES (?, ?, ?, ?, ?, ?)")
                                         .arg(QLatin1String(kToolColumns)))))
            problem = delTools.lastError().text() + insTools.lastError().text();
        if (problem.isEmpty()
            && (!del.prepare(QStringLiteral("DELETE FROM prima WHERE nome IS ? AND data IS ?"))
                || !ins.prepare(QStringLiteral("INSERT INTO prima (%1) VALUES (%2)").arg(columnList(), marks()))
                || !delAnswers.prepare(QStringLiteral("DELETE FROM risposte WHERE data = ?"))
                || !insAnswer.prepare(QStringLiteral("INSERT INTO risposte (data, %1) VALUES (?, ?, ?, ?, ?, ?)").arg(kAnswerColumns))))
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
        auto disk = Database::open(diskFile, &e, Database::Journal::Rollback);
        if (!disk || !checkExportSchema(*disk, &e))
            return failed(kProblema + QStringLiteral("Il file \"%1\" non è un archivio di esportazione: non l'ho cambiato.\n%2")
                              .arg(native(diskFile), e));
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
                    .arg(counted(r.written, "risultato esportato", "risultati esportati"), native(diskFile));
    if (r.replaced > 0)
        r.message += r.replaced == 1
            ? QStringLiteral("\nLa copia di un'esportazione precedente (1) è stata sostituita, così nessun risultato è "
                             "doppio.")
            : QStringLiteral("\nLe copie di un'esportazione precedente (%1) sono state sostituite, così nessun "
                             "risultato è doppio.")
                  .arg(r.replaced);
    return r;
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
    enum class Kind { Table, Damaged, Answers, Tools } kind;
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
    if (!t.exec(QStringLiteral("SELECT data, %1 FROM strumenti").arg(QLatin1String(kToolColumns))))
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
        return ReadFailure{ReadFailure::Kind::Damaged, t.lastError().text()};
    return std::nullopt;
}

// Reads `sourceTable` of `source` (a disk's "prima", or a class table of another results
// database) and the answers of its rows: the disk's "risposte", or, with `answerClass`, the
// rows of that class in a results database's "risposte".
std::optional<ReadFailure> readIncoming(Database &source, const QString &sourceTable, const QString &answerClass,
                                        Incoming &in)
{
    QSqlQuery q(source.sql());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(sourceTable)))
        return ReadFailure{ReadFailure::Kind::Table, q.lastError().text()};
    // Fields by name, whatever their order on the disk.
    QStringList names;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        names << rec.fieldName(i).toLower();
    QList<int> pos;
    for (const QString &f : transferredFields())
        pos << int(names.indexOf(f));
    while (q.next()) {
        if (auto row = checkedRow(q, pos))
            in.rows << *row;
        else
            ++in.unreadable;
    }
    // A damaged file ends the reading early: the rows after the damage are not lost
    // silently, nothing of the file is taken.
    if (q.lastError().isValid())
        return ReadFailure{ReadFailure::Kind::Damaged, q.lastError().text()};
    q.finish();
    if (const auto f = readIncomingTools(source, answerClass, in))
        return f;
    // The answers, when the source has them (an older version's disk has none).
    if (!source.hasTable(QStringLiteral("risposte")))
        return std::nullopt;
    QSqlQuery a(source.sql());
    a.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT data, %1 FROM risposte").arg(kAnswerColumns);
    bool read = false;
    if (answerClass.isEmpty()) {
        read = a.exec(sql);
    } else if (a.prepare(sql + QStringLiteral(" WHERE classe = ?"))) {
        a.addBindValue(answerClass);
        read = a.exec();
    }
    if (!read)
        return ReadFailure{ReadFailure::Kind::Answers, a.lastError().text()};
    while (a.next())
        if (auto row = checkedAnswer(a))
            in.answers[row->at(0).toString()] << *row;
    if (a.lastError().isValid())
        return ReadFailure{ReadFailure::Kind::Damaged, a.lastError().text()};
    return std::nullopt;
}

// Writes the incoming records into `table` of `results`, inside the caller's transaction:
// a row whose data value the class holds is a copy of that record, taken in place of it
// when it has got further, left otherwise. Counts into `r`; the failure's text, or empty.
QString mergeIncoming(Database &results, const QString &table, const Incoming &in, ExchangeResult &r)
{
    QString problem;
    const bool log = results.hasTable(QStringLiteral("risposte"));
    QSqlQuery has(results.sql());
    QSqlQuery ins(results.sql());
    QSqlQuery upd(results.sql());
    QSqlQuery delAnswers(results.sql());
    QSqlQuery insAnswer(results.sql());
    if (log
        && (!delAnswers.prepare(QStringLiteral("DELETE FROM risposte WHERE classe = ? AND data = ?"))
            || !insAnswer.prepare(QStringLiteral("INSERT INTO risposte (classe, data, %1) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT "
                                                 "(classe, data, prova, numero) DO UPDATE SET risposta = "
                                                 "excluded.risposta, giusta = excluded.giusta, quando = excluded.quando")
                                      .arg(kAnswerColumns))))
        problem = delAnswers.lastError().text() + insAnswer.lastError().text();
    QStringList sets;
    for (const QString &f : transferredFields())
        sets << f + QStringLiteral(" = ?");
    if (!has.prepare(QStringLiteral("SELECT rowid, %1 FROM \"%2\" WHERE data = ?").arg(columnList(), table))
        || !ins.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(table, columnList(), marks()))
        || !upd.prepare(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?").arg(table, sets.join(QStringLiteral(", ")))))
        problem = has.lastError().text() + ins.lastError().text() + upd.lastError().text();
    for (const Row &row : in.rows) {
        if (!problem.isEmpty())
            break;
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
    has.finish();
    ins.finish();
    upd.finish();
    delAnswers.finish();
    insAnswer.finish();
    return problem;
}

} // namespace

ExchangeResult importaClasse(Database &results, const QString &table, const QString &diskFile,
                             const QString &templateFile)
{
    if (!isClassTable(table) || !results.isOpen())
        return failed(QStringLiteral("Non c'è nessuna classe in cui importare."));
    if (isProgramFile(diskFile, results, templateFile))
        return failed(programFileMessage(diskFile, true));
    if (!QFileInfo::exists(diskFile))
        return failed(QStringLiteral("Nella cartella scelta non c'è il file \"%1\": non ho importato nulla.")
                          .arg(QFileInfo(diskFile).fileName()));

    Incoming in;
    QString e;
    {
        auto disk = Database::open(diskFile, &e, Database::Journal::Rollback);
        if (!disk)
            return failed(QStringLiteral("Il file \"%1\" non è un archivio di esportazione: non ho importato nulla.\n%2")
                              .arg(native(diskFile), e));
        if (!disk->hasTable(QStringLiteral("prima")))
            return failed(QStringLiteral("Il file \"%1\" non contiene la tabella \"prima\": non ho importato nulla.")
                              .arg(native(diskFile)));
        if (const auto f = readIncoming(*disk, QStringLiteral("prima"), QString(), in)) {
            switch (f->kind) {
            case ReadFailure::Kind::Table:
                return failed(QStringLiteral("Non riesco a leggere il file \"%1\": non ho importato nulla.\n%2")
                                  .arg(native(diskFile), f->text));
            case ReadFailure::Kind::Answers:
                return failed(QStringLiteral("Non riesco a leggere le risposte nel file \"%1\": non ho importato nulla.\n%2")
                                  .arg(native(diskFile), f->text));
            case ReadFailure::Kind::Tools:
                return failed(QStringLiteral("Non riesco a leggere gli strumenti compensativi nel file \"%1\": non ho importato nulla.\n%2")
                                  .arg(native(diskFile), f->text));
            case ReadFailure::Kind::Damaged:
                return failed(QStringLiteral("Il file \"%1\" è danneggiato e non si può leggere tutto: non ho importato nulla.\n%2")
                                  .arg(native(diskFile), f->text));
            }
        }
    }

    ExchangeResult r;
    r.unreadable = in.unreadable;
    QString problem;
    if (!results.begin()) {
        problem = results.lastError();
    } else {
        problem = mergeIncoming(results, table, in, r);
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
    if (r.unreadable > 0)
        r.message += QStringLiteral("; ") + counted(r.unreadable, "illeggibile, saltato", "illeggibili, saltati");
    r.message += QLatin1Char('.');
    return r;
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

} // namespace qv
