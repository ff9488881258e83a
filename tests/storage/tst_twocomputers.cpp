// Two computers on one pupil's record: a computer left behind writes nothing over the newer
// work of the one on which the pupil resumed the test (two labcomputer processes), its pupil
// is told and sent back to the start screen, and a store blocked by another connection's
// lock fails within seconds. On the SQLite file and, in the server run, on the server alike.
#include "battery/comprehension/letturamodel.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QElapsedTimer>
#include <algorithm>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

const QString kClass = QStringLiteral("prima-B");

QString finish(QProcess &p)
{
    p.waitForFinished(90000);
    const QString said = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? said : "ERRORE " + said;
}

// "sub inferen1 answers last-answer-time" of the class's only record.
QStringList record(Database &db, const QString &table)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT sub, inferen1, (SELECT count(*) FROM risposte r WHERE r.data = t.data), "
                               "(SELECT max(quando) FROM risposte r WHERE r.data = t.data) FROM \"%1\" t")
                    .arg(table))
        || !q.next())
        return {};
    return {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()};
}

} // namespace

class TstTwoComputers : public QObject {
    Q_OBJECT

    static void start(QProcess &p, const QStringList &args)
    {
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(qEnvironmentVariable("QUORVANE_BINARY_DIR") + "/labcomputer", args);
    }

private slots:
    // The pupil leaves on question 4 and is resumed on two computers: the one behind reads
    // sub 4 and waits; the other stores 5..9; the first store of the one behind then finds
    // the record moved on and writes nothing, its answers included.
    void computerLeftBehindWritesNothing()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        const QString dir = folder.path();
        QProcess first;
        start(first, {dir, kClass, "nuovo", "ROSSI", "N7", "4", "0"});
        QVERIFY(!finish(first).startsWith("ERRORE"));

        const qint64 t0 = QDateTime::currentMSecsSinceEpoch() + 3000;
        const qint64 late = t0 + 8000;
        QProcess behind, ahead;
        start(behind, {dir, kClass, "riprendo", "ROSSI", "N7", "3", "0", QString::number(t0), QString::number(late)});
        start(ahead, {dir, kClass, "riprendo", "ROSSI", "N7", "5", "0", QString::number(t0 + 2000)});
        const QString aheadSaid = finish(ahead);
        QVERIFY2(aheadSaid.count("store ") == 5 && !aheadSaid.startsWith("ERRORE"), qPrintable(aheadSaid));
        QVERIFY2(QDateTime::currentMSecsSinceEpoch() < late, "the computer ahead ended after the one behind stored");
        const QString behindSaid = finish(behind);
        QVERIFY2(behindSaid.contains("altrove") && !behindSaid.contains("store ") && !behindSaid.startsWith("ERRORE"),
                 qPrintable(behindSaid));

        QString e;
        auto db = folder.open(&e);
        QVERIFY2(db, qPrintable(e));
        const QStringList r = record(*db, kClass);
        QCOMPARE(r.mid(0, 3), (QStringList{"9", "9", "9"}));
        // Every answer kept was written before the computer behind tried its store.
        QVERIFY2(r.value(3) < QDateTime::fromMSecsSinceEpoch(late).toString("yyyy-MM-dd HH:mm:ss"), qPrintable(r.value(3)));
    }

    // In one program: the record moved on under a reading test (another connection wrote
    // it), so the next checkpoint writes nothing, the pupil is told once (not also that the
    // store failed), the start screen is back and the answers waiting are dropped.
    void pupilIsToldAndSentToTheStartScreen()
    {
        test::ModelEnv env(kClass);
        QVERIFY2(env.folder.ok(), qPrintable(env.folder.error()));
        const QString bookmark = env.addPupil(QStringLiteral("ROSSI ANNA"));
        env.session.state.tipoavvio = kAvvioNuovo;
        LetturaModel m(env.session);
        m.setUp();
        m.choose(0, true);
        QCOMPARE(m.nextQuestion(), LetturaModel::Outcome::Shown);
        auto other = env.folder.open();
        QVERIFY(other);
        QVERIFY(QSqlQuery(other->sql()).exec(QStringLiteral("UPDATE \"%1\" SET sub = 5 WHERE rowid = %2").arg(kClass, bookmark)));

        m.choose(1, true);
        QCOMPARE(m.nextQuestion(), LetturaModel::Outcome::NotStored);
        QCOMPARE(env.dialogs.alerts, QStringList{Session::movedOnMessage()});
        QVERIFY(env.nav.last() == Screen::FLINIZIO);
        QVERIFY(std::count(env.nav.hidden.begin(), env.nav.hidden.end(), Screen::FLETTURA) == 1);
        QCOMPARE(env.session.pendingAnswers(), 0);
        QCOMPARE(record(*other, kClass).mid(0, 3), (QStringList{"5", "0", "1"}));
        // Nothing more of this test reaches the record from this computer.
        QVERIFY(!env.session.storePupil({{QStringLiteral("sub"), 6}}));
    }

    // Another connection holds the pupil's row (a transaction left open): the store fails
    // within seconds, not after the other lets go, and succeeds once it has.
    void storeBlockedByALockFailsWithinSeconds()
    {
        test::ModelEnv env(kClass);
        QVERIFY2(env.folder.ok(), qPrintable(env.folder.error()));
        const QString bookmark = env.addPupil(QStringLiteral("ROSSI ANNA"));
        QVERIFY(env.session.holdRecord());
        auto other = env.folder.open();
        QVERIFY(other && other->begin());
        QVERIFY(QSqlQuery(other->sql()).exec(QStringLiteral("UPDATE \"%1\" SET temgram = 1 WHERE rowid = %2").arg(kClass, bookmark)));
        QElapsedTimer t;
        t.start();
        const bool storedWhileHeld = env.session.storePupil({{QStringLiteral("sub"), 2}, {QStringLiteral("arrivo"), 1}});
        const qint64 waited = t.elapsed();
        QVERIFY(other->rollback());
        QVERIFY(!storedWhileHeld);
        QVERIFY2(waited < 2 * Database::kLockTimeoutMs, qPrintable(QString::number(waited)));
        QVERIFY(env.session.storePupil({{QStringLiteral("sub"), 2}, {QStringLiteral("arrivo"), 1}}));
        QCOMPARE(env.stored(QStringLiteral("sub")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TstTwoComputers)
#include "tst_twocomputers.moc"
