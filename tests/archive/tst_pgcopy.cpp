// A computer's results file copied into the server: each record added, updated or left by
// the rule of import, with its answers; a second run (through the tool) doubles nothing; a
// failure in a later class leaves the server as it was. Runs only against the test cluster.
#include "archive/servercopy.h"
#include "storage/strumenti.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

struct Case {
    QString table;
    QVariantMap local;
    QVariantMap server; // the server's copy of the same record; empty: none
    QString outcome;    // "added", "updated", "left"
};

void add(Database &db, const QString &table, const QString &data, const QVariantMap &fields, const QString &answer)
{
    auto rs = db.openRecordset(table);
    QVERIFY(rs);
    rs->addNew();
    rs->setField("data", data);
    for (auto it = fields.begin(); it != fields.end(); ++it)
        rs->setField(it.key(), it.value());
    QVERIFY2(rs->update(), qPrintable(rs->lastError()));
    QSqlQuery q(db.sql());
    q.prepare("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) VALUES (?, ?, 'lettura', 1, ?, 1, '')");
    q.addBindValue(table);
    q.addBindValue(data);
    q.addBindValue(answer);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
}

QString one(Database &db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(db.sql());
    q.prepare(sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    return q.exec() && q.next() ? q.value(0).toString() : QStringLiteral("<%1>").arg(q.lastError().text());
}

// Every row of every class and of the answer log, for comparing the server before and after.
QString snapshot(Database &db)
{
    QString s;
    for (const char *t : {"prima-A", "prima-B", "prima-C", "prima-D", "prima-E", "prima-F", "prima-G", "prima-H", "prima-J", "prima-L"})
        s += one(db, QStringLiteral("SELECT count(*) || string_agg(t::text, '|' ORDER BY rowid) FROM \"%1\" t").arg(t));
    return s + one(db, "SELECT count(*) || string_agg(r::text, '|' ORDER BY data) FROM risposte r");
}

} // namespace

class TstPgCopy : public QObject {
    Q_OBJECT

private slots:
    void copy()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok() && folder.onServer(), qPrintable(folder.error() + " (QUORVANE_PG names no test server?)"));
        QString e;
        auto server = folder.open(&e);
        auto local = Database::open(folder.file("quorvane.mdb"), &e);
        QVERIFY2(server && local, qPrintable(e));
        const QVariantMap base{{"nome", "ROSSI ANNA"}, {"arrivo", 3}, {"sub", 2}, {"fatti1", 4}};
        auto with = [&](QVariantMap m, const QVariantMap &more) {
            for (auto it = more.begin(); it != more.end(); ++it)
                m[it.key()] = it.value();
            return m;
        };
        const QList<Case> cases = {
            {"prima-A", base, {}, "added"},
            {"prima-J", with(base, {{"nome", "SOLO QUI"}}), {}, "added"},
            {"prima-A", with(base, {{"arrivo", 4}}), base, "updated"},
            {"prima-B", with(base, {{"sub", 3}}), base, "updated"},
            {"prima-C", with(base, {{"gramsem", 12}}), base, "updated"},
            {"prima-C", base, base, "left"},
            {"prima-L", base, with(base, {{"arrivo", 5}, {"sub", 1}}), "left"},
            {"prima-L", with(base, {{"sub", 9}, {"gramsem", 3}}), with(base, {{"arrivo", 4}}), "left"},
        };
        for (int i = 0; i < cases.size(); ++i) {
            const Case &c = cases[i];
            const QString data = QStringLiteral("2026-09-14 09:00:00.%1 0000abcd").arg(i, 3, 10, QLatin1Char('0'));
            add(*local, c.table, data, c.local, "dal computer");
            if (!c.server.isEmpty())
                add(*server, c.table, data, c.server, "dal server");
        }
        // A pupil's tools travel with the record.
        const PupilTools tools{true, false, 150, true, false};
        const QString first = QStringLiteral("2026-09-14 09:00:00.000 0000abcd");
        QVERIFY(writeTools(*local, "prima-A", first, tools, &e));
        const ExchangeResult r = copiaSulServer(*server, *local);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(QList<int>({r.added, r.updated, r.present}), QList<int>({2, 3, 3}));
        PupilTools copied;
        QVERIFY2(readTools(*server, "prima-A", first, &copied, &e), qPrintable(e));
        QCOMPARE(copied, tools);
        for (int i = 0; i < cases.size(); ++i) {
            const Case &c = cases[i];
            const QString data = QStringLiteral("2026-09-14 09:00:00.%1 0000abcd").arg(i, 3, 10, QLatin1Char('0'));
            const QVariantMap &want = c.outcome == "left" ? c.server : c.local;
            QString row;
            QString expected;
            for (const char *f : {"nome", "arrivo", "sub", "fatti1", "gramsem"}) {
                row += one(*server, QStringLiteral("SELECT count(*) || ':' || coalesce(max(%1)::text, '-') FROM \"%2\" WHERE data = ?")
                                        .arg(f, c.table), {data}) + ' ';
                expected += "1:" + (want.contains(f) ? want[f].toString() : "-") + ' ';
            }
            row += one(*server, "SELECT string_agg(risposta, ',') FROM risposte WHERE classe = ? AND data = ?", {c.table, data});
            expected += c.outcome == "left" ? "dal server" : "dal computer";
            QVERIFY2(row == expected, qPrintable(QStringLiteral("case %1 (%2): %3, expected %4").arg(i).arg(c.outcome, row, expected)));
        }

        // Again, through the tool: everything is on the server already.
        const QString before = snapshot(*server);
        QProcess tool;
        tool.start(qEnvironmentVariable("QUORVANE_BINARY_DIR") + "/mkquorvane",
                   {"--copia-sul-server", "--utente", test::DataFolder::kTeacherLogin, folder.path()});
        tool.write(QByteArray(test::DataFolder::kTeacherPassword) + '\n');
        tool.closeWriteChannel();
        QVERIFY(tool.waitForFinished(60000));
        const QString said = QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
        QVERIFY2(tool.exitCode() == 0 && said.contains("0 risultati aggiunti, 0 aggiornati, 8 lasciati com'erano"), qPrintable(said));
        QCOMPARE(snapshot(*server), before);
    }

    // A record of a later class refused by the server: nothing of the earlier classes stays.
    void failureLeavesServerUnchanged()
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok() && folder.onServer(), qPrintable(folder.error()));
        QString e;
        auto server = folder.open(&e);
        auto local = Database::open(folder.file("quorvane.mdb"), &e);
        QVERIFY2(server && local, qPrintable(e));
        add(*local, "prima-A", "2026-09-14 09:00:00.001 00000001", {{"nome", "PRIMO"}, {"arrivo", 2}}, "a");
        add(*local, "prima-F", "2026-09-14 09:00:00.002 00000002", {{"nome", "GUASTO"}, {"arrivo", 2}}, "b");
        add(*server, "prima-A", "2026-09-14 09:00:00.003 00000003", {{"nome", "GIA' QUI"}, {"arrivo", 2}}, "c");
        const auto technician = folder.openAdmin(); // a trigger is the technician's to make
        QSqlQuery q(technician->sql());
        QVERIFY2(q.exec("CREATE FUNCTION guasto() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                        "IF NEW.nome = 'GUASTO' THEN RAISE EXCEPTION 'disco del server pieno'; END IF; RETURN NEW; END $$")
                     && q.exec("CREATE TRIGGER guasto BEFORE INSERT ON \"prima-F\" FOR EACH ROW EXECUTE FUNCTION guasto()"),
                 qPrintable(q.lastError().text()));
        const QString before = snapshot(*server);
        const ExchangeResult r = copiaSulServer(*server, *local);
        QVERIFY2(!r.ok && r.message.contains("il server è rimasto com'era") && r.message.contains("disco del server pieno"),
                 qPrintable(r.message));
        QCOMPARE(snapshot(*server), before);
    }
};

QTEST_GUILESS_MAIN(TstPgCopy)
#include "tst_pgcopy.moc"
