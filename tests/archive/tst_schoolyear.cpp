// The school year: which year is current, the close into a file of its own (whole or not at
// all, even when the program is killed), past years read-only and checked, the year
// corrected on a wrong clock, the name check of the current year only, and the erasure of
// the years the school no longer keeps, copies included.
#include "archive/annoscolastico.h"
#include "archive/backup.h"
#include "archive/exchange.h"
#include "startup/datafolder.h"
#include "storage/strumenti.h"
#include "insight/yearcompare.h"
#include "startup/nome.h"
#include "storage/classmap.h"
#include "support/computer.h"

#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

int rows(Database &db, const QString &table)
{
    QSqlQuery q(db.sql());
    return q.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)) && q.next() ? q.value(0).toInt() : -1;
}

// A record of class C started at `data` (an earlier year's, say).
void addDated(Database &db, const QString &nome, const QString &data, int arrivo = 1)
{
    QSqlQuery q(db.sql());
    q.prepare("INSERT INTO \"prima-C\" (nome, data, arrivo, sub) VALUES (?, ?, ?, 1)");
    q.addBindValue(nome);
    q.addBindValue(data);
    q.addBindValue(arrivo);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
}

// A year of class C: a finished pupil with an answer and tools, an unfinished one, one in the bin.
void fillYear(test::Computer &a)
{
    const QString done = a.add("VERDI ANNA", {{"arrivo", 10}, {"sub", 20}});
    a.add("NERI LUCA");
    a.add("BIANCHI GIO");
    QVERIFY(writeTools(a.db(), "prima-C", done, PupilTools{true, false, 125}));
    QSqlQuery q(a.db().sql());
    QVERIFY(q.exec("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) VALUES ('prima-C', '" + done
                   + "', 'lettura', 1, '2', 1, '2026-09-14 09:01:00')"));
    a.archivio.chooseClass(2);
    for (int i = 0; i < a.archivio.numalunni(); ++i)
        if (a.archivio.valori().cell(i + 1, 1) == "BIANCHI GIO")
            a.archivio.select(i);
    a.env.dialogs.answers = {true};
    a.archivio.elimino();
}

QString yearFile(const test::Computer &a, int year)
{
    return a.env.folder.file(QStringLiteral("anni/%1.mdb").arg(yearStem(year)));
}

} // namespace

class TstSchoolYear : public QObject {
    Q_OBJECT

private slots:
    void currentYearRule_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("corrected");
        QTest::addColumn<QList<int>>("closed");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("cut");
        QTest::newRow("1 September turns the year") << QDate(2026, 9, 1) << 0 << QList<int>{} << 2026 << "2026-09-01";
        QTest::newRow("31 August is the old year") << QDate(2027, 8, 31) << 0 << QList<int>{} << 2026 << "2026-09-01";
        QTest::newRow("closed in June: the next at once") << QDate(2027, 6, 20) << 0 << QList<int>{2026} << 2027 << "";
        QTest::newRow("September after a June close") << QDate(2027, 9, 5) << 0 << QList<int>{2026} << 2027 << "";
        QTest::newRow("last year left open") << QDate(2027, 10, 1) << 0 << QList<int>{2025} << 2027 << "2027-09-01";
        QTest::newRow("a wrong clock corrected") << QDate(2031, 10, 1) << 2026 << QList<int>{} << 2026 << "";
    }
    void currentYearRule()
    {
        QFETCH(QDate, today);
        QFETCH(int, corrected);
        QFETCH(QList<int>, closed);
        YearSettings s;
        if (corrected)
            s.corrected = corrected;
        s.closed = closed;
        const CurrentYear c = currentYear(s, today);
        QTEST(c.year, "year");
        QTEST(c.cut, "cut");
    }

    // The close asked, refused on No and on an empty year, and done on Yes: everything of
    // the year in its file, owner-only, a copy first, the classes empty, the year next.
    void closeMovesTheWholeYearOnce()
    {
        test::Computer a;
        const bool file = !a.env.folder.onServer();
        fillYear(a);
        const int copies = QDir(a.env.folder.file("copie")).entryList({"*.mdb"}, QDir::Files).size();
        a.env.dialogs.answers = {false};
        a.archivio.chiudoAnno();
        const QString q = a.env.dialogs.questions.last();
        QVERIFY2(q.startsWith("Questi test non sono finiti") && q.contains("Prima C – NERI LUCA")
                     && q.contains("Prima C: 2 risultati") && q.contains("nel cestino: 1 risultato")
                     && q.contains("Chiudo l'anno scolastico 2026/2027?"),
                 qPrintable(q));
        QCOMPARE(rows(a.db(), "prima-C"), 2);
        QVERIFY(a.archivio.anniPrecedenti().isEmpty());

        a.env.dialogs.answers = {true};
        a.archivio.chiudoAnno();
        QVERIFY2(a.lastAlert().startsWith("L'anno scolastico 2026/2027 è chiuso"), qPrintable(a.lastAlert()));
        for (const char *t : {"prima-C", "eliminati", "risposte", "strumenti"})
            QCOMPARE(rows(a.db(), t), 0);
        QCOMPARE(a.archivio.numalunni(), 0);
        QCOMPARE(a.archivio.intestazioneAnno(), QString("Anno scolastico 2027/2028"));
        if (file) {
            QCOMPARE(int(QFileInfo(yearFile(a, 2026)).permissions() & 0x0077), 0); // nothing for group and others
            QCOMPARE(QDir(a.env.folder.file("copie")).entryList({"*.mdb"}, QDir::Files).size(), copies + 1);
            auto past = Database::open(yearFile(a, 2026), nullptr, Database::Journal::ReadOnly);
            QVERIFY(past);
            QCOMPARE(rows(*past, "prima-C"), 2);
            QCOMPARE(rows(*past, "eliminati") + rows(*past, "risposte") + rows(*past, "strumenti"), 3);
            QCOMPARE(rows(*past, "impostazioni"), 1); // the year's mark, never the password
        }
        a.archivio.chiudoAnno();
        QVERIFY2(a.lastAlert().contains("non c'è nessun risultato dell'anno scolastico 2027/2028"), qPrintable(a.lastAlert()));

        // Browsed as today's archive, changed never; the current year again after.
        const QList<PastYear> past = a.archivio.anniPrecedenti();
        QCOMPARE(past.size(), 1);
        QCOMPARE(past[0].counts[2], 2);
        a.archivio.guardoAnno(past[0]);
        QCOMPARE(a.archivio.numalunni(), 2);
        QCOMPARE(a.archivio.cestino().size(), 1);
        QCOMPARE(a.archivio.intestazioneAnno(), QString("Anno scolastico 2026/2027 (chiuso: solo da guardare)"));
        a.archivio.elimino();
        QVERIFY(a.lastAlert().startsWith("Stai guardando l'anno scolastico 2026/2027, che è chiuso"));
        QCOMPARE(a.archivio.numalunni(), 2);
        a.archivio.tornoAnnoInCorso();
        QCOMPARE(a.archivio.numalunni(), 0);
    }

    // The copy the close made first, restored after the close: the closed year's results stay
    // in its file alone (not back among this year's, not twice); the rest of a copy comes back.
    void restoreOfACopyBeforeTheClose()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        fillYear(a);
        a.env.dialogs.answers = {true};
        a.archivio.chiudoAnno();
        const BackupInfo beforeClose = a.archivio.copie().first();
        QCOMPARE(beforeClose.counts[2], 2);
        a.add("NUOVI ADA");

        QStringList earlier;
        for (const BackupInfo &c : a.archivio.copie())
            earlier << c.file;
        a.env.dialogs.answers = {true};
        a.archivio.ripristino(beforeClose);
        QVERIFY2(a.lastAlert().contains("3 risultati della copia sono di un anno scolastico già chiuso"), qPrintable(a.lastAlert()));
        for (const char *t : {"prima-C", "eliminati", "risposte", "strumenti"})
            QVERIFY2(rows(a.db(), t) == 0, t);
        auto past = Database::open(yearFile(a, 2026), nullptr, Database::Journal::ReadOnly);
        QCOMPARE(rows(*past, "prima-C"), 2);

        // The copy of this year's results the restore made first brings this year's pupil back.
        BackupInfo safety;
        for (const BackupInfo &c : a.archivio.copie())
            if (!earlier.contains(c.file))
                safety = c;
        QCOMPARE(safety.counts.value(2), 1);
        a.env.dialogs.answers = {true};
        a.archivio.ripristino(safety);
        QCOMPARE(rows(a.db(), "prima-C"), 1);
        QVERIFY2(!a.lastAlert().contains("già chiuso"), qPrintable(a.lastAlert()));
    }

    // The comparison: this year beside the closed ones, each from its own pupils.
    void comparisonOverYears()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        auto pupil = [&](const QString &nome, bool full) {
            QVariantMap f{{"arrivo", 10}, {"sub", 20}};
            for (const auto &sf : insight::scoreFields())
                f[sf.name] = full ? sf.maximum : 0;
            a.add(nome, f);
        };
        pupil("PIENI VOTI", true);
        a.env.dialogs.answers = {true};
        a.archivio.chiudoAnno();
        pupil("ZERO VOTI", false);
        a.add("NON FINITO");
        const std::vector<insight::YearSummary> years = a.archivio.confronto();
        QCOMPARE(int(years.size()), 2);
        QCOMPARE(years[0].year, 2027);
        QCOMPARE(years[0].pupils, 2);
        QCOMPARE(years[0].levelled, 1);
        QCOMPARE(years[0].levelShare[3], 100.0); // D – Iniziale
        QCOMPARE(years[1].year, 2026);
        QCOMPARE(years[1].levelShare[0], 100.0); // A – Avanzato
        QCOMPARE(years[1].meanPercent[0], 100.0);
        QVERIFY(insight::comparisonReading(years).startsWith("2027/2028: Lettura 0,0 %"));
    }

    // The disk carries its year: another year's is refused, an older disk without one comes in.
    void diskOfAnotherYear()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        a.add("ROSSI ADA");
        QTemporaryDir folder;
        const QString disk = folder.filePath(kExportFile);
        QVERIFY(esportaClasse(a.db(), "prima-C", disk, a.env.folder.file(kExportFile)).ok);
        {
            auto d = Database::open(disk, nullptr, Database::Journal::Rollback);
            bool bad = true;
            QCOMPARE(diskYear(*d, &bad), std::optional<int>(resultsYear(a.db())));
            QVERIFY(markDiskYear(*d, 2001, nullptr));
        }
        QVERIFY(!esportaClasse(a.db(), "prima-C", disk, a.env.folder.file(kExportFile)).ok);
        const ExchangeResult refused = importaClasse(a.db(), "prima-D", disk, a.env.folder.file(kExportFile));
        QVERIFY2(!refused.ok && refused.message.startsWith("Sul disco ci sono i risultati dell'anno scolastico 2001/2002"),
                 qPrintable(refused.message));
        QCOMPARE(rows(a.db(), "prima-D"), 0);
        {
            auto d = Database::open(disk, nullptr, Database::Journal::Rollback);
            QVERIFY(QSqlQuery(d->sql()).exec("DROP TABLE anno"));
        }
        QVERIFY(importaClasse(a.db(), "prima-D", disk, a.env.folder.file(kExportFile)).ok);
        QCOMPARE(rows(a.db(), "prima-D"), 1);
    }

    // A disk of a year closed here goes, on Yes, into that year's file and not among this
    // year's classes; on No nothing moves.
    void diskIntoItsClosedYear()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        a.add("ROSSI ADA");
        QTemporaryDir folder;
        QVERIFY(esportaClasse(a.db(), "prima-C", folder.filePath(kExportFile), a.env.folder.file(kExportFile)).ok);
        QVERIFY(QSqlQuery(a.db().sql()).exec("DELETE FROM \"prima-C\""));
        a.add("VERDI ELIA");
        a.env.dialogs.answers = {true};
        a.archivio.chiudoAnno();
        for (const bool yes : {false, true}) {
            a.env.dialogs.answers = {true, yes}; // the help's Ok, then the question
            a.importFrom(folder.path());
            QVERIFY2(a.env.dialogs.questions.last().contains("Importo i risultati del disco nella prima C dell'anno scolastico "
                                                             "2026/2027?"),
                     qPrintable(a.env.dialogs.questions.last()));
            QCOMPARE(rows(a.db(), "prima-C"), 0);
            auto past = Database::open(yearFile(a, 2026), nullptr, Database::Journal::ReadOnly);
            QCOMPARE(rows(*past, "prima-C"), yes ? 2 : 1);
        }
        QVERIFY2(a.lastAlert().contains("I risultati sono nell'anno scolastico 2026/2027"), qPrintable(a.lastAlert()));
    }

    // Killed at each point of the close: the year is still current, or wholly closed.
    void killedDuringClose_data()
    {
        QTest::addColumn<QString>("point");
        QTest::addColumn<bool>("closed");
        QTest::newRow("after the copy") << "copia" << false;
        QTest::newRow("file renamed in, results untouched") << "file" << false;
        QTest::newRow("inside the transaction") << "transazione" << false;
        QTest::newRow("after the commit") << "fatto" << true;
    }
    void killedDuringClose()
    {
        QFETCH(QString, point);
        QFETCH(bool, closed);
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        fillYear(a);
        a.env.session.state.rsclasse.reset();
        a.env.session.state.dbrisultati.reset();
        QProcess p;
        p.start(qEnvironmentVariable("QUORVANE_BINARY_DIR") + "/labcomputer", {a.env.folder.path(), "-", "chiudo", point});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        auto db = Database::open(a.env.folder.file("quorvane.mdb"), nullptr);
        QVERIFY(db);
        QSqlQuery check(db->sql());
        QVERIFY(check.exec("PRAGMA integrity_check") && check.next());
        QCOMPARE(check.value(0).toString(), QString("ok"));
        SchoolYears years(*db, a.env.folder.path());
        const QList<PastYear> past = years.pastYears(); // clears what a killed close left
        QCOMPARE(rows(*db, "prima-C") + rows(*db, "eliminati"), closed ? 0 : 3);
        QCOMPARE(past.size(), closed ? 1 : 0);
        QCOMPARE(QFileInfo::exists(yearFile(a, 2026)), closed);
        QCOMPARE(QDir(years.yearsDir()).entryList(QDir::Files | QDir::Hidden).size(), closed ? 1 : 0);
        if (closed)
            QCOMPARE(past[0].counts[2], 2);
    }

    // The server lost in the middle of the close: the transaction goes, the year stays current.
    void serverLostDuringClose()
    {
        test::Computer a;
        if (!a.env.folder.onServer())
            QSKIP("the results are on a file");
        fillYear(a);
        auto admin = a.env.folder.openAdmin();
        a.env.dialogs.answers = {true};
        // The connection cut from the server's side, as a restart or a network cut does.
        a.archivio.chiudoAnno([&](const char *point) {
            if (QByteArray(point) == "transazione")
                QSqlQuery(a.db().sql()).exec("SELECT pg_terminate_backend(pg_backend_pid())");
        });
        QVERIFY2(a.lastAlert().startsWith("L'anno scolastico non è stato chiuso: l'archivio è rimasto com'era."),
                 qPrintable(a.lastAlert()));
        QCOMPARE(rows(*admin, "prima-C") + rows(*admin, "eliminati"), 3);
        QCOMPARE(rows(*admin, "anni_classi"), 0);
        QVERIFY(readYearSettings(*admin).closed.isEmpty());
    }

    // A past year's file damaged or gone is listed as such and cannot be opened; the rest works.
    void damagedOrMissingYear()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        YearSettings s = readYearSettings(a.db());
        s.closed = {2024, 2025};
        QVERIFY(writeYearSettings(a.db(), s, nullptr));
        QVERIFY(QDir().mkpath(a.env.folder.file("anni")));
        QFile bad(yearFile(a, 2025));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray("non un archivio ").repeated(100));
        bad.close();
        const QList<PastYear> past = a.archivio.anniPrecedenti();
        QCOMPARE(past.size(), 2);
        QCOMPARE(past[0].state, PastYear::State::Damaged);
        QCOMPARE(past[1].label(), QString("2024/2025 (il file dell'anno non c'è più)"));
        a.add("ROSSI ADA");
        a.archivio.chooseClass(2);
        a.archivio.guardoAnno(past[0]);
        QVERIFY(a.lastAlert().startsWith("Non posso aprire l'anno scolastico 2025/2026 (file danneggiato"));
        QVERIFY(!a.archivio.annoPassato());
        QCOMPARE(a.archivio.numalunni(), 1);
    }

    // On a clock set years ahead the teacher names the year, and that is the year closed.
    void wrongClockCorrected()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        a.env.clock.t = QDateTime(QDate(2031, 10, 1), QTime(9, 0));
        addDated(a.db(), "ROSSI ADA", "2031-10-01 09:00:00.000 00000001");
        QCOMPARE(a.archivio.intestazioneAnno(), QString("Anno scolastico 2031/2032"));
        a.archivio.cambioAnno(2026);
        QCOMPARE(a.archivio.intestazioneAnno(), QString("Anno scolastico 2026/2027"));
        a.env.dialogs.answers = {true};
        a.archivio.chiudoAnno();
        QVERIFY(QFileInfo::exists(yearFile(a, 2026)));
        QCOMPARE(a.archivio.annoInCorso(), 2027);
        a.archivio.cambioAnno(2026);
        QCOMPARE(a.lastAlert(), QString("L'anno scolastico 2026/2027 è già chiuso: scegline un altro."));
    }

    // A record of a year not yet closed is neither a duplicate name nor a test to resume,
    // and closing that year takes it alone.
    void earlierYearLeftOpen()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        addDated(a.db(), "ROSSI MARIO", "2025-10-01 09:00:00.000 0000abcd");
        addDated(a.db(), "ROSSI ELSA", "2026-05-01 09:00:00.000 0000abce");
        NomeModel nome(a.env.session);
        a.env.session.state.modoavvio = "continuazione";
        QCOMPARE(nome.confirm("ROSSI", "MARIO"), NomeModel::Outcome::Stay);
        QVERIFY(a.lastAlert().startsWith("Probabilmente non hai scritto bene il tuo nome"));
        a.env.session.state.modoavvio = "inizio";
        QCOMPARE(nome.confirm("ROSSI", "MARIO"), NomeModel::Outcome::Dispatched);
        QVERIFY(a.env.dialogs.questions.isEmpty());
        a.env.session.state.rsclasse.reset();

        QVERIFY(a.archivio.intestazioneAnno().endsWith("(l'anno 2025/2026 è ancora da chiudere)"));
        a.env.dialogs.answers = {true};
        a.archivio.chiudoAnno();
        QVERIFY(a.env.dialogs.questions.last().contains("Prima C: 2 risultati"));
        QCOMPARE(rows(a.db(), "prima-C"), 1); // the new ROSSI MARIO stays in 2026/2027
        QCOMPARE(a.archivio.intestazioneAnno(), QString("Anno scolastico 2026/2027"));
        QCOMPARE(a.archivio.anniPrecedenti().first().year, 2025);
    }

    // Years beyond "Conservo i risultati per N anni" go for good, from the copies too, after
    // one question a year; an erased pupil is remembered.
    void yearsBeyondTheLimitErased()
    {
        test::Computer a;
        QV_FILE_ONLY(a.env.folder);
        a.archivio.cambioAnno(2023);
        QStringList datas;
        for (int i = 0; i < 3; ++i) {
            datas << a.add(QStringLiteral("ALUNNO ANNO%1").arg(i));
            a.env.dialogs.answers = {true, false}; // Yes to the close; No to any erasure
            a.archivio.chiudoAnno();
            a.env.clock.advanceSecs(60);
        }
        QCOMPARE(readYearSettings(a.db()).closed, (QList<int>{2023, 2024, 2025}));
        a.env.dialogs.answers = {false};
        a.archivio.conservoAnni(2);
        QVERIFY2(a.env.dialogs.questions.last().startsWith("La scuola conserva i risultati per 2 anni. Cancello per sempre "
                                                            "i risultati degli anni scolastici 2023/2024, 2024/2025"),
                 qPrintable(a.env.dialogs.questions.last()));
        const int asked = a.env.dialogs.questions.size();
        a.archivio.openFromStart("prima  C");
        QCOMPARE(a.env.dialogs.questions.size(), asked); // asked once this year
        a.env.dialogs.answers = {true};
        a.archivio.conservoAnni(2);
        QVERIFY2(a.lastAlert().startsWith("I risultati degli anni scolastici 2023/2024, 2024/2025 sono stati cancellati per sempre"),
                 qPrintable(a.lastAlert()));
        QCOMPARE(readYearSettings(a.db()).closed, QList<int>{2025});
        QVERIFY(!QFileInfo::exists(yearFile(a, 2023)) && QFileInfo::exists(yearFile(a, 2025)));
        for (const QString &copy : QDir(a.env.folder.file("copie")).entryList({"*.mdb"}, QDir::Files)) {
            QFile f(QDir(a.env.folder.file("copie")).filePath(copy));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            QVERIFY2(!bytes.contains("ANNO0") && !bytes.contains("ANNO1"), qPrintable(copy));
        }
        QSqlQuery q(a.db().sql());
        QVERIFY(q.exec("SELECT count(*) FROM cancellati") && q.next());
        QCOMPARE(q.value(0).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TstSchoolYear)
#include "tst_schoolyear.moc"
