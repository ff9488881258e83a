// Seeded, time-bounded fuzzing of the disk file an import reads (and an export writes):
// valid export files with flipped or cut bytes, and with rows of random values, types,
// NULLs, huge strings, out-of-range numbers and doubled data values. Whatever the file,
// the import ends in an orderly message or counts what it skipped; the class table never
// receives a record out of range or one that is not on the disk; the file stays sound.
//
// QUORVANE_FUZZ_SECONDS (default 10) sets the time; QUORVANE_FUZZ_SEED replays a run.
#include "archive/archivio.h"
#include "archive/exchange.h"
#include "storage/database.h"
#include "storage/pupilrecord.h"
#include "storage/recordset.h"
#include "support/computer.h"
#include "support/fakes.h"
#include "support/fuzzsettings.h"
#include "support/tabledump.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <limits>

using namespace qv;
using qv::test::fuzzSeconds;
using qv::test::fuzzSeed;

namespace {

using Row = QVariantList; // transferred fields in order

QString quotedList(const QStringList &names)
{
    QStringList q;
    for (const QString &n : names)
        q << '"' + n + '"';
    return q.join(", ");
}

bool isText(const QString &field)
{
    return field == QLatin1String("nome") || field == QLatin1String("data");
}

// Rows of the class table, transferred fields, in rowid order.
QList<Row> classRows(Database &db)
{
    QList<Row> out;
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.exec("SELECT " + quotedList(transferredFields()) + " FROM \"prima-C\" ORDER BY rowid");
    while (q.next()) {
        Row r;
        for (int i = 0; i < transferredFields().size(); ++i)
            r << q.value(i);
        out << r;
    }
    return out;
}

struct DiskRead {
    bool complete = false; // every row read without an error
    QList<Row> rows;       // rows that carry every transferred field
    int total = 0;         // all rows read
};

// The disk table read independently of the import, fields by name in any case.
DiskRead readDisk(const QString &file)
{
    DiskRead d;
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    if (!db)
        return d;
    QSqlQuery q(db->sql());
    q.setForwardOnly(true);
    if (!q.exec("SELECT * FROM prima ORDER BY rowid"))
        return d;
    QStringList names;
    for (int i = 0; i < q.record().count(); ++i)
        names << q.record().fieldName(i).toLower();
    QList<int> pos;
    for (const QString &f : transferredFields())
        pos << int(names.indexOf(f));
    while (q.next()) {
        ++d.total;
        if (pos.contains(-1))
            continue;
        Row r;
        for (int p : pos)
            r << q.value(p);
        d.rows << r;
    }
    d.complete = !q.lastError().isValid();
    return d;
}

// Whether a stored class value can have come from a disk value: the same text, or the
// same whole number written as a number or as text.
bool derives(const QString &field, const QVariant &stored, const QVariant &disk)
{
    if (stored.isNull() || disk.isNull())
        return stored.isNull() && disk.isNull();
    if (isText(field))
        return stored.toString() == disk.toString();
    const qlonglong n = stored.toLongLong();
    bool ok = false;
    if (disk.typeId() == QMetaType::QString)
        return disk.toString().trimmed().toLongLong(&ok) == n && ok;
    if (disk.typeId() == QMetaType::Double)
        return disk.toDouble() == double(n);
    if (disk.typeId() == QMetaType::QByteArray)
        return false;
    return disk.toLongLong(&ok) == n && ok;
}

bool derivesFromSome(const Row &stored, const QList<Row> &disk)
{
    for (const Row &d : disk) {
        bool all = true;
        for (int i = 0; i < stored.size() && all; ++i)
            all = derives(transferredFields().at(i), stored[i], d[i]);
        if (all)
            return true;
    }
    return false;
}

// Rows of the class table that break what a class table may hold.
int outOfRange(Database &db)
{
    QStringList bad = {QStringLiteral("nome IS NULL OR typeof(nome) <> 'text' OR length(nome) > %1").arg(kNameMaxLength),
                       QStringLiteral("data IS NULL OR typeof(data) <> 'text'")};
    for (const QString &f : transferredFields())
        if (!isText(f))
            bad << QStringLiteral("NOT (%1 IS NULL OR (typeof(%1) = 'integer' AND %1 BETWEEN -32768 AND 32767))").arg(f);
    QSqlQuery q(db.sql());
    if (!q.exec("SELECT count(*) FROM \"prima-C\" WHERE (" + bad.join(") OR (") + ")") || !q.next())
        return -1;
    return q.value(0).toInt();
}

int doubledData(Database &db)
{
    QSqlQuery q(db.sql());
    if (!q.exec("SELECT count(*) - count(DISTINCT data) FROM \"prima-C\"") || !q.next())
        return -1;
    return q.value(0).toInt();
}

class Mutator {
public:
    explicit Mutator(quint64 seed) : rng_(seed) {}

    int below(int n) { return n <= 0 ? 0 : int(rng_.bounded(quint32(n))); }
    bool chance(int percent) { return below(100) < percent; }

    QString randomText(int maxLen)
    {
        static const char32_t pool[] = {
            U'A', U'z', U'0', U'9', U' ', U'\'', U'"', U';', U'%', U'_', U'\\', U'\t', U'\n', U'\0',
            U'à', U'È', U'ß', U'\u00a0', U'\u0301', U'\u200b', U'\ufeff', U'\uffff', U'\U0001F600', U'\U00020000'};
        QString s;
        const int n = below(maxLen + 1);
        for (int i = 0; i < n; ++i) {
            const char32_t c = pool[below(int(std::size(pool)))];
            s += QString::fromUcs4(&c, 1);
        }
        return s;
    }

    QVariant randomValue(const QStringList &existingData)
    {
        switch (below(16)) {
        case 0: return QVariant(QMetaType::fromType<QString>()); // NULL
        case 1: return below(200) - 100;
        case 2: return QVariant(qlonglong(32767 + 1 + below(5)));
        case 3: return QVariant(qlonglong(-32768 - 1 - below(5)));
        case 4: return QVariant(chance(50) ? std::numeric_limits<qlonglong>::max() : std::numeric_limits<qlonglong>::min());
        case 5: {
            const double d[] = {1.0, 2.5, -0.0, 1e300, -1e300, 32767.0, 32768.0, std::numeric_limits<double>::infinity()};
            return d[below(int(std::size(d)))];
        }
        case 6: {
            const char *t[] = {"12", " 7 ", "abc", "", "   ", "0x10", "1e3", "-32768", "99999999999999999999", "5.0"};
            return QString::fromLatin1(t[below(int(std::size(t)))]);
        }
        case 7: return QString(chance(80) ? 50 + below(3) - 1 : 1000 + below(200000), QChar(u'N'));
        case 8: {
            QByteArray b(below(64), '\0');
            for (char &c : b)
                c = char(below(256));
            return b;
        }
        case 9:
            if (!existingData.isEmpty())
                return existingData.at(below(int(existingData.size())));
            return QStringLiteral("d");
        case 10: {
            // A name of emoji: up to 50 characters are 100 UTF-16 units.
            const char32_t e = U'\U0001F600';
            QString s;
            for (int i = 0, n = 45 + below(10); i < n; ++i)
                s += QString::fromUcs4(&e, 1);
            return s;
        }
        default: return randomText(60);
        }
    }

    quint32 raw() { return rng_.generate(); }

private:
    QRandomGenerator64 rng_;
};

bool run(Database &db, const QString &sql)
{
    QSqlQuery q(db.sql());
    return q.exec(sql);
}

// Rows of random values and a table of random shape: the disk as another program may leave it.
void mutateRows(const QString &file, Mutator &m, const QStringList &classData)
{
    QString e;
    auto db = Database::create(file, &e, Database::Journal::Rollback);
    if (!db)
        return;
    db->begin();
    QStringList diskData;
    {
        QSqlQuery q(db->sql());
        q.exec("SELECT data FROM prima");
        while (q.next())
            diskData << q.value(0).toString();
    }
    QStringList pool = diskData + classData;
    // A table without the type checks, its columns perhaps renamed in case, reordered,
    // one missing, one extra.
    QStringList cols = transferredFields();
    if (m.chance(20))
        std::swap(cols[m.below(int(cols.size()))], cols[m.below(int(cols.size()))]);
    QStringList declared = cols;
    if (m.chance(10))
        declared[m.below(int(declared.size()))] = declared[0].toUpper(); // a doubled name: CREATE fails, harmless
    if (m.chance(15))
        declared[m.below(int(declared.size()))] += QStringLiteral("_x");
    if (m.chance(15))
        declared << QStringLiteral("extra");
    for (int i = 0; i < declared.size(); ++i)
        if (m.chance(30))
            declared[i] = declared[i].toUpper();
    const QString types[] = {QString(), QStringLiteral(" TEXT"), QStringLiteral(" INTEGER"), QStringLiteral(" REAL"), QStringLiteral(" BLOB")};
    QStringList defs;
    for (const QString &c : declared)
        defs << '"' + c + '"' + types[m.below(5)];
    if (run(*db, "CREATE TABLE p2 (" + defs.join(", ") + ")")) {
        QStringList src, dst;
        for (int i = 0; i < cols.size() && i < declared.size(); ++i) {
            src << '"' + cols[i] + '"';
            dst << '"' + declared[i] + '"';
        }
        run(*db, "INSERT INTO p2 (" + dst.join(", ") + ") SELECT " + src.join(", ") + " FROM prima");
        run(*db, "DROP TABLE prima");
        run(*db, "ALTER TABLE p2 RENAME TO prima");
    }
    QStringList names;
    {
        QSqlQuery q(db->sql());
        q.exec("PRAGMA table_info(prima)");
        while (q.next())
            names << q.value(1).toString();
    }
    if (names.isEmpty()) {
        db->commit();
        return;
    }
    for (int k = 0, n = 1 + m.below(12); k < n; ++k) {
        QSqlQuery q(db->sql());
        const QString col = '"' + names.at(m.below(int(names.size()))) + '"';
        switch (m.below(6)) {
        case 0:
        case 1:
            q.prepare("UPDATE prima SET " + col + " = ? WHERE rowid IN (SELECT rowid FROM prima ORDER BY random() LIMIT 1)");
            q.addBindValue(m.randomValue(pool));
            q.exec();
            break;
        case 2: {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << "?";
            q.prepare("INSERT INTO prima (" + quotedList(names) + ") VALUES (" + marks.join(", ") + ")");
            for (int i = 0; i < names.size(); ++i)
                q.addBindValue(m.chance(60) && names[i].compare("data", Qt::CaseInsensitive) != 0 ? QVariant(m.below(30))
                                                                                                 : m.randomValue(pool));
            q.exec();
            break;
        }
        case 3: // a row doubled whole, so its data value comes twice
            q.exec("INSERT INTO prima SELECT * FROM prima ORDER BY random() LIMIT 1");
            break;
        case 4:
            q.exec("DELETE FROM prima WHERE rowid IN (SELECT rowid FROM prima ORDER BY random() LIMIT 1)");
            break;
        default:
            q.prepare("UPDATE prima SET data = ? WHERE rowid IN (SELECT rowid FROM prima ORDER BY random() LIMIT 1)");
            q.addBindValue(pool.isEmpty() ? QVariant() : QVariant(pool.at(m.below(int(pool.size())))));
            q.exec();
            break;
        }
    }
    db->commit();
}

// Flipped, cut, zeroed or added bytes.
void mutateBytes(QByteArray &b, Mutator &m)
{
    if (b.isEmpty())
        return;
    switch (m.below(5)) {
    case 0:
        b.truncate(m.below(int(b.size())));
        break;
    case 1: { // a page zeroed
        const int page = 4096 * m.below(int(b.size() / 4096) + 1);
        for (int i = page; i < page + 4096 && i < b.size(); ++i)
            b[i] = 0;
        break;
    }
    case 2:
        b.append(QByteArray(1 + m.below(5000), char(m.below(256))));
        break;
    default:
        for (int k = 0, n = 1 + m.below(24); k < n; ++k) {
            // Half of the flips in the header and the first page's cell pointers.
            const int at = m.chance(50) ? m.below(qMin(int(b.size()), 200)) : m.below(int(b.size()));
            b[at] = char(b[at] ^ (1 << m.below(8)));
        }
    }
}

void writeFile(const QString &path, const QByteArray &b)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(b);
}

using test::Computer;

} // namespace

class TstFuzzExchange : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    QString base() const { return work.filePath("base/expquorvane.mdb"); }

    // How the rounds ended, to show that the fuzzing reaches every outcome.
    QMap<QString, int> outcomes;

    void oneImport(Computer &dst, quint64 seed, const QByteArray &baseBytes, int baseline)
    {
        Mutator m(seed);
        const QString dir = work.filePath("disk");
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        const QString file = dir + "/expquorvane.mdb";
        writeFile(file, baseBytes);
        QStringList classData;
        for (const Row &r : classRows(dst.db()))
            classData << r[1].toString();
        const int mode = m.below(3); // rows, bytes, both
        if (mode != 1)
            mutateRows(file, m, classData);
        if (mode != 0) {
            QByteArray b = test::fileBytes(file);
            mutateBytes(b, m);
            writeFile(file, b);
        }

        const DiskRead disk = readDisk(file);
        const QList<Row> before = classRows(dst.db());
        ExchangeResult r;
        const bool viaArchive = m.chance(30);
        if (viaArchive) {
            // The archive button: its message, and the class reloaded after a success.
            dst.env.dialogs.folder = dir;
            dst.archivio.importo();
            r.message = dst.env.dialogs.alerts.last();
            r.ok = r.message.startsWith("Importazione finita:");
            r.added = int(classRows(dst.db()).size() - before.size());
            QCOMPARE(dst.archivio.numalunni(), int(classRows(dst.db()).size()));
        } else {
            r = importaClasse(dst.db(), "prima-C", file);
        }
        const QList<Row> after = classRows(dst.db());
        QVERIFY(!r.message.isEmpty());
        if (r.ok) {
            QCOMPARE(after.size(), before.size() + r.added);
            // A success means the whole table was read, and every row of the disk was
            // added, taken as a newer copy, found present, or counted as skipped.
            QVERIFY2(disk.complete, "success reported for a file whose rows could not all be read");
            if (!viaArchive)
                QCOMPARE(r.added + r.updated + r.present + r.unreadable, disk.total);
        } else {
            QVERIFY2(r.message.contains("non ho importato nulla") || r.message.startsWith("L'importazione non è riuscita"),
                     qPrintable(r.message));
            QCOMPARE(after, before);
        }
        outcomes[!r.ok ? "refused" : r.added > 0 ? "rows added" : "nothing added"]++;
        if (r.unreadable > 0)
            outcomes["rows skipped"]++;
        if (r.present > 0)
            outcomes["rows present"]++;
        // A record the class held changes only into a disk copy of itself (same data).
        int changed = 0;
        for (qsizetype i = 0; i < before.size(); ++i) {
            if (after[i] == before[i])
                continue;
            ++changed;
            QCOMPARE(after[i][1], before[i][1]);
            QVERIFY2(derivesFromSome(after[i], disk.rows), qPrintable(after[i][0].toString()));
        }
        // (A disk may hold two copies of one record: both can be taken in turn.)
        if (r.ok && !viaArchive)
            QVERIFY(changed <= r.updated);
        if (changed > 0)
            outcomes["rows updated"]++;
        for (qsizetype i = before.size(); i < after.size(); ++i)
            QVERIFY2(derivesFromSome(after[i], disk.rows), qPrintable(after[i][0].toString()));
        QCOMPARE(outOfRange(dst.db()), 0);
        QCOMPARE(doubledData(dst.db()), 0);
        QCOMPARE(test::integrityCheck(dst.db().sql()), QString("ok"));

        // An export onto the damaged disk either works or leaves it as it was.
        if (m.chance(25)) {
            const QByteArray diskBefore = test::fileBytes(file);
            const ExchangeResult x = esportaClasse(dst.db(), "prima-C", file, dst.env.folder.file("expquorvane.mdb"));
            if (x.ok)
                QVERIFY2(x.message.startsWith("Esportazione finita"), qPrintable(x.message));
            else
                QCOMPARE(test::fileBytes(file), diskBefore);
        }

        // Back to the class as it was, for the next round.
        QSqlQuery q(dst.db().sql());
        QVERIFY(q.exec(QStringLiteral("DELETE FROM \"prima-C\" WHERE rowid > %1").arg(baseline)));
        QStringList sets;
        for (const QString &f : transferredFields())
            sets << '"' + f + "\" = ?";
        QVERIFY(q.prepare("UPDATE \"prima-C\" SET " + sets.join(", ") + " WHERE rowid = ?"));
        for (qsizetype i = 0; i < before.size() && i < baseline; ++i) {
            for (int k = 0; k < before[i].size(); ++k)
                q.bindValue(k, before[i][k]);
            q.bindValue(int(before[i].size()), i + 1);
            QVERIFY(q.exec());
        }
        q.finish();
        dst.archivio.scegliclasse();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(work.isValid());
        QDir().mkpath(work.filePath("base"));
        // Stores without waiting for the disk: the fuzzing is about content, not durability.
        Database::setOpenTweaker([](const QString &) {
            Database::OpenTweak t;
            t.statements << "PRAGMA synchronous = OFF";
            return t;
        });
    }
    void cleanupTestCase() { Database::setOpenTweaker({}); }

    void fuzzedDiskFilesImportInOrder()
    {
        Computer src;
        for (int i = 0; i < 14; ++i)
            QVERIFY(!src.add(QStringLiteral("ALUNNO %1").arg(i), {{"arrivo", 1 + i % 10}, {"sub", 1 + i % 20},
                                                                  {"fatti1", i % 8}, {"elempol", 40 - i},
                                                                  {"temlettura", 3 * i}})
                         .isEmpty());
        QVERIFY(!src.add(QString::fromUtf8("NICOLÒ D'ACQUA \"ZOË\""), {{"arrivo", 10}, {"sub", 20}}).isEmpty());
        const ExchangeResult x = esportaClasse(src.db(), "prima-C", base(), src.env.folder.file("expquorvane.mdb"));
        QVERIFY2(x.ok, qPrintable(x.message));
        const QByteArray baseBytes = test::fileBytes(base());

        // The gathering computer holds rows of its own and three of the disk already.
        Computer dst;
        for (int i = 0; i < 5; ++i)
            QVERIFY(!dst.add(QStringLiteral("PROPRIO %1").arg(i), {{"arrivo", 3}, {"sub", 1}}).isEmpty());
        QVERIFY(importaClasse(dst.db(), "prima-C", base()).ok);
        QVERIFY(run(dst.db(), "DELETE FROM \"prima-C\" WHERE rowid > 8"));
        const int baseline = 8;
        QCOMPARE(classRows(dst.db()).size(), baseline);
        dst.archivio.chooseClass(2);

        const quint64 seed = fuzzSeed();
        const int seconds = fuzzSeconds();
        qInfo("fuzzing disk files for %d s from seed %llu (QUORVANE_FUZZ_SEED to replay)", seconds,
              static_cast<unsigned long long>(seed));
        QElapsedTimer t;
        t.start();
        int rounds = 0;
        for (quint64 s = seed; t.elapsed() < seconds * 1000; ++s, ++rounds) {
            oneImport(dst, s, baseBytes, baseline);
            if (QTest::currentTestFailed()) {
                qWarning("failed in round %d: replay with QUORVANE_FUZZ_SEED=%llu", rounds, static_cast<unsigned long long>(s));
                return;
            }
        }
        QStringList seen;
        for (auto it = outcomes.begin(); it != outcomes.end(); ++it)
            seen << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        qInfo("%d rounds: %s", rounds, qPrintable(seen.join(", ")));
        QVERIFY(rounds > 0);
    }

    // A name of fifty characters outside the basic plane is a hundred UTF-16 units: the
    // name entry stores it, so export and import carry it too.
    void longNamesOutsideTheBasicPlaneTravel()
    {
        Computer src, dst;
        const char32_t e = U'\U0001F600';
        QString name;
        for (int i = 0; i < kNameMaxLength; ++i)
            name += QString::fromUcs4(&e, 1);
        QVERIFY(!src.add(name, {{"arrivo", 10}, {"sub", 20}}).isEmpty());
        Database::setOpenTweaker({});
        QTemporaryDir d;
        const QString file = d.filePath("expquorvane.mdb");
        QVERIFY(esportaClasse(src.db(), "prima-C", file, src.env.folder.file("expquorvane.mdb")).ok);
        const ExchangeResult r = importaClasse(dst.db(), "prima-C", file);
        QCOMPARE(r.message, QString("Importazione finita: 1 risultato importato."));
        QCOMPARE(classRows(dst.db()).value(0).value(0).toString(), name);
    }
};

QTEST_GUILESS_MAIN(TstFuzzExchange)
#include "tst_fuzzexchange.moc"
