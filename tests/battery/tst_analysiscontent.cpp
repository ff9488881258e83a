// The sentences of the two analysis tests: sizes, captions, and the tables the set-up
// code loads from them.
#include "battery/analysis/analysiscontent.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "storage/schema.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qv;

class TstAnalysisContent : public QObject {
    Q_OBJECT

    static void checkSentences(const QList<AnalysisSentence> &rows, const QStringList &captions, int total)
    {
        QCOMPARE(rows.size(), 6);
        int sum = 0;
        QSet<QString> used;
        for (int i = 0; i < rows.size(); ++i) {
            const AnalysisSentence &s = rows.at(i);
            QCOMPARE(s.ordine, i + 1);
            QVERIFY(!s.elementi.isEmpty());
            QVERIFY2(s.elementi.size() <= kMaxElementi, qPrintable(QString::number(s.ordine)));
            QCOMPARE(s.categorie.size(), s.elementi.size());
            for (int k = 0; k < s.elementi.size(); ++k) {
                const QString &e = s.elementi.at(k);
                QVERIFY2(!e.isEmpty() && e == e.trimmed(), qPrintable(e));
                QVERIFY2(captions.contains(s.categorie.at(k)), qPrintable(s.categorie.at(k)));
                used.insert(s.categorie.at(k));
            }
            sum += int(s.elementi.size());
        }
        QCOMPARE(sum, total);
        // Every caption is the right answer somewhere: no label is a mere decoy.
        QCOMPARE(used.size(), captions.size());
    }

    // The table as loaded into a fresh results database, row by row.
    static void checkTable(const QString &table, const QList<AnalysisSentence> &rows)
    {
        test::DataFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        QString e;
        auto db = folder.open(&e);
        QVERIFY2(db, qPrintable(e));
        auto rs = db->openRecordset(table);
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), rows.size());
        QVERIFY(rs->setIndex("ordine"));
        QVERIFY(rs->moveFirst());
        for (const AnalysisSentence &s : rows) {
            QVERIFY(rs->hasCurrent());
            QCOMPARE(rs->field("ordine").toInt(), s.ordine);
            QCOMPARE(rs->field("nr_elementi").toInt(), int(s.elementi.size()));
            for (int k = 1; k <= kMaxElementi; ++k) {
                const QVariant el = rs->field(1 + k);
                const QVariant cat = rs->field(11 + k);
                if (k <= s.elementi.size()) {
                    QCOMPARE(el.toString(), s.elementi.at(k - 1));
                    QCOMPARE(cat.toString(), s.categorie.at(k - 1));
                } else {
                    QVERIFY(el.isNull() && cat.isNull());
                }
            }
            rs->moveNext();
        }
        QVERIFY(rs->eof());
    }

private slots:
    void grammarSentences() { checkSentences(grammaticaSentences(), grammaticaCategorie(), 53); }
    void logicSentences() { checkSentences(logicaSentences(), logicaCategorie(), 34); }

    void captionsInLabelOrder()
    {
        QCOMPARE(grammaticaCategorie(), QStringList({"Articolo", "Nome", "Verbo", "Aggettivo", "Preposizione",
                                                     "Congiunzione", "Pronome", "Avverbio"}));
        QCOMPARE(logicaCategorie(), QStringList({"Soggetto", "Predicato verbale", "Predicato nominale",
                                                 "Complemento oggetto", "Complemento indiretto", "Attributo"}));
    }

    void tablesAsLoaded()
    {
        checkTable("a_grammaticale", grammaticaSentences());
        checkTable("A_logica", logicaSentences());
    }
};

QTEST_GUILESS_MAIN(TstAnalysisContent)
#include "tst_analysiscontent.moc"
