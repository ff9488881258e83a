// Results and disk files that take no writes: a write-protected results file ends the
// start-up with a message naming it; a connection that turns read-only during the run
// refuses every write and reports it; a write-protected disk refuses the export but is
// still imported from. Nothing is half-written and nothing reports success.
#include "archive/archivio.h"
#include "archive/exchange.h"
#include "startup/inizio.h"
#include "startup/nome.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fakes.h"
#include "support/tabledump.h"

#include <QProcess>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// While alive, every open of one of these files is read-only, as on a write-protected medium.
struct ReadOnlyFiles {
    explicit ReadOnlyFiles(const QStringList &files)
    {
        QStringList paths;
        for (const QString &f : files)
            paths << absolute(f);
        Database::setOpenTweaker([paths](const QString &path) {
            Database::OpenTweak t;
            if (paths.contains(absolute(path)))
                t.connectOptions = QStringLiteral("QSQLITE_OPEN_READONLY");
            return t;
        });
    }
    ~ReadOnlyFiles() { Database::setOpenTweaker({}); }
};

QString add(Database &db, const QString &table, const QString &nome, int arrivo, int fatti1)
{
    auto rs = db.openRecordset(table);
    rs->addNew();
    rs->setField("nome", nome);
    rs->setField("arrivo", arrivo);
    rs->setField("sub", 1);
    rs->setField("fatti1", fatti1);
    if (!rs->update())
        return {};
    return rs->lastModified();
}

// Closes the environment's connection so that the file is folded back and can be compared.
void closeResults(test::ModelEnv &env)
{
    env.session.state.rsclasse.reset();
    env.session.state.dbrisultati.reset();
}

QStringList classRows(const QString &file, const QString &table = QStringLiteral("prima-C"))
{
    QString e;
    auto db = Database::open(file, &e, Database::Journal::Rollback);
    return db ? test::tableRows(db->sql(), table) : QStringList{"<" + e + ">"};
}

} // namespace

class TstReadOnly : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> disk;
    QString diskFile() const { return disk->filePath("expquorvane.mdb"); }

    // A disk with an export of `n` records of another computer.
    void makeDisk(int n)
    {
        test::ModelEnv other;
        for (int i = 0; i < n; ++i)
            add(*other.session.state.dbrisultati, "prima-C", QStringLiteral("ALTRO %1").arg(i), 3, i % 7);
        const ExchangeResult r = esportaClasse(*other.session.state.dbrisultati, "prima-C", diskFile(),
                                               other.folder.file("expquorvane.mdb"));
        QVERIFY2(r.ok, qPrintable(r.message));
    }

private slots:
    void init() { disk = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        Database::setOpenTweaker({});
        disk.reset();
    }

    void readOnlyResultsFileEndsTheStartUp()
    {
        test::ModelEnv env;
        add(*env.session.state.dbrisultati, "prima-C", "ROSSI ANNA", 6, 4);
        closeResults(env);
        const QString file = env.folder.file("quorvane.mdb");
        const QByteArray before = test::fileBytes(file);
        {
            ReadOnlyFiles ro({file});
            InizioModel m(env.session);
            QString e;
            QVERIFY(!m.load(&e));
            QVERIFY2(e.contains(QString("Il file \"%1\" è di sola lettura").arg(QDir::toNativeSeparators(absolute(file)))),
                     qPrintable(e));
            QVERIFY(e.contains("Togli la protezione dalla scrittura"));
            QVERIFY(!e.contains("mkquorvane")); // the folder is fine; preparing it again would not help
            QVERIFY(!env.session.state.dbrisultati);
            QVERIFY(!env.session.state.rsclasse);
        }
        QCOMPARE(test::fileBytes(file), before);
        // Write access back: the program starts and the record is as it was.
        InizioModel m(env.session);
        QString e;
        QVERIFY2(m.load(&e), qPrintable(e));
        m.chooseClass(2);
        QVERIFY(env.session.state.rsclasse);
        QCOMPARE(env.session.state.rsclasse->field("nome").toString(), QString("ROSSI ANNA"));
        QCOMPARE(env.session.state.rsclasse->field("fatti1").toInt(), 4);
    }

    void theWriteProbeLeavesAWritableFileUntouched()
    {
        test::ModelEnv env;
        add(*env.session.state.dbrisultati, "prima-C", "VERDI UGO", 2, 1);
        closeResults(env);
        const QString file = env.folder.file("quorvane.mdb");
        const QByteArray before = test::fileBytes(file);
        {
            InizioModel m(env.session);
            QString e;
            QVERIFY2(m.load(&e), qPrintable(e));
            QVERIFY(env.session.state.dbrisultati->canWrite(&e));
            closeResults(env);
        }
        QCOMPARE(test::fileBytes(file), before);
    }

    void startScreenShowsTheMessageAndEnds()
    {
        test::AppEnv env;
        ReadOnlyFiles ro({env.folder.file("quorvane.mdb")});
        env.app->show(Screen::FLINIZIO);
        QCOMPARE(env.dialogs.alerts.size(), 1);
        QVERIFY(env.dialogs.alerts.at(0).contains("è di sola lettura"));
        QVERIFY(env.dialogs.alerts.at(0).contains("quorvane.mdb"));
        QCOMPARE(env.exit.ended, 1);
        QVERIFY(!env.app->state().dbrisultati);
    }

    // The medium turns read-only while the program runs (a stick's switch, a file system
    // remounted after an error): every write fails, is reported, and changes nothing.
    void readOnlyDuringTheRunRefusesEveryWrite()
    {
        makeDisk(4);
        test::ModelEnv env;
        Database &rw = *env.session.state.dbrisultati;
        add(rw, "prima-C", "BIANCHI LUCA", 3, 5);
        add(rw, "prima-C", "NERI PIA", 10, 2);
        const QString file = env.folder.file("quorvane.mdb");
        closeResults(env);
        const QStringList before = classRows(file);
        QCOMPARE(before.size(), 2);

        ReadOnlyFiles ro({file});
        QString e;
        env.session.state.dbrisultati = Database::open(file, &e);
        QVERIFY2(env.session.state.dbrisultati, qPrintable(e));
        QVERIFY(!env.session.state.dbrisultati->canWrite(&e));
        QVERIFY(e.contains("di sola lettura"));
        env.session.state.rsclasse = env.session.state.dbrisultati->openRecordset("prima-C");
        QVERIFY(env.session.state.rsclasse);
        env.session.state.rsclasse->moveFirst();
        env.session.state.segnalibro = env.session.state.rsclasse->bookmark();

        // A test's store.
        QVERIFY(!env.session.storePupil({{"sub", 9}, {"fatti1", 7}}));
        QCOMPARE(env.stored("fatti1").toInt(), 5);

        // A new pupil's name.
        env.session.state.modoavvio = "inizio";
        NomeModel nome(env.session);
        QCOMPARE(nome.confirm("Gialli", "Eva"), NomeModel::Outcome::Stay);
        QCOMPARE(env.dialogs.alerts.last(),
                 QString("Non riesco a registrare il nome nell'archivio dei risultati. Riprova."));
        QVERIFY(env.nav.shown.empty());

        // Deletion and import in the archive.
        ArchivioModel archivio(env.session);
        archivio.chooseClass(2);
        QCOMPARE(archivio.numalunni(), 2);
        archivio.elimino();
        QCOMPARE(env.dialogs.alerts.last(),
                 QString("Non sono riuscito a cancellare il risultato: l'archivio è rimasto com'era."));
        env.dialogs.folder = disk->path();
        archivio.importo();
        QVERIFY2(env.dialogs.alerts.last().startsWith("L'importazione non è riuscita e la classe è rimasta com'era."),
                 qPrintable(env.dialogs.alerts.last()));
        for (const QString &a : env.dialogs.alerts)
            QVERIFY2(!a.contains("finita"), qPrintable(a));
        QCOMPARE(archivio.numalunni(), 2);

        closeResults(env);
        Database::setOpenTweaker({});
        QCOMPARE(classRows(file), before);
        auto db = Database::open(file, &e);
        QCOMPARE(test::integrityCheck(db->sql()), QString("ok"));
    }

    void writeProtectedDiskIsReadButNotWritten()
    {
        makeDisk(3);
        const QByteArray diskBefore = test::fileBytes(diskFile());
        test::ModelEnv env;
        add(*env.session.state.dbrisultati, "prima-C", "ROSSI ANNA", 10, 3);
        ReadOnlyFiles ro({diskFile()});
        ArchivioModel archivio(env.session);
        archivio.chooseClass(2);
        env.dialogs.folder = disk->path();
        archivio.CreaTabellaEXP();
        QVERIFY2(env.dialogs.alerts.last().contains("L'esportazione non è riuscita e il disco è rimasto com'era."),
                 qPrintable(env.dialogs.alerts.last()));
        QVERIFY(env.dialogs.alerts.last().contains("non protetto dalla scrittura"));
        QCOMPARE(test::fileBytes(diskFile()), diskBefore);
        // Gathering from a protected disk needs no write to it.
        archivio.importo();
        QCOMPARE(env.dialogs.alerts.last(), QString("Importazione finita: 3 risultati importati."));
        QCOMPARE(archivio.numalunni(), 4);
        QCOMPARE(test::fileBytes(diskFile()), diskBefore);
    }

    // A file protected by its permissions. The superuser writes through them, so run as
    // root this case runs again in a child process as the user "nobody" where setpriv can
    // make one; otherwise it is skipped (the injected cases above always run).
    void filesProtectedByTheirPermissions()
    {
        if (geteuid() == 0) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", "/tmp");
            env.insert("TMPDIR", "/tmp");
            child.setProcessEnvironment(env);
            child.setWorkingDirectory("/tmp");
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                    QCoreApplication::applicationFilePath(), "filesProtectedByTheirPermissions"});
            if (!child.waitForFinished(120000))
                QSKIP("setpriv is not available to run the case as an ordinary user");
            const QString out = QString::fromLocal8Bit(child.readAll());
            if (!out.contains("Totals:"))
                QSKIP(qPrintable("cannot run the case as an ordinary user here: " + out.left(300)));
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(out));
            QVERIFY2(out.contains("PASS   : TstReadOnly::filesProtectedByTheirPermissions()"), qPrintable(out));
            return;
        }
        makeDisk(2);
        test::ModelEnv env;
        add(*env.session.state.dbrisultati, "prima-C", "ROSSI ANNA", 10, 3);
        const QString file = env.folder.file("quorvane.mdb");
        closeResults(env);
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0444) == 0);
        QVERIFY(::chmod(QFile::encodeName(diskFile()).constData(), 0444) == 0);
        const QByteArray before = test::fileBytes(file);
        const QByteArray diskBefore = test::fileBytes(diskFile());
        InizioModel m(env.session);
        QString e;
        QVERIFY(!m.load(&e));
        QVERIFY2(e.contains("è di sola lettura"), qPrintable(e));
        QCOMPARE(test::fileBytes(file), before);

        // The refused start left no write-protected companion: lifting the protection is enough.
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0644) == 0);
        QVERIFY2(m.load(&e), qPrintable(e));
        closeResults(env);

        // Companions left write-protected by some other reader are named in the message.
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0444) == 0);
        {
            auto reader = Database::open(file, &e);
            QVERIFY2(reader, qPrintable(e));
            QVERIFY(!reader->canWrite(&e));
        }
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0644) == 0);
        const QString wal = file + "-wal";
        QVERIFY(QFile::exists(wal) && !QFileInfo(wal).isWritable());
        QVERIFY(!m.load(&e));
        QVERIFY2(e.contains(QString("Il file \"%1\" è di sola lettura").arg(QDir::toNativeSeparators(absolute(wal)))),
                 qPrintable(e));
        for (const QString &companion : {wal, file + "-shm"})
            QVERIFY(!QFile::exists(companion) || ::chmod(QFile::encodeName(companion).constData(), 0644) == 0);
        QVERIFY2(m.load(&e), qPrintable(e));
        closeResults(env);

        // A write-protected folder: SQLite could not make its companions there.
        const QString folder = env.folder.path();
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
        const bool refused = !m.load(&e);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QVERIFY(refused);
        QVERIFY2(e.contains(QString("La cartella \"%1\" è di sola lettura").arg(QDir::toNativeSeparators(absolute(folder)))),
                 qPrintable(e));
        QVERIFY2(m.load(&e), qPrintable(e));
        ArchivioModel archivio(env.session);
        archivio.chooseClass(2);
        env.dialogs.folder = disk->path();
        archivio.CreaTabellaEXP();
        QVERIFY(env.dialogs.alerts.last().contains("L'esportazione non è riuscita"));
        QCOMPARE(test::fileBytes(diskFile()), diskBefore);
        archivio.importo();
        QCOMPARE(env.dialogs.alerts.last(), QString("Importazione finita: 2 risultati importati."));
    }
};

QTEST_MAIN(TstReadOnly)
#include "tst_readonly.moc"
