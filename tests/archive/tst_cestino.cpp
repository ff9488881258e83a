// The recycle bin: a deleted result keeps every field, is put back as it was, is refused
// when putting it back would double it, and is erased for real when the bin is emptied.
#include "archive/archivio.h"
#include "archive/cestino.h"
#include "storage/pupilrecord.h"
#include "storage/recordset.h"
#include "support/fakes.h"
#include "support/tabledump.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;

class TstCestino : public QObject {
    Q_OBJECT

    Database &db(test::ModelEnv &env) { return *env.session.state.dbrisultati; }

private slots:
    // A deleted result goes into the bin with every field, comes back as it was, is not
    // doubled, and is erased for real when the bin is emptied.
    void recycleBin()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        ArchivioModel archivio(env.session);
        auto rs = db(env).openRecordset("prima-C");
        rs->addNew();
        int k = 0;
        for (const QString &f : pupilFields())
            if (f != "data")
                rs->setField(f, f == "nome" ? QVariant("CANCELLATA PER SBAGLIO") : QVariant(++k));
        QVERIFY(rs->update());
        env.addPupil("RESTA QUI");
        const QStringList before = test::tableRows(db(env).sql(), "prima-C");
        archivio.chooseClass(2);
        archivio.select(0);
        QCOMPARE(archivio.valori().cell(1, 1), QString("CANCELLATA PER SBAGLIO"));
        env.clock.advanceSecs(3600);
        archivio.elimino();
        QCOMPARE(archivio.numalunni(), 1);
        QList<DeletedResult> bin = binContents(db(env));
        QCOMPARE(bin.size(), 1);
        QCOMPARE(bin[0].nome, QString("CANCELLATA PER SBAGLIO"));
        QCOMPARE(bin[0].classe, QString("prima-C"));
        QCOMPARE(bin[0].eliminato, QString("2026-09-14 10:00:00"));

        QString m;
        QVERIFY(restoreFromBin(db(env), bin[0].id, &m));
        QCOMPARE(test::tableRows(db(env).sql(), "prima-C"), before);
        QVERIFY(binContents(db(env)).isEmpty());
        QVERIFY(!restoreFromBin(db(env), bin[0].id, &m));

        // Deleted again, then the same record imported again: putting it back would double it.
        archivio.chooseClass(2);
        archivio.select(0);
        archivio.elimino();
        bin = binContents(db(env));
        QSqlQuery q(db(env).sql());
        QVERIFY(q.exec("INSERT INTO \"prima-C\" (nome, data) SELECT nome, data FROM eliminati"));
        QVERIFY(!restoreFromBin(db(env), bin[0].id, &m));
        QVERIFY2(m.contains("stessa data"), qPrintable(m));
        QCOMPARE(binContents(db(env)).size(), 1);

        // The doubled copy is deleted too; emptying the bin leaves no trace of the name in
        // the file or its log.
        archivio.chooseClass(2);
        QCOMPARE(archivio.valori().cell(2, 1), QString("CANCELLATA PER SBAGLIO"));
        archivio.select(1);
        archivio.elimino();
        QCOMPARE(binContents(db(env)).size(), 2);
        const bool file = !env.folder.onServer(); // the file's bytes, overwritten on deletion
        QVERIFY(!file || test::fileAndLog(env.folder.file("quorvane.mdb")).contains("CANCELLATA PER SBAGLIO"));
        QString e;
        QVERIFY(emptyBin(db(env), &e));
        QVERIFY(binContents(db(env)).isEmpty());
        QVERIFY(!file || !test::fileAndLog(env.folder.file("quorvane.mdb")).contains("CANCELLATA PER SBAGLIO"));
        QCOMPARE(test::tableRows(db(env).sql(), "prima-C").size(), 1);
        QCOMPARE(test::integrityCheck(db(env).sql()), QString("ok"));
    }
};

QTEST_GUILESS_MAIN(TstCestino)
#include "tst_cestino.moc"
