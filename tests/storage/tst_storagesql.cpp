// The statements storage makes from names: a class table read by column name, names quoted
// by the driver, and the durable write of a whole file.
#include "storage/recordreader.h"
#include "storage/sqlitefile.h"
#include "storage/tables.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace qv;

class TstStorageSql : public QObject {
    Q_OBJECT

    static std::unique_ptr<Database> owner(const test::DataFolder &folder)
    {
        return folder.onServer() ? folder.openAdmin() : folder.open();
    }

private slots:
    // Fields read by name; a field the table lacks is null when the caller gave the table's
    // columns, and a failure otherwise, never a text standing for it.
    void recordReaderReadsByName_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<bool>("withColumns");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<QStringList>("firstRow"); // "<null>" for a null value
        QTest::newRow("fields there") << QStringList{"arrivo", "nome"} << false << true << QStringList{"3", "VERDI ELSA"};
        QTest::newRow("field missing, no columns") << QStringList{"nome", "assente"} << false << false << QStringList{};
        QTest::newRow("field missing, columns known")
            << QStringList{"nome", "assente"} << true << true << QStringList{"VERDI ELSA", "<null>"};
        QTest::newRow("no field there") << QStringList{"assente"} << true << true << QStringList{"<null>"};
    }
    void recordReaderReadsByName()
    {
        QFETCH(QStringList, fields);
        QFETCH(bool, withColumns);
        QFETCH(bool, reads);
        QFETCH(QStringList, firstRow);
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        auto db = folder.open();
        QVERIFY(db);
        const QString table = QStringLiteral("prima-C");
        // Added in this order, so the table's order is not the names' order.
        for (const auto &[nome, arrivo] : {std::pair{"VERDI ELSA", 3}, std::pair{"ABATE LIA", 1}}) {
            QSqlQuery q(db->sql());
            QVERIFY(q.prepare(Sql(*db).insert(table, {"nome", "arrivo"})));
            q.addBindValue(QString::fromLatin1(nome));
            q.addBindValue(arrivo);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        RecordReader in(*db, table, fields, withColumns ? std::optional(db->columns(table)) : std::nullopt);
        QCOMPARE(in.exec(), reads);
        if (!reads)
            return;
        int rows = 0;
        while (in.next()) {
            if (rows++ > 0)
                continue;
            QStringList got;
            for (int i = 0; i < fields.size(); ++i)
                got << (in.value(i).isNull() ? QStringLiteral("<null>") : in.text(i));
            QCOMPARE(got, firstRow);
        }
        QCOMPARE(rows, 2);
        QVERIFY(!in.error().isValid());
    }

    // A name with a double quote (which the hand-written quoting of old let through) makes
    // a table and is written, replaced, read, counted and emptied on both engines.
    void statementsQuoteTheirNames()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        auto db = owner(folder);
        QVERIFY(db);
        TableSpec t = settingsTable();
        t.name = QStringLiteral("prova \"citata\" uno");
        const Sql sql(*db);
        auto run = [&](const QString &statement, const QVariantList &values) {
            // The server prepares no DDL: a statement without values runs as it is.
            QSqlQuery q(db->sql());
            if (!values.isEmpty() && !q.prepare(statement))
                return QStringList{QStringLiteral("prepare: ") + q.lastError().text()};
            for (const QVariant &v : values)
                q.addBindValue(v);
            if (!(values.isEmpty() ? q.exec(statement) : q.exec()))
                return QStringList{QStringLiteral("exec: ") + q.lastError().text()};
            QStringList out;
            while (q.next())
                out << q.value(0).toString();
            return out;
        };
        QCOMPARE(run(t.createSql(db->sql(), db->dialect()), {}), QStringList{});
        QCOMPARE(run(sql.upsert(t.name, t.names(), {"chiave"}), {"a", "uno"}), QStringList{});
        QCOMPARE(run(sql.upsert(t.name, t.names(), {"chiave"}), {"a", "due"}), QStringList{});
        QCOMPARE(run(sql.insertNew(t.name, t.names(), {"chiave"}), {"a", "tre"}), QStringList{});
        QCOMPARE(run(sql.select(t.name, {"valore"}, {"chiave"}), {"a"}), QStringList{"due"});
        QCOMPARE(run(sql.update(t.name, {"valore"}, {"chiave"}), {"quattro", "a"}), QStringList{});
        QCOMPARE(run(sql.select(t.name, {"valore"}), {}), QStringList{"quattro"});
        QCOMPARE(run(sql.remove(t.name, {"chiave"}), {"a"}), QStringList{});
        QCOMPARE(run(sql.count(t.name), {}), QStringList{"0"});
        QVERIFY(db->hasTable(t.name));
        QCOMPARE(db->columns(t.name), t.names());
    }

    // A whole file or none: the new content under the name, owner-only, nothing beside it;
    // a name that cannot take it keeps what it was and no temporary file stays.
    void writeWholeLeavesAWholeFileOrNone_data()
    {
        QTest::addColumn<bool>("targetIsFolder");
        QTest::newRow("new file") << false;
        QTest::newRow("a folder in the way") << true;
    }
    void writeWholeLeavesAWholeFileOrNone()
    {
        QFETCH(bool, targetIsFolder);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("disco.bin"));
        if (targetIsFolder)
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("disco.bin")));
        const QString problem = sqlitefile::writeWhole(target, QByteArray("contenuto"));
        QCOMPARE(problem.isEmpty(), !targetIsFolder);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("disco.bin")});
        if (targetIsFolder) {
            QVERIFY(QFileInfo(target).isDir());
            return;
        }
        QFile f(target);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("contenuto"));
        QCOMPARE(f.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    }
};

QTEST_GUILESS_MAIN(TstStorageSql)
#include "tst_storagesql.moc"
