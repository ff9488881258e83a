// Many lab computers on one server at once, as separate processes (tools/labcomputer): thirty
// pupils storing into the same class, two of them registering the same name at the same
// moment, the teacher deleting a pupil's record while that pupil stores, and a pupil resumed
// on another computer. Afterwards every record is checked: none lost, none doubled, none
// with another's fields or answers. Runs only against the test cluster.
#include "archive/cestino.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QDateTime>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>
#include <thread>

using namespace qv;

namespace {

constexpr int kStores = 8;
const QString kClass = QStringLiteral("prima-B");

// A record as stored, with the answers kept for it: "nome sub inferen1 fatti1 temlettura | answers".
QStringList records(Database &db, const QString &table, const QString &where = {})
{
    QSqlQuery q(db.sql());
    const QString sql = QStringLiteral(
        "SELECT concat_ws(' ', nome, sub, inferen1, fatti1, temlettura, '|', "
        "(SELECT string_agg(numero || '=' || risposta, ',' ORDER BY numero) FROM risposte r WHERE r.data = t.data)) "
        "FROM \"%1\" t %2 ORDER BY nome, data").arg(table, where);
    QStringList out;
    if (!q.exec(sql))
        return {q.lastError().text()};
    while (q.next())
        out << q.value(0).toString();
    return out;
}

// What a pupil leaves whose stores `from`..`n` went through.
QString expected(const QString &nome, int number, int n, int from = 1)
{
    QStringList answers;
    for (int k = from; k <= n; ++k)
        answers << QStringLiteral("%1=%2").arg(k).arg(nome);
    return QStringLiteral("%1 %2 %2 %3 %3 | %4").arg(nome).arg(n).arg(number).arg(answers.join(','));
}

} // namespace

class TstPgLab : public QObject {
    Q_OBJECT

    QProcess *computer(const QStringList &args)
    {
        auto *p = new QProcess(this);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        // The teacher's login at the archive's door of the one that deletes.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVANE_LOGIN", test::DataFolder::kTeacherLogin);
        env.insert("QUORVANE_PASSWORD", test::DataFolder::kTeacherPassword);
        p->setProcessEnvironment(env);
        p->start(qEnvironmentVariable("QUORVANE_BINARY_DIR") + "/labcomputer", args);
        return p;
    }
    static QString finish(QProcess *p)
    {
        p->waitForFinished(90000);
        const QString said = QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError());
        return p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0 ? said : "ERRORE " + said;
    }

private slots:
    void lab()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok() && folder.onServer(), qPrintable(folder.error() + " (QUORVANE_PG names no test server?)"));
        const QString dir = folder.path();
        // Before: the pupil to resume started on one computer, and the one the teacher deletes.
        QVERIFY(!finish(computer({dir, kClass, "nuovo", "RIPRESA", "N50", "3", "0"})).startsWith("ERRORE"));
        QVERIFY(!finish(computer({dir, kClass, "nuovo", "VITTIMA", "N40", "0", "0"})).startsWith("ERRORE"));
        // All begin together, once every process has had time to start.
        const QString start = QString::number(QDateTime::currentMSecsSinceEpoch() + 10000);
        QList<QProcess *> pupils;
        for (int i = 1; i <= 27; ++i)
            pupils << computer({dir, kClass, "nuovo", "ALUNNO", QStringLiteral("N%1").arg(i), QString::number(kStores), "150", start});
        for (int twin = 0; twin < 2; ++twin)
            pupils << computer({dir, kClass, "nuovo", "STESSO", "N31", QString::number(kStores), "150", start});
        QProcess *victim = computer({dir, kClass, "riprendo", "VITTIMA", "N40", "30", "40", start});
        QProcess *resumed = computer({dir, kClass, "riprendo", "RIPRESA", "N50", QString::number(kStores), "150", start});
        const QString later = QString::number(start.toLongLong() + 600);
        QProcess *teacher = computer({dir, kClass, "elimino", "VITTIMA", "N40", later});

        for (QProcess *p : pupils) {
            const QString said = finish(p);
            QVERIFY2(said.count("store ") == kStores && !said.contains("fallito") && !said.startsWith("ERRORE"), qPrintable(said));
        }
        QVERIFY2(!finish(resumed).contains("fallito"), "the resumed pupil failed a store");
        const QString deleted = finish(teacher);
        QVERIFY2(deleted.startsWith("eliminato"), qPrintable(deleted));
        // Its stores after the deletion fail; those before it are all in the bin.
        const QString victimSaid = finish(victim);
        QVERIFY2(victimSaid.contains("fallito") && !victimSaid.startsWith("ERRORE"), qPrintable(victimSaid));
        const int stored = int(victimSaid.count("store "));

        QString e;
        auto db = folder.open(&e);
        QVERIFY2(db, qPrintable(e));
        QStringList want;
        for (int i = 1; i <= 27; ++i)
            want << expected(QStringLiteral("ALUNNO N%1").arg(i), i, kStores);
        want << expected("RIPRESA N50", 50, 3 + kStores);
        want << expected("STESSO N31", 31, kStores) << expected("STESSO N31", 31, kStores);
        want.sort();
        QCOMPARE(records(*db, kClass), want);
        // A victim started late under load may be deleted before its first store.
        QCOMPARE(records(*db, "eliminati"),
                 QStringList{stored ? expected("VITTIMA N40", 40, 1 + stored, 2) : QStringLiteral("VITTIMA N40 1 |")});
    }

    // The teacher's deletion waits for a store in progress on the same record, and the bin
    // gets the record as that store left it, not as it was before.
    void deletionWaitsForAStoreInProgress()
    {
        test::ModelEnv env(kClass);
        QVERIFY2(env.folder.ok() && env.folder.onServer(), qPrintable(env.folder.error()));
        const QString bookmark = env.addPupil("ROSSI ANNA");
        Database &db = *env.session.state.dbrisultati;
        QVERIFY(db.begin());
        Recordset &rs = *env.session.state.rsclasse;
        QVERIFY(rs.setBookmark(bookmark) && rs.edit() && rs.setField("sub", 7) && rs.update());
        QString error = "not run";
        std::thread teacher([&] {
            QString e;
            auto other = env.folder.open(&e);
            error = other && moveToBin(*other, kClass, bookmark.toLongLong(), QDateTime::currentDateTime(), &e) ? QString() : e;
        });
        QThread::msleep(500);
        QVERIFY(db.commit());
        teacher.join();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const auto archive = env.folder.open(); // the bin is the teachers' to read
        QCOMPARE(records(*archive, "eliminati"), QStringList{"ROSSI ANNA 7 |"});
    }
};

QTEST_GUILESS_MAIN(TstPgLab)
#include "tst_pglab.moc"
