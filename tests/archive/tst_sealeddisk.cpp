// The sealed export disk: a round trip with a passphrase, the faults it must refuse (wrong
// passphrase, a changed, missing or added byte, a planted cost) with the class unchanged,
// and hostile plain disks (a computed column, too many rows, a huge name, a view) refused.
#include "archive/exchange.h"
#include "support/computer.h"
#include "support/tabledump.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <sys/stat.h>

using namespace qv;

namespace {

const QString kSecret = QStringLiteral("Gita a Paestum 2026");

QStringList classRows(Database &db)
{
    QSqlQuery q(db.sql());
    q.exec("SELECT " + transferredFields().join(", ") + " FROM \"prima-C\" ORDER BY data");
    QStringList out;
    while (q.next()) {
        QStringList r;
        for (int i = 0; i < transferredFields().size(); ++i)
            r << q.value(i).toString();
        out << r.join('|');
    }
    return out;
}

int answers(Database &db)
{
    QSqlQuery q(db.sql());
    return q.exec("SELECT count(*) FROM risposte WHERE classe = 'prima-C'") && q.next() ? q.value(0).toInt() : -1;
}

// Runs `statements` on `file` through a connection of its own, as another program would:
// without the program's limits.
bool plant(const QString &file, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "plant");
        db.setDatabaseName(file);
        ok = db.open();
        for (const QString &s : statements) {
            QSqlQuery q(db);
            if (ok && !q.exec(s)) {
                qWarning() << s << q.lastError().text();
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("plant");
    return ok;
}

void writeBytes(const QString &file, const QByteArray &b)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(b), b.size());
}

} // namespace

class TstSealedDisk : public QObject {
    Q_OBJECT

    QTemporaryDir disk;
    QString sealedFile() const { return disk.filePath(kSealedExportFile); }
    QString plainFile() const { return disk.filePath("expquorvane.mdb"); }
    // The sealed export of a class of three, one with answers, made once.
    QByteArray sealed;
    QStringList exported;

private slots:
    void initTestCase()
    {
        test::Computer a;
        a.add("ROSSI MARIA", {{"arrivo", 10}, {"sub", 20}, {"fatti1", 7}});
        a.add("BIANCHI LUCA", {{"arrivo", 3}, {"sub", 2}});
        a.add("VERDI ANNA");
        QSqlQuery q(a.db().sql());
        QVERIFY(q.exec("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) SELECT 'prima-C', "
                       "data, 'lettura', 1, '2', 1, '2026-09-14 09:01:00' FROM \"prima-C\" WHERE nome = 'ROSSI MARIA'"));
        exported = classRows(a.db());
        // An earlier plain export of another class lies on the disk: it is replaced, not gathered.
        writeBytes(plainFile(), "vecchia esportazione in chiaro");
        a.env.dialogs.secrets = {test::FakeDialogs::sealedWith(kSecret)};
        a.exportTo(disk.path());
        QVERIFY2(a.lastAlert().startsWith("Esportazione finita: 3 risultati esportati, cifrati con la parola d'ordine"),
                 qPrintable(a.lastAlert()));
        QVERIFY(a.lastAlert().contains("è stato cancellato dal disco"));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{kSealedExportFile});
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(sealedFile()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        sealed = test::fileBytes(sealedFile());
        // Nothing of the class is readable on the disk.
        for (const char *clear : {"ROSSI", "SQLite format", "lettura", "prima"})
            QVERIFY2(!sealed.contains(clear), clear);
    }

    void init() { writeBytes(sealedFile(), sealed); }

    void roundTripWithThePassphrase()
    {
        test::Computer b;
        b.add("GIALLI PIETRO");
        b.env.dialogs.secrets = {test::FakeDialogs::sealedWith(kSecret)};
        b.importFrom(disk.path());
        QCOMPARE(b.lastAlert(), QString("Importazione finita: 3 risultati importati."));
        QCOMPARE(b.env.dialogs.secretTexts.size(), 1);
        QCOMPARE(b.count(), 4);
        const QStringList rows = classRows(b.db());
        for (const QString &r : exported)
            QVERIFY2(rows.contains(r), qPrintable(r));
        QCOMPARE(answers(b.db()), 1);
        // Cancel on the passphrase changes nothing and says nothing.
        b.env.dialogs.alerts.clear();
        b.importFrom(disk.path());
        QVERIFY(b.env.dialogs.alerts.isEmpty());
        QCOMPARE(b.count(), 4);
    }

    // Each fault is refused before anything is written, with its own message.
    void faultsAreRefusedAndTheClassStays_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<QString>("said");
        const QString changed = "è stato modificato o è danneggiato";
        auto flipped = [&](qsizetype at) {
            QByteArray b = sealed;
            b[at] = char(b[at] ^ 0x01);
            return b;
        };
        QTest::newRow("wrong passphrase") << sealed << "Gita a paestum 2026" << "La parola d'ordine non è quella";
        QTest::newRow("salt") << flipped(20) << kSecret << "La parola d'ordine non è quella";
        QTest::newRow("stream header") << flipped(50) << kSecret << changed;
        QTest::newRow("first chunk") << flipped(100) << kSecret << changed;
        QTest::newRow("last byte") << flipped(sealed.size() - 1) << kSecret << changed;
        QTest::newRow("cut short") << sealed.left(sealed.size() - 1) << kSecret << changed;
        QTest::newRow("one byte more") << sealed + "x" << kSecret << changed;
        QByteArray cost = sealed;
        cost[12] = cost[13] = cost[14] = cost[15] = char(0xff); // 4 TiB of memory asked for
        QTest::newRow("planted cost") << cost << kSecret << "versione più recente del programma";
        QTest::newRow("not sealed") << QByteArray("QVCIFRA0").append(200, 'x') << kSecret << "non è un'esportazione cifrata";
    }
    void faultsAreRefusedAndTheClassStays()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, passphrase);
        QFETCH(QString, said);
        writeBytes(sealedFile(), file);
        test::Computer b;
        b.add("GIALLI PIETRO");
        const QStringList before = classRows(b.db());
        b.env.dialogs.secrets = {test::FakeDialogs::sealedWith(passphrase)};
        b.importFrom(disk.path());
        QVERIFY2(b.lastAlert().contains(said) && b.lastAlert().contains("la classe è rimasta com'era"),
                 qPrintable(b.lastAlert()));
        QCOMPARE(classRows(b.db()), before);
        QCOMPARE(answers(b.db()), 0);
    }

    // A passphrase too short or typed differently twice writes nothing.
    void badPassphraseAtExport()
    {
        test::Computer a;
        a.add("ROSSI MARIA");
        a.env.dialogs.secrets = {test::FakeDialogs::sealedWith("corta"),
                                 {Dialogs::DiskSecret::Choice::Sealed, kSecret, kSecret + " "}};
        a.exportTo(disk.path());
        QVERIFY(a.lastAlert().contains("almeno 8 caratteri"));
        a.exportTo(disk.path());
        QVERIFY(a.lastAlert().contains("non sono uguali"));
        QCOMPARE(test::fileBytes(sealedFile()), sealed);
    }

    // A plain disk of an older version, written after the sealed one, is the one imported.
    void plainDiskOfAnOlderVersion()
    {
        test::Computer old;
        old.add("NERI ELENA");
        QVERIFY(esportaClasse(old.db(), "prima-C", plainFile(), old.env.folder.file("expquorvane.mdb")).ok);
        QFile older(sealedFile());
        QVERIFY(older.open(QIODevice::ReadWrite));
        QVERIFY(older.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        older.close();
        test::Computer b;
        b.importFrom(disk.path());
        QVERIFY(b.env.dialogs.secretTexts.isEmpty());
        QVERIFY2(b.lastAlert().startsWith("Importazione finita: 1 risultato importato.")
                     && b.lastAlert().contains("\"expquorvane.cifrato\", di un'esportazione più vecchia"),
                 qPrintable(b.lastAlert()));
        QFile::remove(plainFile());
    }

    // Plain disks built to hurt: each is refused whole with a message and the class unchanged.
    void hostileDisksAreRefused_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("said");
        QStringList cols;
        for (const QString &f : transferredFields())
            cols << f;
        const QString table = "CREATE TABLE prima (" + cols.join(", ");
        const QString big = "contiene valori più grandi di quelli che una classe può avere";
        QTest::newRow("computed column") << QStringList{table + ", gonfio BLOB GENERATED ALWAYS AS (zeroblob(900000000)))",
                                                        "INSERT INTO prima (nome, data) VALUES ('A', 'd-1')"}
                                         << "Importazione finita: 1 risultato importato.";
        QTest::newRow("computed name") << QStringList{"CREATE TABLE prima (nome GENERATED ALWAYS AS (printf('%.*c', 5000000, 'x')), "
                                                      + cols.mid(1).join(", ") + ")",
                                                      "INSERT INTO prima (data) VALUES ('d-1')"}
                                       << "1 illeggibile";
        QTest::newRow("5 MB name") << QStringList{table + ")", "INSERT INTO prima (nome, data) VALUES (printf('%.*c', 5000000, 'x'), 'd-1')"}
                                   << big;
        QTest::newRow("200,000 rows") << QStringList{table + ")",
                                                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
                                                     "INSERT INTO prima (nome, data) SELECT 'A' || i, 'd-' || i FROM n"}
                                      << "più righe (200000 nella tabella \"prima\")";
        QTest::newRow("endless view") << QStringList{"CREATE VIEW prima AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                                     "FROM n) SELECT 'A' AS nome, i AS data FROM n"}
                                      << "\"prima\" non è una tabella";
        QTest::newRow("virtual table") << QStringList{"CREATE VIRTUAL TABLE prima USING fts5(" + cols.join(", ") + ")",
                                                      "INSERT INTO prima (nome, data) VALUES ('A', 'd-1')"}
                                       << "\"prima\" non è una tabella";
    }
    void hostileDisksAreRefused()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, said);
        QFile::remove(sealedFile());
        Database::removeFiles(plainFile());
        QVERIFY(plant(plainFile(), statements));
        test::Computer b;
        b.add("GIALLI PIETRO");
        const QStringList before = classRows(b.db());
        b.importFrom(disk.path());
        Database::removeFiles(plainFile());
        QVERIFY2(b.lastAlert().contains(said), qPrintable(b.lastAlert()));
        // The one harmless row of a disk with a computed column of its own comes in; nothing else does.
        if (!said.startsWith("Importazione finita: 1"))
            QCOMPARE(classRows(b.db()), before);
    }

    // A name of 5 MB planted in the results file by another program: the archive says it
    // cannot read the class instead of freezing on it.
    void hugeNameInTheResultsFile()
    {
        test::Computer b;
        QV_FILE_ONLY(b.env.folder);
        b.add("GIALLI PIETRO");
        QVERIFY(plant(b.env.folder.file("quorvane.mdb"), {"PRAGMA ignore_check_constraints = ON", "UPDATE \"prima-C\" SET nome = printf('%.*c', 5000000, 'x')"}));
        b.archivio.chooseClass(2);
        QCOMPARE(b.lastAlert(), QString("Non riesco a leggere la tabella \"prima-C\" della classe."));
        QCOMPARE(b.archivio.numalunni(), 0);
    }
};

QTEST_GUILESS_MAIN(TstSealedDisk)
#include "tst_sealeddisk.moc"
