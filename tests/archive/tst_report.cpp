// The two printouts as text: every line, and the print column of every item.
#include "printout/printlines.h"
#include "archive/report.h"

#include <QtTest>

using namespace qv;

namespace {

ResultMatrix matrixOf(const QList<QVariantMap> &records)
{
    ResultMatrix m;
    for (const QVariantMap &rec : records)
        m.append(matrixRow([&](const QString &f) { return rec.value(f); }));
    return m;
}

QVariantMap complete(const QString &nome, const QString &data)
{
    return {{"nome", nome},      {"data", data},     {"arrivo", 10},     {"sub", 20},
            {"lessico1", 5},     {"fatti1", 4},      {"fatti2", 3},      {"inferen1", 6},
            {"inferen2", 5},     {"scopi2", 3},      {"sintesi1", 1},    {"sintesi2", 1},
            {"temlettura", 25},  {"gramsem", 40},    {"gramcom", 77},     {"temgram", 14},
            {"logsem", 30},      {"temlogica", 11},  {"frasi1", 9},      {"temfrasi", 6},
            {"causasem", 12},    {"causacom", 10},   {"temcause", 9},    {"cronolog", 18},
            {"temcrono", 8},     {"elemfis", 20},    {"temfisica", 5},   {"elempol", 33},
            {"tempolitica", 12}};
}

// 1-based print column at which `text` starts in `line`.
int columnOf(const QString &line, const QString &text, int from = 0)
{
    const int i = int(line.indexOf(text, from));
    return i < 0 ? -1 : i + 1;
}

} // namespace

class TstReport : public QObject {
    Q_OBJECT
private slots:
    void printLinesFollowsTheLinePrinter()
    {
        PrintLines p;
        p.tab(5).text("ab").tab(10).text("c").endLine();
        p.tab(3).text("long text").tab(4).text("x"); // left of the position: new line
        p.tab(2).number(7).text("|").number(53).text("|").number(-4).endLine();
        p.endLine();
        QCOMPARE(p.lines(), QStringList({"    ab   c", "  long text", "   x", "  7 | 53 |-4 ", ""}));
        // A tab to the very column the position is on stays on the line.
        PrintLines q;
        q.text("abcd").tab(5).text("e");
        QCOMPARE(q.lines(), QStringList({"abcde"}));
    }

    void pupilPrintoutLineByLine()
    {
        const ResultMatrix m = matrixOf({complete("ROSSI MARIO", "2026-09-14 09:00:00.000 0a1b2c3d")});
        const Report r = pupilReport(m, 1);
        QVERIFY(!r.landscape);
        const QStringList want = {
            "",
            "",
            "      ROSSI MARIO" + QString(27, ' ') + "14/09/2026 09:00",
            "",
            "",
            "   COMPRENSIONE DELLA LETTURA.   Minuti: 25",
            "",
            "   Individuazione di fatti espliciti: 7  su 9",
            "   Uso del contesto per individuare il significato dei termini: 5  su 6",
            "   Capacità di compiere inferenze: 11  su 13",
            "   Individuazione degli scopi degli autori: 3  su 4",
            "   Individuazione delle sintesi corrette: 2  su 2",
            "",
            "",
            "   ABILITA' GRAMMATICALI.   Minuti: 14 + 11",
            "",
            "   Analisi grammaticale semplificata: 40  su 53",
            "   Analisi logica semplificata: 30  su 34",
            "",
            "",
            "   Abilità logico-linguistiche: 9  su 12.  Minuti: 6",
            "",
            "",
            "   STORIA  Minuti (rel.causali): 9",
            "",
            "   Individuazione di relazioni causali semplici: 12  su 15",
            "   Individuazione di relazioni causali più complesse: 10  su 16",
            "   Abbinamento di date e avvenimenti: 18  su 20.   Minuti: 8",
            "",
            "",
            "   GEOGRAFIA",
            "",
            "   Individuazione di elementi fisici dell'Italia: 20  su 22.   Minuti: 5",
            "   Individuazione di regioni e capoluoghi di province: 33  su 40.   Minuti: 12",
            "",
        };
        QCOMPARE(r.lines.size(), want.size());
        for (int i = 0; i < want.size(); ++i)
            QCOMPARE(r.lines.at(i), want.at(i));
        QCOMPARE(columnOf(r.lines[2], "ROSSI"), 7);
        QCOMPARE(columnOf(r.lines[2], "14/09/2026"), 45);
        // gramcom (77) is not part of this printout.
        QVERIFY(!r.lines.join('\n').contains("77"));
        QVERIFY(r.title.contains("ROSSI MARIO"));
    }

    void pupilPrintoutOfATestNotTaken()
    {
        // Only the reading test's first passage and the grammar test are done.
        const ResultMatrix m = matrixOf({{{"nome", "BIANCHI ANNA"}, {"data", "d1"}, {"arrivo", 4}, {"sub", 1},
                                          {"fatti1", 4}, {"lessico1", 2}, {"temgram", 5}, {"gramsem", 20}}});
        const QStringList l = pupilReport(m, 1).lines;
        QCOMPARE(l[5], QString("   COMPRENSIONE DELLA LETTURA.   Minuti: "));
        QCOMPARE(l[7], QString("   Individuazione di fatti espliciti: 0  su 9"));
        QCOMPARE(l[8], QString("   Uso del contesto per individuare il significato dei termini: 2  su 6"));
        QCOMPARE(l[14], QString("   ABILITA' GRAMMATICALI.   Minuti: 5 + "));
        QCOMPARE(l[25], QString("   Individuazione di relazioni causali semplici: 0  su 15"));
        QCOMPARE(l[27], QString("   Abbinamento di date e avvenimenti: 0  su 20.   Minuti: "));
    }

    void longNamePushesTheDataToTheNextLine()
    {
        const QString n38(38, 'A'), n39(39, 'B');
        const ResultMatrix m = matrixOf({{{"nome", n38}, {"data", "D38"}}, {{"nome", n39}, {"data", "D39"}}});
        const QStringList a = pupilReport(m, 1).lines;
        QCOMPARE(a.size(), 35);
        QCOMPARE(a[2], QString(6, ' ') + n38 + "D38");
        const QStringList b = pupilReport(m, 2).lines;
        QCOMPARE(b.size(), 36);
        QCOMPARE(b[2], QString(6, ' ') + n39);
        QCOMPARE(b[3], QString(44, ' ') + "D39");
        QCOMPARE(b[6], QString("   COMPRENSIONE DELLA LETTURA.   Minuti: "));
    }

    void classTableColumns()
    {
        QVariantMap second = complete("VERDI GIUSEPPINA MARIA", "d2");
        second["gramcom"] = 3;
        const ResultMatrix m = matrixOf({complete("ROSSI MARIO", "d1"), second,
                                         {{"nome", "NERI LUCA"}, {"data", "d3"}, {"arrivo", 1}, {"sub", 1}}});
        const Report r = classReport(m, "prima  C");
        QVERIFY(r.landscape);
        QCOMPARE(r.columns, 190);
        QCOMPARE(r.lines.size(), 4 + 3);
        QCOMPARE(r.lines[0], QString(49, ' ') + "prima  C");
        QCOMPARE(r.lines[1], QString());

        const QString &titles = r.lines[2];
        const QStringList t = {"fatti", "lessi", "infer", "scopi", "sinte", "GRsem", "GRcom",
                               "ANsem", "logic", "CAUse", "CAUco", "crono", "elFIS", "elPOL"};
        for (int k = 0; k < 14; ++k)
            QCOMPARE(columnOf(titles, t[k]), 27 + 12 * k);
        QCOMPARE(titles.size(), 187);

        const QString &maxima = r.lines[3];
        QCOMPARE(columnOf(maxima, "su"), 11);
        const int maxv[14] = {9, 6, 13, 4, 2, 53, 0, 34, 12, 15, 16, 20, 22, 40};
        int from = 12;
        for (int k = 0; k < 14; ++k) {
            // a blank for the sign at 28 + 12k, the digits one column further right
            const QString digits = QString::number(maxv[k]);
            QCOMPARE(maxima.mid(27 + 12 * k, digits.size() + 2), " " + digits + " ");
            QCOMPARE(columnOf(maxima, digits, from), 29 + 12 * k);
            from = 29 + 12 * k + int(digits.size());
        }

        const QString &row1 = r.lines[4];
        QCOMPARE(row1.left(2 + 11), QString("  ROSSI MARIO"));
        const QStringList v1 = {"7", "5", "11", "3", "2", "40", "77", "30", "9", "12", "10", "18", "20", "33"};
        for (int k = 0; k < 14; ++k)
            QCOMPARE(row1.mid(28 + 12 * k, v1[k].size()), v1[k]);
        QCOMPARE(row1.size(), 185 + 1);
        // Names are cut to 15 characters; gramcom stands under "GRcom".
        QCOMPARE(r.lines[5].mid(2, 16), QString("VERDI GIUSEPPIN "));
        QCOMPARE(r.lines[5].mid(columnOf(titles, "GRcom") + 1, 2), QString("3 "));
        // A record without scores prints zeros.
        QCOMPARE(r.lines[6], QString("  NERI LUCA") + [] {
                     QString s;
                     for (int k = 0; k < 14; ++k)
                         s += QString(k == 0 ? 17 : 11, ' ') + "0";
                     return s;
                 }());
    }

    void emptyClassPrintsTheHeadOnly()
    {
        const Report r = classReport(ResultMatrix(), "prima A");
        QCOMPARE(r.lines.size(), 4);
        QCOMPARE(r.lines[0].trimmed(), QString("prima A"));
        QVERIFY(r.lines[2].startsWith(QString(26, ' ') + "fatti"));
        QVERIFY(r.lines[3].startsWith(QString(10, ' ') + "su"));
    }
};

QTEST_GUILESS_MAIN(TstReport)
#include "tst_report.moc"
