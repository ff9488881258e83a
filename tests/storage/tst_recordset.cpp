// The cursor API on a real SQLite file: order, seek, live cursors, bookmarks, writes.
#include "storage/database.h"
#include "storage/datafiles.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;

class TstRecordset : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataFolder> folder;
    std::unique_ptr<Database> db;

    QString add(Recordset &rs, const QVariant &nome, int arrivo = 1)
    {
        rs.addNew();
        rs.setField("nome", nome);
        rs.setField("arrivo", arrivo);
        rs.setField("sub", 1);
        if (!rs.update())
            return {};
        return rs.lastModified();
    }

private slots:
    void init()
    {
        folder = std::make_unique<test::DataFolder>();
        QVERIFY2(folder->ok(), qPrintable(folder->error()));
        QString e;
        db = folder->open(&e);
        QVERIFY2(db, qPrintable(e));
    }
    void cleanup()
    {
        db.reset();
        folder.reset();
    }

    void emptyTableIsBofAndEof()
    {
        auto rs = db->openRecordset("prima-A");
        QVERIFY(rs);
        QVERIFY(rs->bof());
        QVERIFY(rs->eof());
        QCOMPARE(rs->recordCount(), 0);
        QVERIFY(rs->field("nome").isNull());
        QVERIFY(!rs->edit());
    }

    void unknownOrMissingTablesAreRefused()
    {
        QVERIFY(!db->openRecordset("sqlite_master"));
        QVERIFY(!db->openRecordset("prima-I"));
        QVERIFY(!db->openRecordset("prima-A\"; DROP TABLE \"prima-B"));
        QVERIFY(db->openRecordset("prima-B"));
    }

    void addNewAppendsWithoutMovingAndFillsData()
    {
        auto rs = db->openRecordset("prima-C");
        const QString first = add(*rs, "ROSSI ANNA");
        QVERIFY(!first.isEmpty());
        QVERIFY(rs->bof()); // the cursor stood on no row and did not move to the new one
        QVERIFY(rs->moveFirst());
        QCOMPARE(rs->bookmark(), first);
        const QString second = add(*rs, "BIANCHI LUCA");
        QCOMPARE(rs->bookmark(), first);
        QVERIFY(rs->move(0, second));
        QCOMPARE(rs->field("nome").toString(), QString("BIANCHI LUCA"));
        QCOMPARE(rs->field(0).toString(), QString("BIANCHI LUCA"));
        QCOMPARE(rs->field(2).toInt(), 1);
        QVERIFY(rs->field("lessico1").isNull());
        QVERIFY(rs->field(29).isNull());
        const QString data2 = rs->field("data").toString();
        QVERIFY(!data2.isEmpty());
        QVERIFY(rs->move(0, first));
        QVERIFY(!rs->field("data").toString().isEmpty());
        QVERIFY(rs->field("data").toString() != data2);
        QCOMPARE(rs->recordCount(), 2);
    }

    void indexOrderWithTiesInInsertionOrder()
    {
        auto rs = db->openRecordset("prima-D");
        const QString z = add(*rs, "ZETA");
        const QString a1 = add(*rs, "ALFA", 1);
        const QString m = add(*rs, "EMME");
        const QString a2 = add(*rs, "ALFA", 2);
        // Own order: as added.
        QStringList own;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            own << rs->bookmark();
        QCOMPARE(own, QStringList({z, a1, m, a2}));
        QVERIFY(rs->setIndex("nome"));
        QStringList byName;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            byName << rs->bookmark();
        QCOMPARE(byName, QStringList({a1, a2, m, z}));
        QVERIFY(rs->seek("=", "ALFA"));
        QVERIFY(!rs->noMatch());
        QCOMPARE(rs->bookmark(), a1);
        QVERIFY(rs->moveNext());
        QCOMPARE(rs->field("arrivo").toInt(), 2);
        rs->seek("=", "NESSUNO");
        QVERIFY(rs->noMatch());
        QVERIFY(rs->moveLast());
        QCOMPARE(rs->bookmark(), z);
        QVERIFY(rs->movePrevious());
        QCOMPARE(rs->bookmark(), m);
    }

    void nullKeysAreVisitedFirst()
    {
        auto rs = db->openRecordset("prima-E");
        add(*rs, "BETA");
        const QString n = add(*rs, QVariant());
        rs->setIndex("nome");
        QVERIFY(rs->moveFirst());
        QCOMPARE(rs->bookmark(), n);
        int count = 0;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            ++count;
        QCOMPARE(count, 2);
    }

    void editUpdatesInPlaceAndCursorsAreLive()
    {
        auto a = db->openRecordset("prima-F");
        const QString bm = add(*a, "VERDI PIA");
        auto b = db->openRecordset("prima-F");
        QVERIFY(b->setBookmark(bm));
        QVERIFY(a->setBookmark(bm));
        QVERIFY(a->edit());
        QVERIFY(a->setField("arrivo", qint16(7)));
        QVERIFY(a->setField("sub", 3));
        QVERIFY(a->update());
        QCOMPARE(b->field("arrivo").toInt(), 7);
        QCOMPARE(b->field("sub").toInt(), 3);
        QCOMPARE(b->field("arrivo").typeId(), QMetaType::LongLong);
        // A clone has its own position.
        const QString other = add(*a, "NERI UGO");
        auto c = b->clone();
        QVERIFY(c->move(0, other));
        QCOMPARE(b->bookmark(), bm);
        QCOMPARE(c->field("nome").toString(), QString("NERI UGO"));
        QCOMPARE(c->recordCount(), 2);
    }

    void deleteKeepsThePlaceForMoveNext()
    {
        auto rs = db->openRecordset("prima-G");
        const QString one = add(*rs, "UNO");
        add(*rs, "DUE");
        const QString three = add(*rs, "TRE");
        QVERIFY(rs->moveFirst());
        QVERIFY(rs->moveNext());
        QVERIFY(rs->remove());
        QVERIFY(rs->field("nome").isNull());
        QVERIFY(rs->moveNext());
        QCOMPARE(rs->bookmark(), three);
        QCOMPARE(rs->recordCount(), 2);
        QVERIFY(rs->moveNext());
        QVERIFY(rs->eof());
        QVERIFY(!rs->moveNext());
        QVERIFY(rs->setBookmark(one));
        QVERIFY(!rs->setBookmark("999"));
        QVERIFY(!rs->setBookmark("abc"));
    }

    void badWritesFailAndLeaveTheRowUnchanged()
    {
        auto rs = db->openRecordset("prima-H");
        const QString bm = add(*rs, "LUNGO");
        QVERIFY(rs->setBookmark(bm));
        QVERIFY(rs->edit());
        QVERIFY(!rs->setField("inesistente", 1));
        QVERIFY(rs->setField("arrivo", "tre"));
        QVERIFY(!rs->update());
        QCOMPARE(rs->field("arrivo").toInt(), 1);
        rs->addNew();
        rs->setField("nome", QString(51, 'X'));
        QVERIFY(!rs->update());
        QCOMPARE(rs->recordCount(), 1);
        QVERIFY(!rs->update()); // no open Edit/AddNew
    }

    // Writes keep their statements prepared: each store must still write its own values,
    // whichever fields and rows came before, and after a store that failed.
    void repeatedStoresWriteTheirOwnValues()
    {
        auto rs = db->openRecordset("prima-B");
        const QString a = add(*rs, "ANNA");
        const QString b = add(*rs, "BRUNO");
        QVERIFY(!a.isEmpty() && !b.isEmpty() && a != b);
        auto store = [&](const QString &bm, const QList<QPair<QString, QVariant>> &fields) {
            if (!rs->setBookmark(bm) || !rs->edit())
                return false;
            for (const auto &f : fields)
                rs->setField(f.first, f.second);
            return rs->update();
        };
        QVERIFY(store(a, {{"arrivo", 3}, {"sub", 4}}));
        QVERIFY(store(b, {{"arrivo", 5}, {"sub", 6}}));
        QVERIFY(!store(a, {{"arrivo", "tre"}, {"sub", 7}}));
        QVERIFY(store(a, {{"sub", 9}}));
        auto check = db->openRecordset("prima-B");
        auto stored = [&](const QString &bm) {
            check->setBookmark(bm);
            return qMakePair(check->field("arrivo").toInt(), check->field("sub").toInt());
        };
        QCOMPARE(stored(a), qMakePair(3, 9));
        QCOMPARE(stored(b), qMakePair(5, 6));
        QVERIFY(store(b, {{"arrivo", 2}, {"sub", 1}}));
        QCOMPARE(stored(b), qMakePair(2, 1));
        QVERIFY(store(b, {{"sub", 3}, {"arrivo", 8}}));
        QCOMPARE(stored(b), qMakePair(8, 3));
        QCOMPARE(stored(a), qMakePair(3, 9));
        QCOMPARE(rs->lastModified(), b);
        QCOMPARE(add(*rs, "CARLA").isEmpty(), false);
        QCOMPARE(rs->recordCount(), 3);
    }

    // A conditional Update writes only while the row holds the expected values (an empty
    // field expected empty); a row changed since is told apart from a row gone.
    void conditionalUpdate_data()
    {
        QTest::addColumn<QVariant>("sub");       // the row's sub before the store
        QTest::addColumn<QVariant>("expected");  // the sub the store expects
        QTest::addColumn<bool>("removed");       // the row is deleted first
        QTest::addColumn<bool>("written");
        QTest::newRow("as expected") << QVariant(4) << QVariant(4) << false << true;
        QTest::newRow("empty, expected empty") << QVariant() << QVariant() << false << true;
        QTest::newRow("moved on") << QVariant(9) << QVariant(4) << false << false;
        QTest::newRow("filled, expected empty") << QVariant(4) << QVariant() << false << false;
        QTest::newRow("gone") << QVariant(4) << QVariant(4) << true << false;
    }
    void conditionalUpdate()
    {
        QFETCH(QVariant, sub);
        QFETCH(QVariant, expected);
        QFETCH(bool, removed);
        QFETCH(bool, written);
        auto rs = db->openRecordset("prima-D");
        const QString bm = add(*rs, "ROSSI ANNA");
        QVERIFY(rs->setBookmark(bm) && rs->edit() && rs->setField("sub", sub) && rs->update());
        auto other = db->openRecordset("prima-D");
        QVERIFY(other->setBookmark(bm));
        if (removed)
            QVERIFY(other->remove());
        QVERIFY(rs->edit() && rs->setField("lessico1", 7));
        QCOMPARE(rs->update({{"arrivo", 1}, {"sub", expected}}), written);
        QCOMPARE(rs->changedElsewhere(), !written && !removed);
        QCOMPARE(other->setBookmark(bm) && other->field("lessico1").toInt() == 7, written);
    }

    void aStoreMovesTheCursorOnlyWithItsKey()
    {
        auto rs = db->openRecordset("prima-C");
        const QString alfa = add(*rs, "ALFA");
        const QString emme = add(*rs, "EMME");
        const QString zeta = add(*rs, "ZETA");
        QVERIFY(rs->setIndex("nome"));
        QVERIFY(rs->setBookmark(emme));
        QVERIFY(rs->edit());
        rs->setField("arrivo", 4);
        QVERIFY(rs->update());
        QVERIFY(rs->moveNext());
        QCOMPARE(rs->bookmark(), zeta);
        // A new name puts the row, and the cursor with it, at its new place in the index.
        QVERIFY(rs->setBookmark(alfa));
        QVERIFY(rs->edit());
        rs->setField("nome", "ZZZ");
        QVERIFY(rs->update());
        QVERIFY(rs->movePrevious());
        QCOMPARE(rs->bookmark(), zeta);
    }

    // The writer's own row after its stores (on the server kept from what the Update gave
    // back, not read again) is the stored row, field by field and type by type; after a
    // rollback it is the row as it was; a row deleted meanwhile fails the store.
    void theWritersRowIsTheStoredRow()
    {
        auto rs = db->openRecordset("prima-D");
        const QString bm = add(*rs, "ROSSI ANNA");
        auto fresh = db->openRecordset("prima-D");
        QVERIFY(rs->setIndex("nome"));
        const QList<QList<QPair<QString, QVariant>>> stores = {
            {{"sub", 2}, {"arrivo", qint16(3)}}, {{"lessico1", 4}, {"sub", 5}}, {{"nome", "ROSSI ANNA MARIA"}, {"temlettura", 6}}};
        for (const auto &fields : stores) {
            QVERIFY(rs->editAt(bm));
            for (const auto &f : fields)
                QVERIFY(rs->setField(f.first, f.second));
            QVERIFY(rs->update());
            QVERIFY(fresh->setBookmark(bm));
            for (int i = 0; i < rs->fieldCount(); ++i) {
                QCOMPARE(rs->field(i), fresh->field(i));
                QCOMPARE(rs->field(i).typeId(), fresh->field(i).typeId());
            }
        }
        QVERIFY(db->begin());
        QVERIFY(rs->editAt(bm) && rs->setField("sub", 9) && rs->update());
        QCOMPARE(rs->field("sub").toInt(), 9);
        QVERIFY(db->rollback());
        QCOMPARE(rs->field("sub").toInt(), 5);
        auto other = folder->open();
        auto gone = other->openRecordset("prima-D");
        QVERIFY(gone->setBookmark(bm) && gone->remove());
        QVERIFY(!(rs->editAt(bm) && rs->setField("sub", 1) && rs->update()));
    }

    // Every read of a row (by bookmark, by moves in the table's order and in an index) gives
    // each field as the engine holds it, of the type a query of the same row gives (whole
    // numbers, when there, as 64-bit): accented and empty text, numbers at their bounds, empty fields;
    // and a text key finds its row and is passed by the moves in its index.
    void rowsReadAsStored_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("accented text") << "nome" << QVariant(QStringLiteral("PERCHÉ È COSÌ ÀÇ"));
        QTest::newRow("empty text") << "nome" << QVariant(QStringLiteral(""));
        QTest::newRow("no text") << "nome" << QVariant();
        QTest::newRow("lowest number") << "sub" << QVariant(-32768);
        QTest::newRow("highest number") << "arrivo" << QVariant(32767);
        QTest::newRow("zero") << "lessico1" << QVariant(0);
        QTest::newRow("no number") << "sub" << QVariant();
    }
    void rowsReadAsStored()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        auto rs = db->openRecordset("prima-C");
        add(*rs, "MARIO");
        const QString bm = add(*rs, "NADIA");
        add(*rs, "ZENO");
        QVERIFY(rs->setBookmark(bm) && rs->edit() && rs->setField(column, value) && rs->update());
        QSqlQuery q(db->sql());
        QVERIFY(q.exec(QStringLiteral("SELECT * FROM \"prima-C\" WHERE rowid = %1").arg(bm)) && q.next());
        auto reader = db->openRecordset("prima-C");
        auto same = [&] {
            for (int i = 0; i < reader->fieldCount(); ++i) {
                QVariant want = q.value(reader->fieldNames().at(i));
                if (!want.isNull() && (want.typeId() == QMetaType::Int || want.typeId() == QMetaType::Short))
                    want = QVariant(want.toLongLong());
                const QVariant got = reader->field(i);
                if (got != want || got.typeId() != want.typeId() || got.isNull() != want.isNull()) {
                    qWarning() << reader->fieldNames().at(i) << got << want;
                    return false;
                }
            }
            return true;
        };
        QVERIFY(reader->setBookmark(bm));
        QVERIFY(same());
        QVERIFY(reader->moveFirst() && reader->moveNext());
        QCOMPARE(reader->bookmark(), bm);
        QVERIFY(same());
        QVERIFY(reader->setIndex("nome"));
        QStringList order;
        for (reader->moveFirst(); !reader->eof(); reader->moveNext())
            order << reader->bookmark();
        QCOMPARE(order.size(), 3);
        QVERIFY(order.contains(bm));
        if (column == QLatin1String("nome") && !value.isNull()) {
            QVERIFY(reader->seek("=", value));
            QCOMPARE(reader->bookmark(), bm);
            QVERIFY(same());
        }
    }

    void cursorOutlivingItsDatabaseFailsCleanly()
    {
        auto rs = db->openRecordset("prima-L");
        add(*rs, "SOLO");
        rs->setIndex("nome");
        QVERIFY(rs->moveFirst() && rs->setBookmark(rs->bookmark()));
        const QString log = folder->file(QString::fromLatin1(kResultsFile)) + QStringLiteral("-wal");
        QCOMPARE(QFile::exists(log), !folder->onServer());
        db.reset();
        QVERIFY(!rs->moveFirst());
        QVERIFY(rs->field("nome").isNull());
        QVERIFY(!rs->clone());
        // The file was closed whole, its write-ahead log folded back and removed: no
        // statement the cursors prepared kept the connection open.
        QVERIFY(!QFile::exists(log));
    }

    void missingOrInvalidFilesAreReported()
    {
        QString e;
        QVERIFY(!Database::open(folder->file("manca.mdb"), &e));
        QVERIFY(e.contains("non esiste"));
        QVERIFY(!QFile::exists(folder->file("manca.mdb")));
        QFile junk(folder->file("junk.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QVERIFY(!Database::open(junk.fileName(), &e));
        QVERIFY(e.contains("non è un archivio"));
    }
};

QTEST_GUILESS_MAIN(TstRecordset)
#include "tst_recordset.moc"
