// Name entry and the pupil's compensatory tools: set behind the teacher's password before
// the record exists, kept until it does, stored with it; a resuming pupil gets the tools
// stored for the record.
#include "storage/strumenti.h"
#include "startup/nome.h"
#include "support/fakes.h"
#include "support/toolcodes.h"

#include <QtTest>

using namespace qv;

using test::tools;

class TstNomeTools : public QObject {
    Q_OBJECT

private slots:
    void toolsBeforeTheFirstQuestion_data()
    {
        QTest::addColumn<bool>("door");       // the teacher gives the password
        QTest::addColumn<QString>("chosen");  // the window's answer; "-" is Cancel
        QTest::addColumn<QString>("stored");  // tools stored for an interrupted record; "-": no record
        QTest::addColumn<QString>("expected");
        QTest::newRow("new pupil") << true << "VB125" << "-" << "VB125";
        QTest::newRow("door stays shut") << false << "V" << "-" << "";
        QTest::newRow("window cancelled") << true << "-" << "-" << "";
        QTest::newRow("resuming, as stored") << true << "-" << "FC" << "FC";
        QTest::newRow("resuming, changed") << true << "V" << "FC" << "V";
        QTest::newRow("resuming, all removed") << true << "" << "FC" << "";
    }
    void toolsBeforeTheFirstQuestion()
    {
        QFETCH(bool, door);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        test::ModelEnv env;
        Modquorv &st = env.session.state;
        QString data;
        if (stored != "-") {
            env.addPupil("ROSSI ANNA"); // interrupted in the reading test
            data = env.stored("data").toString();
            QVERIFY(writeTools(*st.dbrisultati, st.tabellaclasse, data, tools(stored)));
            st.modoavvio = "continuazione";
        } else {
            st.modoavvio = "inizio";
        }
        st.strumenti = tools("FC"); // left by nobody: the model sets it
        if (!door)
            env.dialogs.passwords = {{}};
        if (chosen != "-")
            env.dialogs.tools = {tools(chosen)};
        NomeModel m(env.session);
        m.chooseTools("Rossi", "Anna");
        QCOMPARE(env.dialogs.toolNames, door ? QStringList{"ROSSI ANNA"} : QStringList());
        // Nothing is stored before the record: the pupil may still leave.
        if (stored == "-")
            QVERIFY(classTools(*st.dbrisultati, st.tabellaclasse).isEmpty());

        QCOMPARE(m.confirm("Rossi", "Anna"), NomeModel::Outcome::Dispatched);
        if (data.isEmpty())
            data = env.stored("data").toString();
        QVERIFY(!data.isEmpty());
        PupilTools inFile;
        QVERIFY(readTools(*st.dbrisultati, st.tabellaclasse, data, &inFile));
        QCOMPARE(inFile, tools(expected));
        QCOMPARE(st.strumenti, tools(expected));
    }
};

QTEST_GUILESS_MAIN(TstNomeTools)
#include "tst_nometools.moc"
