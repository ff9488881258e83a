// Reading a class into the result matrix, the completion flag, the archive's class choice
// and caption, and deletion.
#include "archive/archivio.h"
#include "archive/resultmatrix.h"
#include "storage/classmap.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qv;

namespace {

QString addRecord(Database &db, const QString &table, const QVariantMap &fields)
{
    auto rs = db.openRecordset(table);
    if (!rs)
        return {};
    rs->addNew();
    for (auto it = fields.begin(); it != fields.end(); ++it)
        rs->setField(it.key(), it.value());
    if (!rs->update())
        return {};
    rs->setBookmark(rs->lastModified());
    return rs->field("data").toString();
}

} // namespace

class TstMatrice : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ModelEnv> env;
    Database &db() { return *env->session.state.dbrisultati; }

private slots:
    void init()
    {
        env = std::make_unique<test::ModelEnv>("prima-C", test::ModelEnv::Road::Archive);
        QVERIFY2(env->folder.ok(), qPrintable(env->folder.error()));
        QVERIFY(env->session.state.dbrisultati);
    }
    void cleanup() { env.reset(); }

    void cellsSumsAndEmptyFields()
    {
        addRecord(db(), "prima-C", {{"nome", "ZETA ANNA"}, {"arrivo", 2}, {"sub", 14}, {"fatti1", 4},
                                    {"lessico1", 5}, {"inferen1", 6}, {"sintesi1", 1}, {"temlettura", 12}});
        addRecord(db(), "prima-C", {{"nome", "ALFA BRUNO"}, {"arrivo", 10}, {"sub", 20}, {"fatti1", 4},
                                    {"fatti2", 5}, {"inferen1", 6}, {"inferen2", 7}, {"sintesi1", 1},
                                    {"sintesi2", 0}, {"scopi2", 3}, {"gramsem", 44}, {"gramcom", 2},
                                    {"temgram", 9}, {"logsem", 30}, {"temlogica", 0}, {"elempol", 40}});
        ResultMatrix v;
        QVERIFY(matrice(env->session.state, v));
        QCOMPARE(v.numalunni(), 2);
        // The table's own order, not the name order.
        QCOMPARE(v.cell(1, 1), QString("ZETA ANNA"));
        QCOMPARE(v.cell(2, 1), QString("ALFA BRUNO"));
        QVERIFY(!v.cell(1, 2).isEmpty());
        QVERIFY(v.cell(1, 2) != v.cell(2, 2));
        // First passage only: a sum with a missing half shows 0.
        QCOMPARE(v.cell(1, 3), QString("0"));
        QCOMPARE(v.cell(1, 4), QString("5"));
        QCOMPARE(v.cell(1, 5), QString("0"));
        QCOMPARE(v.cell(1, 7), QString("0"));
        for (int c = 8; c <= 16; ++c)
            QCOMPARE(v.cell(1, c), QString("0"));
        QCOMPARE(v.cell(1, 17), QString("2"));
        QCOMPARE(v.cell(1, 18), QString("14"));
        QCOMPARE(v.cell(1, 19), QString("12"));
        for (int c = 20; c <= 26; ++c)
            QVERIFY(v.cell(1, c).isEmpty());

        QCOMPARE(v.cell(2, 3), QString("9"));
        QCOMPARE(v.cell(2, 5), QString("13"));
        QCOMPARE(v.cell(2, 6), QString("3"));
        QCOMPARE(v.cell(2, 7), QString("1"));
        QCOMPARE(v.cell(2, 8), QString("44"));
        QCOMPARE(v.cell(2, 9), QString("2"));
        QCOMPARE(v.cell(2, 10), QString("30"));
        QCOMPARE(v.cell(2, 16), QString("40"));
        QCOMPARE(v.cell(2, 20), QString("9"));
        QCOMPARE(v.cell(2, 21), QString("0"));
        // Outside the matrix: empty.
        QVERIFY(v.cell(3, 1).isEmpty());
        QVERIFY(v.cell(0, 1).isEmpty());
        QVERIFY(v.cell(1, 27).isEmpty());
    }

    void matriceReplacesTheSharedCursor()
    {
        addRecord(db(), "prima-C", {{"nome", "UNO"}});
        Recordset *before = env->session.state.rsclasse.get();
        ResultMatrix v;
        QVERIFY(matrice(env->session.state, v));
        QVERIFY(env->session.state.rsclasse);
        QVERIFY(env->session.state.rsclasse.get() != before);
        QCOMPARE(env->session.state.rsclasse->table(), QString("prima-C"));
        // A table outside the class map is never read.
        env->session.state.tabellaclasse = "prima-I";
        QVERIFY(!matrice(env->session.state, v));
        QCOMPARE(v.numalunni(), 0);
    }

    void completionFlag()
    {
        addRecord(db(), "prima-C", {{"nome", "A"}, {"arrivo", 10}, {"sub", 20}});
        addRecord(db(), "prima-C", {{"nome", "B"}, {"arrivo", 10}, {"sub", 19}});
        addRecord(db(), "prima-C", {{"nome", "C"}, {"arrivo", 10}});
        addRecord(db(), "prima-C", {{"nome", "D"}, {"sub", 20}});
        ResultMatrix v;
        QVERIFY(matrice(env->session.state, v));
        QVERIFY(v.finished(1));
        QVERIFY(!v.finished(2));
        QVERIFY(!v.finished(3));
        QVERIFY(!v.finished(4));
        QCOMPARE(leadingNumber(""), 0);
        QCOMPARE(leadingNumber("20"), 20);
        QCOMPARE(leadingNumber(" 12abc"), 12);
        QCOMPARE(leadingNumber("x3"), 0);
        QCOMPARE(leadingNumber("-4"), -4);
    }

    void classCaptionsAndTables()
    {
        const QStringList want = {"prima A", "prima  B", "prima  C", "prima  D", "prima  E",
                                  "prima  F", "prima  G", "prima  H", "prima  I", "prima  L"};
        for (int i = 0; i < 10; ++i)
            QCOMPARE(archiveCaption(i), want[i]);
        QCOMPARE(classIndexOfCaption("Prima  I"), 8);
        QCOMPARE(classIndexOfCaption("prima-A"), 0);
        QCOMPARE(classIndexOfCaption("prima-J"), 8);
        QCOMPARE(classIndexOfCaption(""), -1);

        addRecord(db(), "prima-J", {{"nome", "ALUNNO DELLA I"}});
        ArchivioModel m(env->session);
        m.chooseClass(8);
        QCOMPARE(m.caption(), QString("prima  I"));
        QCOMPARE(env->session.state.nomeclasse, QString("prima  I"));
        QCOMPARE(env->session.state.tabellaclasse, QString("prima-J"));
        QCOMPARE(env->session.state.rsclasse->table(), QString("prima-J"));
        QCOMPARE(m.numalunni(), 1);
        QCOMPARE(m.rigascelta(), 0);
    }

    // The caption always names the class whose records are shown.
    void openFromStartShowsTheClassChosenLast()
    {
        addRecord(db(), "prima-B", {{"nome", "DELLA B"}});
        addRecord(db(), "prima-D", {{"nome", "DELLA D"}});
        Modquorv &st = env->session.state;
        ArchivioModel m(env->session);

        // Chosen on the start screen.
        st.nomeclasse = "Prima  B";
        st.tabellaclasse = "prima-B";
        m.openFromStart(st.nomeclasse);
        QCOMPARE(m.caption(), QString("Prima  B"));
        QCOMPARE(m.valori().cell(1, 1), QString("DELLA B"));

        // Chosen in the archive, then the archive is opened again from the start screen.
        m.chooseClass(3);
        m.openFromStart(st.nomeclasse);
        QCOMPARE(m.caption(), QString("prima  D"));
        QCOMPARE(m.valori().cell(1, 1), QString("DELLA D"));

        // A caption naming another class than the table is replaced by the table's class.
        st.nomeclasse = "Prima  B";
        st.tabellaclasse = "prima-D";
        m.openFromStart(st.nomeclasse);
        QCOMPARE(m.indiceclasse(), 3);
        QCOMPARE(m.caption(), QString("prima  D"));
        QCOMPARE(st.nomeclasse, QString("prima  D"));

        // Nothing chosen yet: class A.
        st.tabellaclasse.clear();
        m.openFromStart("prima-A");
        QCOMPARE(m.caption(), QString("prima-A"));
        QCOMPARE(st.tabellaclasse, QString("prima-A"));
        QCOMPARE(m.numalunni(), 0);
        QVERIFY(!m.hasPupil());
    }

    void deletion()
    {
        addRecord(db(), "prima-C", {{"nome", "PRIMO"}});
        const QString d2 = addRecord(db(), "prima-C", {{"nome", "SECONDO"}});
        addRecord(db(), "prima-C", {{"nome", "TERZO"}});
        ArchivioModel m(env->session);
        m.chooseClass(2);
        QCOMPARE(m.numalunni(), 3);
        m.select(1);
        QCOMPARE(m.datascelta(), d2);

        env->dialogs.answers = {false};
        m.elimino();
        QCOMPARE(env->dialogs.questions.last(), QString("Sei sicuro di voler cancellare?"));
        QCOMPARE(m.numalunni(), 3);
        QCOMPARE(db().openRecordset("prima-C")->recordCount(), 3);

        env->dialogs.answers = {true};
        m.elimino();
        QCOMPARE(m.numalunni(), 2);
        QCOMPARE(m.rigascelta(), 0);
        QCOMPARE(m.valori().cell(1, 1), QString("PRIMO"));
        QCOMPARE(m.valori().cell(2, 1), QString("TERZO"));
        QCOMPARE(db().openRecordset("prima-C")->recordCount(), 2);
        QVERIFY(env->dialogs.alerts.isEmpty());

        // The record went meanwhile: the message, nothing else changes.
        m.select(1);
        auto other = db().openRecordset("prima-C");
        other->setIndex("data");
        other->seek("=", m.datascelta());
        QVERIFY(other->remove());
        env->dialogs.answers = {true};
        m.elimino();
        QCOMPARE(env->dialogs.alerts.last(), QString("Spiacente, non trovo il record da cancellare"));
        QCOMPARE(m.numalunni(), 2);
        QCOMPARE(m.rigascelta(), 1);
    }

    void emptyClassIsHarmless()
    {
        ArchivioModel m(env->session);
        m.chooseClass(4);
        QCOMPARE(m.numalunni(), 0);
        QVERIFY(!m.hasPupil());
        const int asked = int(env->dialogs.questions.size());
        m.elimino();
        QCOMPARE(int(env->dialogs.questions.size()), asked);
        QCOMPARE(env->dialogs.alerts.size(), 1);
        m.select(0);
        QVERIFY(!m.hasPupil());
        QCOMPARE(m.reportClasse().lines.size(), 4);
    }

    void moreThanAHundredRecords()
    {
        QVERIFY(db().begin());
        for (int i = 0; i < 150; ++i)
            addRecord(db(), "prima-C", {{"nome", QString("ALUNNO %1").arg(i, 3, 10, QChar('0'))}});
        QVERIFY(db().commit());
        ArchivioModel m(env->session);
        m.chooseClass(2);
        QCOMPARE(m.numalunni(), 150);
        QCOMPARE(m.valori().cell(150, 1), QString("ALUNNO 149"));
        QCOMPARE(m.reportClasse().lines.size(), 154);
    }
};

QTEST_GUILESS_MAIN(TstMatrice)
#include "tst_resultmatrix.moc"
