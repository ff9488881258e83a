// The pupils' compensatory tools in the archive: stored and read, kept by the recycle bin
// with their result and erased when it is emptied, carried by export and import (newer-copy
// rule, disks of an older version), marked in the archive's list and printed.
#include "archive/archivio.h"
#include "archive/cestino.h"
#include "storage/strumenti.h"
#include "startup/datafolder.h"
#include "support/computer.h"
#include "support/toolcodes.h"

#include <QDir>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

using test::tools;

namespace {

struct Computer : test::Computer {
    PupilTools of(const QString &data)
    {
        PupilTools t;
        QString e;
        if (!readTools(db(), "prima-C", data, &t, &e))
            qWarning("%s", qPrintable(e));
        return t;
    }
    int rows(const QString &table = "strumenti")
    {
        QSqlQuery q(db().sql());
        q.exec("SELECT count(*) FROM " + table);
        return q.next() ? q.value(0).toInt() : -1;
    }
    bool run(const QString &sql) { return QSqlQuery(db().sql()).exec(sql); }
};

bool onDisk(const QString &file, const QString &sql)
{
    QString e;
    auto d = Database::open(file, &e, Database::Journal::Rollback);
    return d && QSqlQuery(d->sql()).exec(sql);
}

} // namespace

class TstStrumenti : public QObject {
    Q_OBJECT

private slots:
    // What is written is read back, normalised; no tools is no row; another pupil's tools
    // are apart.
    void storeAndRead_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << "" << "" << 0;
        QTest::newRow("read aloud") << "V" << "V" << 1;
        QTest::newRow("passages need read aloud") << "B" << "" << 0;
        QTest::newRow("everything") << "VB150FC" << "VB150FC" << 1;
        QTest::newRow("larger text only") << "125" << "125" << 1;
    }
    void storeAndRead()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        QFETCH(int, rows);
        Computer c;
        const QString anna = c.add("ROSSI ANNA");
        const QString luca = c.add("BIANCHI LUCA");
        QVERIFY(writeTools(c.db(), "prima-C", luca, tools("F")));
        QVERIFY(writeTools(c.db(), "prima-C", anna, tools("VC")));
        QVERIFY(writeTools(c.db(), "prima-C", anna, tools(written)));
        QCOMPARE(c.of(anna), tools(read));
        QCOMPARE(c.of(luca), tools("F"));
        QCOMPARE(c.rows(), rows + 1);
        QCOMPARE(classTools(c.db(), "prima-C").contains(anna), rows == 1);
        // The same data in another class is another pupil.
        PupilTools other;
        QVERIFY(readTools(c.db(), "prima-D", anna, &other));
        QCOMPARE(other, PupilTools());
        // The table refuses what no window can set.
        QVERIFY(!c.run(QString("UPDATE strumenti SET testo = 130 WHERE data = '%1'").arg(luca)));
    }

    // A file of an older version has no table: nobody has tools, and the first write makes
    // it; the set-up tool adds it too, and running it again keeps what is stored.
    void olderFileWithoutTheTable()
    {
        Computer c;
        const QString anna = c.add("ROSSI ANNA");
        // On the server only the technician drops a table or sets the server up.
        const auto technician = c.env.folder.onServer() ? c.env.folder.openAdmin() : nullptr;
        const auto drop = [&] { return QSqlQuery(technician ? technician->sql() : c.db().sql()).exec(QStringLiteral("DROP TABLE strumenti") + (technician ? " CASCADE" : "")); };
        QVERIFY(drop());
        QCOMPARE(c.of(anna), PupilTools());
        QVERIFY(classTools(c.db(), "prima-C").isEmpty());
        if (!technician) { // the program's own roles make no table on the server
            QVERIFY(writeTools(c.db(), "prima-C", anna, tools("V")));
            QCOMPARE(c.of(anna), tools("V"));
            QVERIFY(drop());
        }
        // The set-up of the results where they are: the file, or the server.
        const auto setUp = [&c](QString *e) {
            return c.env.folder.onServer() ? prepareServer(c.env.folder.adminConfig(), e)
                                           : prepareDataFolder(c.env.folder.path(), e);
        };
        QString e;
        QVERIFY2(setUp(&e), qPrintable(e));
        QVERIFY(c.db().hasTable("strumenti"));
        QVERIFY(writeTools(c.db(), "prima-C", anna, tools("F")));
        QVERIFY2(setUp(&e), qPrintable(e));
        QCOMPARE(c.of(anna), tools("F"));
    }

    // A deleted result keeps its tools in the bin and gets them back with it; emptying the
    // bin erases them, not those of a record of the class with the same data.
    void recycleBin()
    {
        Computer c;
        const QString anna = c.add("ROSSI ANNA");
        const QString luca = c.add("BIANCHI LUCA");
        QVERIFY(writeTools(c.db(), "prima-C", anna, tools("VB")));
        QVERIFY(writeTools(c.db(), "prima-C", luca, tools("150")));
        auto rowid = [&](const QString &data) {
            QSqlQuery q(c.db().sql());
            q.exec(QString("SELECT rowid FROM \"prima-C\" WHERE data = '%1'").arg(data));
            return q.next() ? q.value(0).toLongLong() : -1;
        };
        QVERIFY(moveToBin(c.db(), "prima-C", rowid(anna), c.env.clock.now(), nullptr));
        QVERIFY(moveToBin(c.db(), "prima-C", rowid(luca), c.env.clock.now(), nullptr));
        QVERIFY(!classTools(c.db(), "prima-C").isEmpty()); // kept, though the class lacks them
        const QList<DeletedResult> bin = binContents(c.db());
        QCOMPARE(bin.size(), 2);
        const qint64 annaId = bin[0].data == anna ? bin[0].id : bin[1].id;
        QVERIFY(restoreFromBin(c.db(), annaId, nullptr));
        QCOMPARE(c.of(anna), tools("VB"));
        // Luca's record comes back by an import: his tools are his record's again.
        QVERIFY(c.run(QString("INSERT INTO \"prima-C\" (nome, data) VALUES ('BIANCHI LUCA', '%1')").arg(luca)));
        QVERIFY(moveToBin(c.db(), "prima-C", rowid(anna), c.env.clock.now(), nullptr));
        QVERIFY(emptyBin(c.db(), nullptr));
        QCOMPARE(c.of(anna), PupilTools());
        QCOMPARE(c.of(luca), tools("150"));
    }

    // Export and import: the disk's tools come with a record taken from the disk and fill in
    // where the class has none; a record kept keeps its own; an older disk imports without.
    void exchange_data()
    {
        QTest::addColumn<QString>("disk");     // the exporting computer's tools
        QTest::addColumn<QString>("own");      // "-": the importing class lacks the record
        QTest::addColumn<bool>("behind");      // the importing class's copy got less far
        QTest::addColumn<bool>("olderDisk");   // the disk lacks the tools table
        QTest::addColumn<QString>("expected");
        QTest::newRow("new record") << "VB125" << "-" << false << false << "VB125";
        QTest::newRow("new record, no tools") << "" << "-" << false << false << "";
        QTest::newRow("older disk") << "VB125" << "-" << false << true << "";
        QTest::newRow("present, fills in") << "FC" << "" << false << false << "FC";
        QTest::newRow("present, keeps its own") << "FC" << "V" << false << false << "V";
        QTest::newRow("newer copy brings its tools") << "FC" << "V" << true << false << "FC";
        QTest::newRow("newer copy without tools keeps own") << "" << "V" << true << false << "V";
        QTest::newRow("older disk, newer copy") << "FC" << "V" << true << true << "V";
    }
    void exchange()
    {
        QFETCH(QString, disk);
        QFETCH(QString, own);
        QFETCH(bool, behind);
        QFETCH(bool, olderDisk);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        Computer a, b;
        const QString data = a.add("ROSSI ANNA", {{"arrivo", 5}, {"sub", 1}});
        const QString file = QDir(dir.path()).filePath(kExportFile);
        if (own != "-") {
            a.exportTo(dir.path());
            b.importFrom(dir.path());
            QCOMPARE(b.count(), 1);
            QVERIFY(writeTools(b.db(), "prima-C", data, tools(own)));
            if (behind)
                QVERIFY(b.run("UPDATE \"prima-C\" SET arrivo = 3"));
        }
        QVERIFY(writeTools(a.db(), "prima-C", data, tools(disk)));
        a.exportTo(dir.path());
        QVERIFY2(a.lastAlert().startsWith("Esportazione finita"), qPrintable(a.lastAlert()));
        if (olderDisk)
            QVERIFY(onDisk(file, "DROP TABLE strumenti"));
        b.importFrom(dir.path());
        QVERIFY2(b.lastAlert().startsWith("Importazione finita"), qPrintable(b.lastAlert()));
        QCOMPARE(b.count(), 1);
        QCOMPARE(b.of(data), tools(expected));
    }

    // Exporting again replaces the disk's tools of the record (never two rows, none left
    // when the pupil has none now); a row the table would not hold is passed over.
    void exportAgainAndDamagedRows()
    {
        QTemporaryDir dir;
        Computer a, b;
        const QString anna = a.add("ROSSI ANNA");
        const QString luca = a.add("BIANCHI LUCA");
        const QString file = QDir(dir.path()).filePath(kExportFile);
        QVERIFY(writeTools(a.db(), "prima-C", anna, tools("V")));
        QVERIFY(writeTools(a.db(), "prima-C", luca, tools("F")));
        a.exportTo(dir.path());
        QVERIFY(writeTools(a.db(), "prima-C", anna, tools("150")));
        QVERIFY(writeTools(a.db(), "prima-C", luca, tools("")));
        a.exportTo(dir.path());
        QString e;
        {
            auto d = Database::open(file, &e, Database::Journal::Rollback);
            QSqlQuery q(d->sql());
            QVERIFY(q.exec("SELECT data, testo FROM strumenti"));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), anna);
            QCOMPARE(q.value(1).toInt(), 150);
            QVERIFY(!q.next());
            q.finish();
            // A foreign program's rows: a size no window sets, a flag that is text.
            QVERIFY(q.exec("DROP TABLE strumenti"));
            QVERIFY(q.exec("CREATE TABLE strumenti (data, voce, voce_brani, testo, carattere, contrasto)"));
            QVERIFY(q.exec(QString("INSERT INTO strumenti VALUES ('%1', 1, 0, 130, 0, 0)").arg(anna)));
            QVERIFY(q.exec(QString("INSERT INTO strumenti VALUES ('%1', 'sì', 0, 100, 0, 0)").arg(luca)));
        }
        b.importFrom(dir.path());
        QCOMPARE(b.count(), 2);
        QCOMPARE(b.of(anna), PupilTools());
        QCOMPARE(b.of(luca), PupilTools());
    }

    // The archive marks pupils with tools in its list, sets the selected pupil's tools
    // through the tools window, and prints them on the pupil's printout.
    void archiveMarksSetsAndPrints()
    {
        Computer c;
        c.add("ROSSI ANNA");
        const QString luca = c.add("BIANCHI LUCA");
        QVERIFY(writeTools(c.db(), "prima-C", luca, tools("VB")));
        ArchivioModel &m = c.archivio;
        m.chooseClass(2);
        QCOMPARE(m.nomeInElenco(1), QString("ROSSI ANNA"));
        QCOMPARE(m.nomeInElenco(2), QString("BIANCHI LUCA  (con strumenti)"));

        m.select(0);
        c.env.dialogs.tools = {tools("125FC"), std::nullopt};
        m.strumentiAlunno();
        QCOMPARE(c.env.dialogs.toolNames, QStringList{"ROSSI ANNA"});
        QCOMPARE(m.nomeInElenco(1), QString("ROSSI ANNA  (con strumenti)"));
        QCOMPARE(m.rigascelta(), 0);
        m.strumentiAlunno(); // Cancel: nothing changes
        QCOMPARE(c.env.dialogs.toolsShown.last(), tools("125FC"));
        QCOMPARE(m.strumenti(1), tools("125FC"));

        auto printed = [&](int row) {
            m.select(row);
            const Report r = m.reportAlunno();
            QStringList block;
            bool in = false;
            for (const QString &l : r.lines) {
                in = in ? !l.trimmed().isEmpty() : l.startsWith("   Prove svolte con strumenti compensativi:");
                if (in) {
                    if (l.size() > 80)
                        return QString("line too long: " + l);
                    block << l.trimmed();
                }
            }
            return block.join(' ');
        };
        QCOMPARE(printed(0), QString("Prove svolte con strumenti compensativi: testo ingrandito al 125%; carattere ad "
                                     "alta leggibilità; alto contrasto."));
        QCOMPARE(printed(1), QString("Prove svolte con strumenti compensativi: lettura ad alta voce (sintesi vocale), "
                                     "anche dei brani di lettura."));
        QVERIFY(writeTools(c.db(), "prima-C", luca, {}));
        m.chooseClass(2);
        QCOMPARE(printed(1), QString());
    }
};

QTEST_GUILESS_MAIN(TstStrumenti)
#include "tst_strumenti.moc"
