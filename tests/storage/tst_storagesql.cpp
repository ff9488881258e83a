// The statements storage makes from names: a class table read by column name, names quoted
// by the driver, the durable write of a whole file and its rename, the end of a transaction.
#include "storage/database.h"
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

    // A durable rename says why it failed (errno), leaving the file where it was; done, the
    // new name holds the file and the old one is gone.
    void durableRenameGivesTheError_data()
    {
        QTest::addColumn<bool>("source");     // the file to rename exists
        QTest::addColumn<QString>("target");  // relative to the folder
        QTest::addColumn<bool>("folderInWay"); // the target is a folder holding a file
        QTest::addColumn<int>("error");       // 0: renamed
        QTest::newRow("renamed") << true << "copia.mdb" << false << 0;
        QTest::newRow("no file") << false << "copia.mdb" << false << int(std::errc::no_such_file_or_directory);
        QTest::newRow("no folder") << true << "manca/copia.mdb" << false << int(std::errc::no_such_file_or_directory);
        QTest::newRow("a folder in the way") << true << "copia.mdb" << true << int(std::errc::is_a_directory);
    }
    void durableRenameGivesTheError()
    {
        QFETCH(bool, source);
        QFETCH(QString, target);
        QFETCH(bool, folderInWay);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString from = dir.filePath(QStringLiteral(".copia.nuova"));
        const QString to = dir.filePath(target);
        if (source) {
            QFile f(from);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("contenuto") == 9);
        }
        if (folderInWay) {
            QVERIFY(QDir(dir.path()).mkpath(target));
            QFile inside(QDir(to).filePath(QStringLiteral("dentro")));
            QVERIFY(inside.open(QIODevice::WriteOnly));
        }
        const std::error_code ec = sqlitefile::durableRename(from, to);
        QCOMPARE(ec.value(), error);
        QVERIFY(!ec || ec.category() == std::generic_category());
        QCOMPARE(QFile::exists(from), source && error != 0);
        QFile f(to);
        QCOMPARE(f.open(QIODevice::ReadOnly) && f.readAll() == "contenuto", error == 0);
    }

    // A transaction ends committed only when its steps and its commit succeed; otherwise it
    // is rolled back, nothing of it stays, and the connection takes a new one at once. A
    // failed commit (a deferred reference left unmet) gives its reason; a failed step keeps
    // the one it gave.
    void commitOrRollbackLeavesNothingPending_data()
    {
        QTest::addColumn<bool>("stepsOk");
        QTest::addColumn<bool>("unmet"); // the row refers to a row that is not there
        QTest::addColumn<bool>("committed");
        QTest::newRow("committed") << true << false << true;
        QTest::newRow("a step failed") << false << false << false;
        QTest::newRow("the commit failed") << true << true << false;
    }
    void commitOrRollbackLeavesNothingPending()
    {
        QFETCH(bool, stepsOk);
        QFETCH(bool, unmet);
        QFETCH(bool, committed);
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        auto db = owner(folder);
        QVERIFY(db);
        QSqlQuery q(db->sql());
        if (!db->onServer())
            QVERIFY(q.exec(QStringLiteral("PRAGMA foreign_keys = ON")));
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE capo (id integer PRIMARY KEY)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO capo (id) VALUES (1)")));
        QVERIFY(q.exec(QStringLiteral(
            "CREATE TABLE voce (capo integer REFERENCES capo (id) DEFERRABLE INITIALLY DEFERRED)")));
        QVERIFY(db->begin());
        QVERIFY(q.exec(QStringLiteral("INSERT INTO voce (capo) VALUES (%1)").arg(unmet ? 2 : 1)));
        const QString stepError = QStringLiteral("passo non riuscito");
        QString e = stepsOk ? QString() : stepError;
        QCOMPARE(db->commitOrRollback(stepsOk, &e), committed);
        QCOMPARE(e.isEmpty(), committed);
        QCOMPARE(e == stepError, !stepsOk);
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM voce")) && q.next());
        QCOMPARE(q.value(0).toInt(), committed ? 1 : 0);
        q.finish();
        QVERIFY(db->begin());
        QVERIFY(db->rollback());
    }
};

QTEST_GUILESS_MAIN(TstStorageSql)
#include "tst_storagesql.moc"
