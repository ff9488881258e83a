// Export onto the disk database and import from it: the explanation and the folder
// chooser, a new disk file, the program's own files refused, no doubled record, a newer
// copy taken, one transaction each, malformed rows, the spreadsheet copy.
#include "archive/archivio.h"
#include "archive/csvexport.h"
#include "archive/exchange.h"
#include "archive/testoaiuto.h"
#include "battery/items.h"
#include "support/computer.h"
#include "support/fakes.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace qv;

namespace {

struct Computer : test::Computer {
    void addMany(const QString &prefix, int n)
    {
        for (int i = 0; i < n; ++i)
            add(QString("%1 %2").arg(prefix).arg(i, 2, 10, QChar('0')), {{"arrivo", 3}, {"sub", 1}, {"fatti1", i % 9}});
    }
};

// The rows of a disk file as "nome|data|arrivo|sub|...": every transferred field.
QStringList diskRows(const QString &file)
{
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    if (!db)
        return {"?" + e};
    QSqlQuery q(db->sql());
    q.exec("SELECT " + transferredFields().join(", ") + " FROM prima ORDER BY nome, data");
    QStringList out;
    while (q.next()) {
        QStringList r;
        for (int i = 0; i < transferredFields().size(); ++i)
            r << (q.value(i).isNull() ? "NULL" : q.value(i).toString());
        out << r.join('|');
    }
    return out;
}

QStringList classRows(Database &db)
{
    QSqlQuery q(db.sql());
    q.exec("SELECT " + transferredFields().join(", ") + " FROM \"prima-C\" ORDER BY nome, data");
    QStringList out;
    while (q.next()) {
        QStringList r;
        for (int i = 0; i < transferredFields().size(); ++i)
            r << (q.value(i).isNull() ? "NULL" : q.value(i).toString());
        out << r.join('|');
    }
    return out;
}

bool exec(const QString &file, const QStringList &statements)
{
    QString e;
    auto db = Database::create(file, &e, Database::Journal::Rollback);
    if (!db)
        return false;
    for (const QString &s : statements) {
        QSqlQuery q(db->sql());
        if (!q.exec(s)) {
            qWarning() << s << q.lastError().text();
            return false;
        }
    }
    return true;
}

QByteArray bytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstExport : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> disk;
    QString diskFile() const { return disk->filePath("expquorvane.mdb"); }

private slots:
    void init() { disk = std::make_unique<QTemporaryDir>(); }
    void cleanup() { disk.reset(); }

    void explanationText()
    {
        const QStringList parts = testoaiuto().split("\r\n");
        QCOMPARE(parts.size(), 8);
        QCOMPARE(parts[0], QString(" IMPORTO ed ESPORTO servono a raccogliere tutti i dati di UNA classe, distribuiti su diversi computer, in un solo archivio."));
        QCOMPARE(parts[1], QString());
        QCOMPARE(parts[2], QString("Si deve:"));
        QCOMPARE(parts[3], QString("     1°) inserire un floppy disk che abbia sufficiente spazio (almeno 400 Kb);"));
        QCOMPARE(parts[4], QString("     2°) cliccare su Importo oppure Esporto"));
        QCOMPARE(parts[5], QString("Si raccomanda di usare un dischetto diverso per ogni classe. "));
        QCOMPARE(parts[6], QString());
        QVERIFY(parts[7].endsWith("nella cartella 'Programmi\\Quorvane\\Perquorvane')."));
        QVERIFY(parts[7].contains("il file 'EXPquorvane.mdb'(dal dischetto), o il file 'Quorvane.mdb' (sull'Hard Disk"));
    }

    void cancelDoesNothing()
    {
        Computer a;
        a.addMany("ALUNNO", 3);
        a.env.dialogs.answers = {false};
        a.exportTo(disk->path());
        QCOMPARE(a.env.dialogs.questions.last(), testoaiuto());
        QVERIFY(a.env.dialogs.folderTitles.isEmpty());
        QVERIFY(!QFile::exists(diskFile()));
        QVERIFY(a.env.dialogs.alerts.isEmpty());

        a.exportTo(QString()); // the folder chooser cancelled
        QCOMPARE(a.env.dialogs.folderTitles.size(), 1);
        QVERIFY(!QFile::exists(diskFile()));
        a.importFrom(QString());
        QVERIFY(a.env.dialogs.alerts.isEmpty());
        QCOMPARE(a.count(), 3);

        a.env.dialogs.answers = {false};
        a.importFrom(disk->path());
        QCOMPARE(a.env.dialogs.folderTitles.size(), 2);
        QVERIFY(a.env.dialogs.alerts.isEmpty());
    }

    void newDiskFileWhenAbsent()
    {
        Computer a;
        a.add("ROSSI MARIO", {{"arrivo", 10}, {"sub", 20}, {"fatti1", 4}, {"gramcom", 3}, {"frasi2", 1}, {"tempolitica", 7}});
        a.addMany("ALUNNO", 2);
        // A template that an earlier version filled with another class must not reach the disk.
        const QString templ = a.env.folder.file("expquorvane.mdb");
        QVERIFY(exec(templ, {"INSERT INTO prima (nome, data, arrivo) VALUES ('ALTRA CLASSE', 'x-1', 4)"}));
        a.exportTo(disk->path());
        QVERIFY(QFile::exists(diskFile()));
        // A plain disk, chosen for an older version, is said to be readable by anyone.
        QCOMPARE(a.lastAlert(), QString("Esportazione finita: 3 risultati esportati nel file \"%1\".\nAttenzione: il file "
                                        "non è cifrato e chiunque trovi il disco può leggerlo. Cancellalo dal disco appena "
                                        "l'hai importato.")
                                    .arg(QDir::toNativeSeparators(QFileInfo(diskFile()).absoluteFilePath())));
        // Every transferred field, value for value, and nothing else.
        QCOMPARE(diskRows(diskFile()), classRows(a.db()));
        QCOMPARE(QDir(disk->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"expquorvane.mdb"});
        // The chooser opens next time where it was used last.
        a.exportTo(disk->path());
        QCOMPARE(a.env.dialogs.folderStarts.last(), disk->path());
    }

    // The program's own files are never taken for a disk, however the folder is named.
    void programFilesAreNotADisk()
    {
        Computer a;
        QV_FILE_ONLY(a.env.folder);
        a.addMany("ALUNNO", 2);
        const QString data = a.env.folder.path();
        QVERIFY(QFile::link(data, disk->filePath("collegamento")));
        QDir().mkpath(disk->filePath("altro"));
        // A disk file that is a link to the results file.
        QDir().mkpath(disk->filePath("finto"));
        QVERIFY(QFile::link(a.env.folder.file("quorvane.mdb"), disk->filePath("finto/expquorvane.mdb")));
        const QByteArray templ = bytes(a.env.folder.file("expquorvane.mdb"));
        for (const QString &folder : {data, disk->filePath("collegamento"), disk->filePath("altro/../collegamento/"),
                                      data + "/../Perquorvane", disk->filePath("finto")}) {
            a.exportTo(folder);
            QVERIFY2(a.lastAlert().contains("è la cartella dei dati del programma") && a.lastAlert().contains("Non ho esportato nulla."),
                     qPrintable(folder + ": " + a.lastAlert()));
            a.importFrom(folder);
            QVERIFY2(a.lastAlert().contains("Non ho importato nulla."), qPrintable(folder + ": " + a.lastAlert()));
        }
        QCOMPARE(bytes(a.env.folder.file("expquorvane.mdb")), templ);
        QCOMPARE(a.count(), 2);
        QCOMPARE(diskRows(a.env.folder.file("expquorvane.mdb")), QStringList());
        QVERIFY(!a.db().hasTable("prima"));
    }

    // A record the gathering computer holds is replaced by a disk copy that got further,
    // and only then.
    void newerCopyOnTheDiskIsTaken_data()
    {
        QTest::addColumn<QVariantMap>("held");
        QTest::addColumn<QVariantMap>("disk");
        QTest::addColumn<bool>("taken");
        const QVariantMap five{{"arrivo", 5}, {"sub", 1}, {"fatti1", 4}};
        QTest::newRow("further test") << five << QVariantMap{{"arrivo", 10}, {"sub", 20}, {"fatti1", 4}, {"elempol", 17}} << true;
        QTest::newRow("further inside") << five << QVariantMap{{"arrivo", 5}, {"sub", 3}, {"fatti1", 4}} << true;
        QTest::newRow("more fields") << five << QVariantMap{{"arrivo", 5}, {"sub", 1}, {"fatti1", 4}, {"gramsem", 6}} << true;
        QTest::newRow("the same") << five << five << false;
        QTest::newRow("behind") << five << QVariantMap{{"arrivo", 4}, {"sub", 9}, {"fatti1", 4}, {"gramsem", 6}} << false;
        QTest::newRow("fewer fields") << five << QVariantMap{{"arrivo", 5}, {"sub", 1}} << false;
    }
    void newerCopyOnTheDiskIsTaken()
    {
        QFETCH(QVariantMap, held);
        QFETCH(QVariantMap, disk);
        QFETCH(bool, taken);
        Computer lab, teacher;
        const QString data = lab.add("VERDI ANNA", held);
        lab.addMany("ALUNNO", 2);
        lab.exportTo(this->disk->path());
        teacher.addMany("ALTRO", 3);
        teacher.importFrom(this->disk->path());
        QCOMPARE(teacher.count(), 6);
        // The pupil goes on (or, for the cases behind, the lab's copy is changed back).
        QSqlQuery q(lab.db().sql());
        QStringList sets;
        for (const QString &f : transferredFields())
            if (f != "nome" && f != "data")
                sets << f + " = " + (disk.contains(f) ? disk[f].toString() : "NULL");
        QVERIFY(q.exec("UPDATE \"prima-C\" SET " + sets.join(", ") + " WHERE data = '" + data + "'"));
        lab.exportTo(this->disk->path());
        const QStringList labRows = classRows(lab.db());
        const QStringList before = classRows(teacher.db());
        teacher.importFrom(this->disk->path());
        QCOMPARE(teacher.count(), 6);
        const QStringList after = classRows(teacher.db());
        const QString labRow = labRows.filter(data).value(0);
        QCOMPARE(after.filter(data).value(0), taken ? labRow : before.filter(data).value(0));
        QCOMPARE(teacher.lastAlert(), taken ? QString("Importazione finita: 0 risultati importati; 1 aggiornato con la copia "
                                                      "più avanzata del disco; 2 già presenti, non aggiunti di nuovo.")
                                            : QString("Importazione finita: 0 risultati importati; 3 già presenti, non "
                                                      "aggiunti di nuovo."));
        // Only that record changed; the archive shows the class as it now is.
        QCOMPARE(QSet<QString>(after.begin(), after.end()) - QSet<QString>(before.begin(), before.end()),
                 taken ? QSet<QString>{labRow} : QSet<QString>());
        QCOMPARE(teacher.archivio.numalunni(), 6);
    }

    void exportTwiceLeavesEachOnce()
    {
        Computer a;
        a.addMany("ALUNNO", 4);
        // Two records of one name: both are matched by name and data.
        a.add("BIS LUCA");
        a.add("BIS LUCA");
        a.exportTo(disk->path());
        const QStringList first = diskRows(diskFile());
        QCOMPARE(first.size(), 6);
        a.exportTo(disk->path());
        QCOMPARE(diskRows(diskFile()), first);
        QVERIFY(a.lastAlert().contains("6 risultati esportati"));
        QVERIFY(a.lastAlert().contains("(6) sono state sostituite"));
    }

    void twoComputersKeepBoth()
    {
        Computer a, b;
        a.addMany("ALUNNO", 3);
        b.addMany("ALUNNO", 2); // the same names, other records
        b.exportTo(disk->path());
        a.exportTo(disk->path());
        QCOMPARE(diskRows(diskFile()).size(), 5);
        // A again: the disk row of B that bears the first name does not stop the pass.
        a.exportTo(disk->path());
        b.exportTo(disk->path());
        const QStringList rows = diskRows(diskFile());
        QCOMPARE(rows.size(), 5);
        QCOMPARE(QSet<QString>(rows.begin(), rows.end()).size(), 5);

        // The gathering computer imports the disk.
        Computer c;
        c.importFrom(disk->path());
        QCOMPARE(c.count(), 5);
        QCOMPARE(c.archivio.numalunni(), 5);
    }

    void failureLeavesTheDiskAsItWas()
    {
        Computer a;
        a.addMany("ALUNNO", 3);
        a.exportTo(disk->path());
        // The disk refuses one row: nothing of this export may stay, not even the removals.
        QVERIFY(exec(diskFile(), {"CREATE TRIGGER guasto BEFORE INSERT ON prima WHEN NEW.nome = 'GUASTO' "
                                  "BEGIN SELECT RAISE(ABORT, 'disco guasto'); END"}));
        const QByteArray before = bytes(diskFile());
        a.add("GUASTO");
        a.exportTo(disk->path());
        QVERIFY(a.lastAlert().contains("L'esportazione non è riuscita e il disco è rimasto com'era."));
        QCOMPARE(bytes(diskFile()), before);
        QCOMPARE(diskRows(diskFile()).size(), 3);
    }

    void diskFileThatIsNotADatabase()
    {
        Computer a;
        a.addMany("ALUNNO", 2);
        QFile f(diskFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("questo non è un archivio, ma una lettera ai genitori.\n").repeated(50));
        f.close();
        const QByteArray before = bytes(diskFile());
        a.exportTo(disk->path());
        QVERIFY(a.lastAlert().startsWith("C'è un problema...\n"));
        QVERIFY(a.lastAlert().contains("non è un archivio di esportazione"));
        QCOMPARE(bytes(diskFile()), before);
        a.importFrom(disk->path());
        QVERIFY(a.lastAlert().contains("non ho importato nulla"));
        QCOMPARE(a.count(), 2);
    }

    void emptyClassAndMissingDisk()
    {
        Computer a;
        a.exportTo(disk->path());
        QVERIFY(a.lastAlert().contains("non ha risultati da esportare"));
        QVERIFY(!QFile::exists(diskFile()));
        a.importFrom(disk->path());
        QCOMPARE(a.lastAlert(), QString("Nella cartella scelta non c'è il file \"expquorvane.mdb\": non ho importato nulla."));
        QCOMPARE(a.count(), 0);
        // An empty template on the disk imports nothing, harmlessly.
        QVERIFY(QFile::copy(a.env.folder.file("expquorvane.mdb"), diskFile()));
        a.importFrom(disk->path());
        QCOMPARE(a.lastAlert(), QString("Importazione finita: 0 risultati importati."));
    }

    void importTwiceAddsNothingTheSecondTime()
    {
        Computer a, b;
        a.add("FINITO DEL TUTTO", {{"arrivo", 10}, {"sub", 20}});
        a.addMany("ALUNNO", 11);
        a.exportTo(disk->path());
        b.addMany("ALTRO", 20);
        b.importFrom(disk->path());
        QCOMPARE(b.count(), 32);
        QCOMPARE(b.archivio.numalunni(), 32);
        QCOMPARE(b.archivio.rigascelta(), 0);
        QCOMPARE(b.lastAlert(), QString("Importazione finita: 12 risultati importati."));
        // The imported records keep their progress code and data.
        const int r = 21;
        QCOMPARE(b.archivio.valori().cell(r, 1), QString("FINITO DEL TUTTO"));
        QVERIFY(b.archivio.valori().finished(r));
        b.importFrom(disk->path());
        QCOMPARE(b.count(), 32);
        QCOMPARE(b.lastAlert(), QString("Importazione finita: 0 risultati importati; 12 già presenti, non aggiunti di nuovo."));
        // Exporting back and importing again doubles nothing either.
        a.importFrom(disk->path());
        QCOMPARE(a.count(), 12);
    }

    void malformedRowsAreSkippedAndCounted()
    {
        Computer b;
        b.addMany("ALTRO", 2);
        QStringList cols;
        for (const QString &f : transferredFields())
            cols << f + (f == "nome" || f == "data" ? " TEXT" : "");
        QVERIFY(exec(diskFile(), {
            "CREATE TABLE prima (" + cols.join(", ") + ")",
            "INSERT INTO prima (nome, data, arrivo, sub, fatti1) VALUES ('BUONO UNO', 'd-1', 10, 20, 4)",
            "INSERT INTO prima (nome, data, arrivo, sub, fatti1) VALUES ('PUNTEGGIO STRANO', 'd-2', 3, 1, 'abc')",
            "INSERT INTO prima (nome, data, arrivo) VALUES ('" + QString(51, 'N') + "', 'd-3', 1)",
            "INSERT INTO prima (nome, data, arrivo) VALUES (NULL, 'd-4', 1)",
            "INSERT INTO prima (nome, data, arrivo) VALUES ('SENZA DATA', NULL, 1)",
            "INSERT INTO prima (nome, data, arrivo, sub) VALUES ('TROPPO', 'd-6', 1, 70000)",
            "INSERT INTO prima (nome, data, arrivo, sub, temgram) VALUES ('BUONO DUE', 'd-7', '5', 1.0, ' 12 ')",
            "INSERT INTO prima (nome, data, arrivo) VALUES ('DOPPIO', 'd-7', 1)",
        }));
        b.importFrom(disk->path());
        QCOMPARE(b.lastAlert(), QString("Importazione finita: 2 risultati importati; 1 già presente, non aggiunto di "
                                        "nuovo; 5 illeggibili, saltati."));
        QCOMPARE(b.count(), 4);
        auto rs = b.db().openRecordset("prima-C");
        rs->setIndex("data");
        QVERIFY(rs->seek("=", "d-7"));
        QCOMPARE(rs->field("nome").toString(), QString("BUONO DUE"));
        QCOMPARE(rs->field("arrivo"), QVariant(5));
        QCOMPARE(rs->field("temgram"), QVariant(12));

        // A disk table without one of the fields: every row is unreadable.
        QFile::remove(diskFile());
        QVERIFY(exec(diskFile(), {"CREATE TABLE prima (nome TEXT, data TEXT, arrivo, sub)",
                                  "INSERT INTO prima VALUES ('SENZA CAMPI', 'x-1', 1, 1)"}));
        b.importFrom(disk->path());
        QCOMPARE(b.lastAlert(), QString("Importazione finita: 0 risultati importati; 1 illeggibile, saltato."));
        // No table at all.
        QFile::remove(diskFile());
        QVERIFY(exec(diskFile(), {"CREATE TABLE seconda (nome TEXT)"}));
        b.importFrom(disk->path());
        QVERIFY(b.lastAlert().contains("non contiene la tabella \"prima\""));
        QCOMPARE(b.count(), 4);
    }

    void importFailureLeavesTheClassAsItWas()
    {
        Computer a, b;
        a.addMany("ALUNNO", 3);
        a.add("GUASTO");
        a.addMany("ZETA", 3);
        a.exportTo(disk->path());
        b.addMany("ALTRO", 2);
        // On the server a trigger is the technician's to make.
        const auto technician = b.env.folder.onServer() ? b.env.folder.openAdmin() : nullptr;
        QSqlQuery q(technician ? technician->sql() : b.db().sql());
        if (b.db().onServer())
            QVERIFY(q.exec("CREATE FUNCTION guasto() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF NEW.nome = 'GUASTO' "
                           "THEN RAISE EXCEPTION 'classe guasta'; END IF; RETURN NEW; END $$")
                    && q.exec("CREATE TRIGGER guasto BEFORE INSERT ON \"prima-C\" FOR EACH ROW EXECUTE FUNCTION guasto()"));
        else
            QVERIFY(q.exec("CREATE TRIGGER guasto BEFORE INSERT ON \"prima-C\" WHEN NEW.nome = 'GUASTO' "
                           "BEGIN SELECT RAISE(ABORT, 'classe guasta'); END"));
        const QStringList before = classRows(b.db());
        b.importFrom(disk->path());
        QVERIFY(b.lastAlert().startsWith("L'importazione non è riuscita e la classe è rimasta com'era."));
        QCOMPARE(classRows(b.db()), before);
    }

    void spreadsheetCopyOfTheClassTable()
    {
        Computer a;
        a.add("NICOLÒ DELL'ACQUA", {{"fatti1", 4}, {"fatti2", 3}, {"gramcom", 2}, {"temlettura", 20}, {"tempolitica", 9}});
        a.add("ZOË; \"LA\" BRAVA");
        // Complete: Italiano 133/133, Storia 30/51 (58.8 %), Geografia 62/62, all 225/246 (91.5 %).
        a.add("PIENO PIO", {{"arrivo", 10}, {"sub", 20}, {"lessico1", 6}, {"fatti1", 3}, {"inferen1", 3},
                            {"sintesi1", 1}, {"scopi2", 4}, {"fatti2", 6}, {"inferen2", 10}, {"sintesi2", 1},
                            {"gramsem", 53}, {"logsem", 34}, {"frasi1", 12}, {"causasem", 10}, {"causacom", 10},
                            {"cronolog", 10}, {"elemfis", 22}, {"elempol", 40}});
        a.env.dialogs.folder = disk->path();
        a.archivio.chooseClass(2);
        a.archivio.esportoCsv();
        const QByteArray csv = bytes(disk->filePath("Quadro prima C.csv"));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(csv.mid(3)).split("\r\n");
        QCOMPARE(lines.size(), 5); // head, three pupils, the empty rest after the last line end
        QVERIFY2(lines[0].startsWith("Alunno;Lettura: fatti (su 9);Lettura: lessico (su 6);Lettura: inferenze (su 13);"),
                 qPrintable(lines[0]));
        QVERIFY(lines[0].contains(";Comprensione di frasi (su 12);"));
        QVERIFY(lines[0].contains(";Minuti: comprensione della lettura;Minuti: analisi grammaticale;"));
        QVERIFY(lines[0].endsWith(";Minuti: carta politica;Livello Italiano;Livello Storia;Livello Geografia;Livello complessivo"));
        QCOMPARE(lines[0].split(';').size(), 1 + 14 + 8 + 4);
        QCOMPARE(lines[1], QString("NICOLÒ DELL'ACQUA;7;0;0;0;0;0;2;0;0;0;0;0;0;0;20;;;;;;;9;"
                                   "prove da finire;prove da finire;prove da finire;prove da finire"));
        QVERIFY(lines[2].startsWith("\"ZOË; \"\"LA\"\" BRAVA\";0;"));
        QVERIFY(lines[3].endsWith(";A – Avanzato;C – Base;A – Avanzato;A – Avanzato"));
        QVERIFY(a.lastAlert().contains("3 alunni"));
        QCOMPARE(quadroCsv(ResultMatrix()).count('\n'), 1);
    }

    // Each "(su N)" of the spreadsheet, and each maximum the statistics use, is the number of
    // items the tests score into those fields.
    void maximaAreThePointsTheTestsGive()
    {
        QHash<QString, int> items; // score field -> items counted into it
        for (const QString &t : itemTests())
            for (const Item &it : testItems(t))
                ++items[it.categoria];
        const QStringList columns[14] = {{"fatti1", "fatti2"}, {"lessico1"}, {"inferen1", "inferen2"}, {"scopi2"},
                                         {"sintesi1", "sintesi2"}, {"gramsem"}, {}, {"logsem"}, {"frasi1"},
                                         {"causasem"}, {"causacom"}, {"cronolog"}, {"elemfis"}, {"elempol"}};
        const QRegularExpression su(" \\(su (\\d+)\\)$");
        for (int k = 0; k < 14; ++k) {
            const QString head = quadroCsvHeads()[size_t(k)];
            int points = 0;
            for (const QString &f : columns[k])
                points += items.value(f);
            const auto m = su.match(head);
            QVERIFY2(columns[k].isEmpty() ? !m.hasMatch() : m.captured(1).toInt() == points, qPrintable(head));
        }
        for (const insight::ScoreField &f : insight::scoreFields())
            QVERIFY2(f.maximum == items.value(QString::fromLatin1(f.name)), f.name);
    }

    // Names typed at name entry must not open as formulas in a spreadsheet; numbers stay numbers.
    void spreadsheetFormulasAreNeutralised()
    {
        const QList<QPair<QString, QString>> cases = {
            {"=HYPERLINK(\"http://x.it\";\"clic\")", "\"'=HYPERLINK(\"\"http://x.it\"\";\"\"clic\"\")\""},
            {"+SOMMA(A1)", "'+SOMMA(A1)"},
            {"-2+3", "'-2+3"},
            {"@A1", "'@A1"},
            {"\t=1+1", "'\t=1+1"},
            {"\r=1+1", "\"'\r=1+1\""},
            {"ROSSI =ANNA", "ROSSI =ANNA"},
        };
        Computer a;
        for (const auto &c : cases)
            QVERIFY(!a.add(c.first, {{"temlettura", -3}}).isEmpty());
        a.archivio.chooseClass(2);
        const QString csv = QString::fromUtf8(quadroCsv(a.archivio.valori()).mid(3));
        for (const auto &c : cases) {
            const QString line = c.second + ";0;0;0;0;0;0;0;0;0;0;0;0;0;0;-3;;;;;;;;;;;\r\n";
            QVERIFY2(csv.contains(line), qPrintable(c.first + " -> " + csv));
        }
    }
};

QTEST_GUILESS_MAIN(TstExport)
#include "tst_export.moc"
