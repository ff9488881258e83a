// The statistics window of the archive: opened with "Statistiche della classe", its figures,
// its charts read through the Qt Charts API, its levels, and its printout read back from the
// PDF with pdftotext.
#include "support/controls.h"
#include "support/fakes.h"
#include "support/screenshots.h"
#include "support/handmadeclass.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/flstampa.h"
#include "ui/screens/frmstatistiche.h"
#include "ui/widgets/clicklabel.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;

class TstStatistiche : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;

    void add(const QString &table, const QVariantMap &rec)
    {
        auto rs = env->app->state().dbrisultati->openRecordset(table);
        rs->addNew();
        for (auto it = rec.begin(); it != rec.end(); ++it)
            rs->setField(it.key(), it.value());
        QVERIFY(rs->update());
    }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    // The archive of class C, its statistics window open.
    FrmSTATISTICHE *openStatistics()
    {
        auto *inizio = env->app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        click(control<ClickLabel>(inizio, "LabAVVIO"));
        click(control<ClickLabel>(inizio, "Label1", 2));
        click(control<ClickLabel>(inizio, "Labarchivio"));
        env->dialogs.alerts.clear(); // the password's own message on first opening
        FLstampa *a = env->app->screenAs<FLstampa>(Screen::FLstampa);
        if (!a || !a->isVisible())
            return nullptr;
        a->forcePdf = true;
        click(control<QPushButton>(a, "cmdstatistiche"));
        return a->findChild<FrmSTATISTICHE *>();
    }
    static QAbstractBarSeries *bars(QChartView *v)
    {
        return v && v->chart()->series().size() == 1 ? qobject_cast<QAbstractBarSeries *>(v->chart()->series().first())
                                                     : nullptr;
    }
    static QList<qreal> values(QBarSet *set)
    {
        QList<qreal> out;
        for (int i = 0; i < set->count(); ++i)
            out << set->at(i);
        return out;
    }

private slots:
    void init()
    {
        env = std::make_unique<test::AppEnv>();
        QVERIFY(env->folder.ok());
        env->app->show(Screen::FLINIZIO);
    }
    void cleanup() { env.reset(); }

    void windowOfAHandMadeClass()
    {
        for (const QVariantMap &rec : test::handMadeClass())
            add("prima-C", rec);
        add("prima-E", {{"nome", "ZERO ZENO"}, {"arrivo", 10}, {"sub", 20}}); // the school has one more
        // Question 7 of the second passage: two of the class ticked a), one the key.
        {
            Database &db = *env->app->state().dbrisultati;
            QSqlQuery q(db.sql());
            QVERIFY(q.exec("SELECT data FROM \"prima-C\" ORDER BY rowid LIMIT 3"));
            for (int i = 0; q.next(); ++i) {
                QSqlQuery in(db.sql());
                in.prepare("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) "
                           "VALUES ('prima-C', ?, 'lettura', 20, ?, ?, '2026-09-14 09:00:00')");
                in.addBindValue(q.value(0));
                in.addBindValue(i < 2 ? "1" : "3");
                in.addBindValue(i < 2 ? 0 : 1);
                QVERIFY(in.exec());
            }
        }
        FrmSTATISTICHE *d = openStatistics();
        QVERIFY(d && d->isVisible());
        auto *a = env->app->screenAs<FLstampa>(Screen::FLstampa);
        QCOMPARE(control<QPushButton>(a, "cmdesportocsv")->geometry(), QRect(582, 288, 208, 34));
        QCOMPARE(control<QPushButton>(a, "cmdstatistiche")->geometry(), QRect(798, 288, 208, 34));
        test::screenshot(a, "flstampa-statistiche");
        QVERIFY(d->width() <= 1024 && d->height() <= 768);
        QCOMPARE(d->windowTitle(), QString("Statistiche della classe Prima C"));
        QCOMPARE(control<QLabel>(d, "Labriepilogo")->text(), QString("Prima C: 4 alunni con un risultato, 2 hanno finito tutte le prove."));

        // Grammar: 53, 40, 20 counted; DELTA's partial 30 left out.
        auto row = [&](QTableWidget *t, int r) {
            QStringList out;
            for (int c = 0; c < t->columnCount(); ++c)
                out << t->item(r, c)->text();
            return out;
        };
        QCOMPARE(row(control<QTableWidget>(d, "Tabpunteggi"), 8), QStringList({"Analisi grammaticale", "53", "3", "37,7", "40,0", "20", "53", "71,1 %"}));
        QCOMPARE(row(control<QTableWidget>(d, "Tabpunteggi"), 15), QStringList({"Regioni e capoluoghi", "40", "2", "30,0", "30,0", "20", "40", "75,0 %"}));
        // Reading: 69 points, 4 pupils in the class and 5 in the school; grammar minutes 10 and 14.
        QCOMPARE(row(control<QTableWidget>(d, "Tabprove"), 0), QStringList({"Comprensione della lettura (su 34)", "4", "—", "50,7 %", "40,6 %"}));
        QCOMPARE(row(control<QTableWidget>(d, "Tabprove"), 1).mid(1, 2), QStringList({"3", "12,0"}));
        test::screenshot(d, "FrmSTATISTICHE-prove");

        // One chart per part, one bar per band; grammar: 20 → 20–39 %, 40 → 60–79 %, 53 → 80–100 %.
        for (const char *part : {"lettura", "grammatica", "logica", "frasi", "cause", "cronologia", "fisica", "politica"}) {
            QChartView *v = control<QChartView>(d, QStringLiteral("Grafico_%1").arg(QLatin1String(part)));
            QAbstractBarSeries *s = bars(v);
            QVERIFY(s && s->barSets().size() == 1);
            QCOMPARE(s->barSets().first()->count(), 5);
        }
        QCOMPARE(values(bars(control<QChartView>(d, "Grafico_grammatica"))->barSets().first()), QList<qreal>({0, 1, 0, 1, 1}));
        QVERIFY(control<QChartView>(d, "Grafico_grammatica")->chart()->title().startsWith("Grammatica (3 alunni)"));
        QAbstractBarSeries *profile = bars(control<QChartView>(d, "Graficoprofilo"));
        QVERIFY(profile);
        QCOMPARE(profile->barSets().size(), 2);
        QCOMPARE(profile->barSets()[0]->label(), QString("Classe"));
        QCOMPARE(profile->barSets()[1]->count(), 8);
        QVERIFY(qAbs(profile->barSets()[0]->at(0) - 69.0 / 4 / 34 * 100) < 1e-9);
        QVERIFY(qAbs(profile->barSets()[1]->at(0) - 69.0 / 5 / 34 * 100) < 1e-9);
        control<QTabWidget>(d, "Schede")->setCurrentIndex(2);
        test::screenshot(d, "FrmSTATISTICHE-fasce");

        // Levels by area: Italiano first, then Storia chosen.
        control<QTabWidget>(d, "Schede")->setCurrentIndex(3);
        QCOMPARE(test::listTexts(control<QListWidget>(d, "Listlivelli0")), QStringList{"ALFA ANNA"});
        QCOMPARE(test::listTexts(control<QListWidget>(d, "Listlivelli1")), QStringList{"BETA BRUNO"});
        QCOMPARE(test::listTexts(control<QListWidget>(d, "Listlivelli4")), QStringList({"GAMMA GINO", "DELTA DORA"}));
        control<QComboBox>(d, "Comboarea")->setCurrentIndex(1);
        QCOMPARE(test::listTexts(control<QListWidget>(d, "Listlivelli3")), QStringList{"BETA BRUNO"});
        QCOMPARE(d->findChild<QLabel *>("Labtitololivello3")->text(), QString("D – Iniziale (1)"));
        QCOMPARE(control<QListWidget>(d, "Listlivelli3")->accessibleName(), QString("D – Iniziale (1)")); // a screen reader hears the area's count
        QCOMPARE(row(control<QTableWidget>(d, "Tablivelli"), 1), QStringList({"BETA BRUNO", "B – Intermedio", "D – Iniziale", "C – Base", "C – Base"}));
        QCOMPARE(row(control<QTableWidget>(d, "Tablivelli"), 2).last(), QString("prove da finire"));
        QVERIFY(d->findChild<QLabel *>("Labregola")->text().contains("media delle percentuali"));
        test::screenshot(d, "FrmSTATISTICHE-livelli");
        control<QTabWidget>(d, "Schede")->setCurrentIndex(1);
        test::screenshot(d, "FrmSTATISTICHE-punteggi");
        // Per question: every item of every test listed; the records here carry no answers.
        QCOMPARE(control<QTableWidget>(d, "Tabdomande")->rowCount(), int(d->insight().questions.items.size()));
        QVERIFY(row(control<QTableWidget>(d, "Tabdifficili"), 0).first().startsWith("Lettura, brano 2, domanda 7: "));
        QVERIFY(row(control<QTableWidget>(d, "Tabdifficili"), 0).last().startsWith("a) "));
        QCOMPARE(control<QTableWidget>(d, "Tabdomande")->horizontalHeaderItem(5)->text().simplified(), QString("Risposta sbagliata più frequente"));
        QCOMPARE(control<QTableWidget>(d, "Tabprove")->horizontalHeaderItem(1)->text(), QString("Alunni che l'hanno finita"));
        control<QTabWidget>(d, "Schede")->setCurrentIndex(4);
        test::screenshot(d, "FrmSTATISTICHE-domande");

        // The printout, charts included, as a PDF read back with pdftotext.
        const QDir beside = QFileInfo(env->folder.path()).absoluteDir();
        env->dialogs.saveInto = beside.absolutePath();
        click(control<QPushButton>(d, "cmdstampastat"));
        QCOMPARE(env->dialogs.alerts.size(), 1);
        const QStringList pdfs = beside.entryList({"*statistiche*.pdf"}, QDir::Files);
        QCOMPARE(pdfs.size(), 1);
        QVERIFY(env->dialogs.alerts.first().contains(QDir::toNativeSeparators(beside.filePath(pdfs.first()))));
        if (const QString dir = qEnvironmentVariable("QUORVANE_SCREENSHOTS"); !dir.isEmpty())
            QFile::copy(beside.filePath(pdfs.first()), QDir(dir).filePath("statistiche.pdf"));
        QProcess p;
        p.start("pdftotext", {"-layout", beside.filePath(pdfs.first()), "-"});
        QVERIFY2(p.waitForFinished(60000) && p.exitCode() == 0, "pdftotext (poppler-utils) is needed");
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        const QStringList expected = {
            "STATISTICHE DELLA CLASSE PRIMA C",
            "Alunni con un risultato: 4\\. +Hanno finito tutte le prove: 2\\.",
            "Comprensione della lettura \\(su 34\\) +4 +— +50,7 % +40,6 %",
            "Analisi grammaticale +53 +3 +37,7 +40,0 +20 +53 +71,1 %",
            "Comprensione di frasi +12 +2 +",
            "l'hanno finita",
            "media delle percentuali ottenute nelle sue prove",
            "convenzione del",
            "ITALIANO \\(COMPRENSIONE DELLA LETTURA, ANALISI GRAMMATICALE",
            "A – Avanzato \\(1\\): ALFA ANNA",
            "Prove da finire \\(2\\): GAMMA GINO, DELTA DORA",
            "STORIA \\(RELAZIONI CAUSALI, CRONOLOGIA\\)",
            "D – Iniziale \\(1\\): BETA BRUNO",
            "Lettura, brano 2, domanda 7 +risposte giuste: 33 %",
            "Risposta sbagliata più frequente: a\\) ",
            // The charts' own text: the profile and the distributions.
            "Media di ogni prova in percentuale del massimo",
            "Classe", "Scuola",
            "FASCE DI PUNTEGGIO",
            "Grammatica \\(3 alunni\\)",
            "C\\. politica \\(2 alunni\\)",
        };
        for (const QString &re : expected)
            QVERIFY2(text.contains(QRegularExpression(re)), qPrintable(re + "\n---\n" + text));
        // The profile's labels whole, and the profile on a page with more than itself.
        QVERIFY2(text.contains(QRegularExpression("Lettura +Grammatica +Logica +Frasi +Cause +Cronologia +C\\. (fi|\uFB01)sica +C\\. politica")),
                 qPrintable(text));
        QVERIFY2(text.count("20–39 %") == insight::kPartCount, qPrintable(text)); // every band chart's names whole
        for (const QString &page : text.split('\f'))
            if (page.contains("Media di ogni prova in percentuale del massimo"))
                QVERIFY2(page.contains("FASCE DI PUNTEGGIO") || page.contains("giuste:"), qPrintable(page));
    }

    // A class with nothing in it, and one whose pupils all scored the same.
    void emptyAndEqualClasses()
    {
        struct Case {
            const char *what;
            int pupils;
            QString riepilogo;
            QList<qreal> grammatica;
        };
        const Case cases[] = {
            {"empty", 0, "Prima C: 0 alunni con un risultato, 0 hanno finito tutte le prove.", {0, 0, 0, 0, 0}},
            {"all equal", 3, "Prima C: 3 alunni con un risultato, 3 hanno finito tutte le prove.", {0, 0, 3, 0, 0}},
        };
        for (const Case &c : cases) {
            cleanup();
            init();
            for (int i = 0; i < c.pupils; ++i)
                add("prima-C", {{"nome", QString("UGUALE %1").arg(i)}, {"arrivo", 10}, {"sub", 20}, {"gramsem", 30}});
            FrmSTATISTICHE *d = openStatistics();
            QVERIFY2(d, c.what);
            QCOMPARE(control<QLabel>(d, "Labriepilogo")->text(), c.riepilogo);
            QCOMPARE(values(bars(control<QChartView>(d, "Grafico_grammatica"))->barSets().first()), c.grammatica);
            QCOMPARE(control<QTableWidget>(d, "Tabpunteggi")->item(8, 4)->text(), c.pupils ? QString("30,0") : QString("—"));
            QCOMPARE(control<QTableWidget>(d, "Tablivelli")->rowCount(), c.pupils);
            QVERIFY2(env->dialogs.alerts.isEmpty(), c.what);
        }
    }
};

QTEST_MAIN(TstStatistiche)
#include "tst_statistiche.moc"
