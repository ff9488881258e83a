// The per-question analysis from scripted answers: right, wrong and empty counts, the wrong
// answer given most, the ten hardest items, pupils covered, answers of a pupil who no longer
// has a record, and the spreadsheet file.
#include "archive/csvexport.h"
#include "battery/items.h"
#include "insight/questions.h"
#include "support/fakes.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;
using namespace qv::insight;

class TstQuestions : public QObject {
    Q_OBJECT

    // One logged answer of the pupil whose record has `data`.
    static bool answer(Database &db, const QString &data, const QString &prova, int numero, const QString &given, bool right)
    {
        QSqlQuery q(db.sql());
        q.prepare("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) "
                  "VALUES ('prima-C', ?, ?, ?, ?, ?, '2026-09-14 09:00:00')");
        q.addBindValue(data);
        q.addBindValue(prova);
        q.addBindValue(numero);
        q.addBindValue(given);
        q.addBindValue(right ? 1 : 0);
        return q.exec();
    }

    static const ItemStats &item(const QuestionAnalysis &a, const QString &prova, int numero)
    {
        for (const ItemStats &s : a.items)
            if (s.prova == prova && s.numero == numero)
                return s;
        static const ItemStats none;
        return none;
    }

private slots:
    void scriptedAnswers()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        Database &db = *env.session.state.dbrisultati;
        QStringList pupils;
        for (const char *n : {"UNO", "DUE", "TRE", "QUATTRO", "SENZA RISPOSTE"}) {
            env.addPupil(n);
            pupils << env.stored("data").toString();
        }
        // Reading question 1: three right, one "3" wrong; question 2: "1" twice, "4" twice
        // (a tie: the first in order is named), no right; question 3 left empty by two.
        const struct { int pupil; int numero; const char *given; bool right; } script[] = {
            {0, 1, "2", true}, {1, 1, "2", true}, {2, 1, "2", true}, {3, 1, "3", false},
            {0, 2, "1", false}, {1, 2, "4", false}, {2, 2, "1", false}, {3, 2, "4", false},
            {0, 3, "", false}, {1, 3, "", false}, {2, 3, "1", true},
        };
        for (const auto &s : script)
            QVERIFY(answer(db, pupils[s.pupil], "lettura", s.numero, s.given, s.right));
        // Eleven map places, each missed by one pupil more than the last, for the hardest ten.
        for (int n = 1; n <= 11; ++n)
            for (int p = 0; p < 4; ++p)
                QVERIFY(answer(db, pupils[p], "fisica", n, "Arno", p >= n % 4));
        // A pupil deleted for good: answers left behind count for nothing.
        QVERIFY(answer(db, "2020-01-01 00:00:00.000 deadbeef", "lettura", 1, "3", false));

        QuestionAnalysis a;
        QString e;
        QVERIFY2(questionAnalysis(db, "prima-C", a, &e), qPrintable(e));
        QCOMPARE(a.records, 5);
        QCOMPARE(a.covered, 4);
        size_t expected = 0;
        for (const QString &t : itemTests())
            expected += size_t(testItems(t).size());
        QCOMPARE(a.items.size(), expected);

        const ItemStats &q1 = item(a, "lettura", 1);
        QCOMPARE(QList<int>({q1.right, q1.wrong, q1.empty}), QList<int>({3, 1, 0}));
        QCOMPARE(q1.share(), 0.75);
        QCOMPARE(q1.commonWrong, QString("3"));
        QCOMPARE(q1.testo, testItems("lettura").at(0).testo);
        const ItemStats &q2 = item(a, "lettura", 2);
        QCOMPARE(QList<int>({q2.right, q2.wrong, q2.empty, q2.commonWrongCount}), QList<int>({0, 4, 0, 2}));
        QCOMPARE(q2.commonWrong, QString("1"));
        const ItemStats &q3 = item(a, "lettura", 3);
        QCOMPARE(QList<int>({q3.right, q3.wrong, q3.empty}), QList<int>({1, 0, 2}));
        QVERIFY(q3.commonWrong.isEmpty());
        QCOMPARE(item(a, "lettura", 4).share(), -1.0);

        // The hardest: question 2 (0 %), then the places with one right of four (25 %).
        QCOMPARE(a.hardest.size(), size_t(10));
        QCOMPARE(a.items[size_t(a.hardest[0])].numero, 2);
        for (size_t i = 1; i < a.hardest.size(); ++i)
            QVERIFY(a.items[size_t(a.hardest[i - 1])].share() <= a.items[size_t(a.hardest[i])].share());
        QCOMPARE(a.items[size_t(a.hardest[1])].share(), 0.25);

        const QString csv = QString::fromUtf8(domandeCsv(a).mid(3));
        QVERIFY(csv.startsWith("Prova;Domanda;Testo;Frase;Risposta giusta;"));
        QCOMPARE(csv.count("\r\n"), int(expected) + 1);
        // Options by their letter and text, as the pupil read them, never by their number.
        QVERIFY2(csv.contains("\r\nLettura;brano 1, domanda 2;Quando si è svolta la pesca?;;c) da prima dell'alba "
                              "fino al pomeriggio;0;4;0;0;a) dal tramonto all'alba;2\r\n"),
                 qPrintable(csv.left(600)));
    }

    // Items numbered as on the test's screen, answers as the options the pupil read.
    void itemsAsThePupilSawThem()
    {
        const struct { const char *prova; int numero; const char *name; } places[] = {
            {"lettura", 13, "Lettura, brano 1, domanda 13"}, {"lettura", 20, "Lettura, brano 2, domanda 7"},
            {"lettura", 34, "Lettura, brano 2, domanda 21"}, {"grammatica", 23, "Grammatica, frase 3, parola 3"},
            {"logica", 1, "Logica, frase 1, elemento 1"},   {"frasi", 12, "Frasi, domanda 12"},
            {"cause", 15, "Cause, schema 5, casella 3"},    {"cause", 19, "Cause, schema 6, casella 4"},
            {"cronologia", 5, "Cronologia, parte 1, avvenimento 1"},
            {"cronologia", 14, "Cronologia, parte 2, avvenimento 10"},
            {"fisica", 22, "Carta fisica, luogo 22"},         {"politica", 4, "Carta politica, luogo 4 (regione)"},
            {"politica", 24, "Carta politica, luogo 4 (capoluogo)"},
        };
        for (const auto &c : places)
            QCOMPARE(itemName(c.prova, c.numero), QString::fromUtf8(c.name));
        // Every item of every test has a place of its own.
        QSet<QString> seen;
        for (const QString &t : itemTests())
            for (const Item &it : testItems(t)) {
                const QString n = itemName(t, it.numero);
                QVERIFY2(!n.contains("numero") && !seen.contains(n), qPrintable(n));
                seen.insert(n);
            }
        const struct { const char *prova; int numero; const char *given, *shown; } answers[] = {
            {"frasi", 1, "3", "c) solo alcuni gatti sono grigi"},
            {"lettura", 2, "4", "d) dal pomeriggio alla sera"},
            {"cronologia", 1, "476 d.C.", "476 d.C."}, // a caption stays as it was dragged
            {"lettura", 2, "", ""},
        };
        for (const auto &c : answers)
            QCOMPARE(answerText(c.prova, c.numero, c.given), QString::fromUtf8(c.shown));
        // The first synthesis question's options are its summaries, led by their letter.
        QVERIFY(answerText("lettura", 13, "2").startsWith("b) Un ragazzo in vacanza"));
    }

    void noAnswersAtAll()
    {
        test::ModelEnv env("prima-C", test::ModelEnv::Road::Archive);
        env.addPupil("IMPORTATO");
        QuestionAnalysis a;
        QVERIFY(questionAnalysis(*env.session.state.dbrisultati, "prima-C", a, nullptr));
        QCOMPARE(a.records, 1);
        QCOMPARE(a.covered, 0);
        QVERIFY(a.hardest.empty());
        QVERIFY(!questionAnalysis(*env.session.state.dbrisultati, "prima-X", a, nullptr));
    }
};

QTEST_GUILESS_MAIN(TstQuestions)
#include "tst_questions.moc"
