// Every folder and file the program and its set-up code make is for the owner alone (folders
// 0700, files 0600) under a lax umask, and a data folder left readable by an earlier version
// is tightened at start: results file, copies, export disk file, spreadsheet files, PDF.
#include "archive/archivio.h"
#include "archive/backup.h"
#include "archive/exchange.h"
#include "archive/report.h"
#include "startup/datafolder.h"
#include "startup/inizio.h"
#include "support/fakes.h"
#include "ui/printing/reportprinter.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/stat.h>

using namespace qv;

namespace {

// The permission bits of what `path` names, the link itself for a link; -1 when missing.
int modeOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

void writeFile(const QString &path, int mode)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
    f.close();
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
}

} // namespace

class TstPrivateFiles : public QObject {
    Q_OBJECT

private slots:
    void ownerOnlyWhateverTheUmask_data()
    {
        QTest::addColumn<int>("mask");
        QTest::newRow("umask 022") << 022;
        QTest::newRow("umask 000") << 000;
    }
    void ownerOnlyWhateverTheUmask()
    {
        QFETCH(int, mask);
        const mode_t before = ::umask(mode_t(mask));
        auto restore = qScopeGuard([&] { ::umask(before); });
        test::ModelEnv env;
        QV_FILE_ONLY(env.folder);
        QVERIFY2(env.folder.ok(), qPrintable(env.folder.error()));
        env.addPupil("ROSSI ANNA");
        Database &db = *env.session.state.dbrisultati;
        const QDir outside(QFileInfo(env.folder.path()).absolutePath());

        // Made by the program, each with the mode it must have.
        QList<QPair<QString, int>> made = {
            {env.folder.path(), 0700},
            {env.folder.file("quorvane.mdb"), 0600},
            {env.folder.file("quorvane.mdb-wal"), 0600},
            {env.folder.file("expquorvane.mdb"), 0600},
        };
        const BackupResult copy = makeBackup(db, env.folder.file("copie"), env.clock.now(), true);
        QCOMPARE(copy.outcome, BackupResult::Outcome::Made);
        made << qMakePair(env.folder.file("copie"), 0700) << qMakePair(copy.file, 0600);

        QVERIFY(outside.mkpath("disco"));
        const QString disk = outside.filePath("disco/expquorvane.mdb");
        const ExchangeResult exported = esportaClasse(db, "prima-C", disk, env.folder.file("expquorvane.mdb"));
        QVERIFY2(exported.ok, qPrintable(exported.message));
        made << qMakePair(disk, 0600);

        QVERIFY(outside.mkpath("fogli"));
        env.dialogs.folder = outside.filePath("fogli");
        ArchivioModel archivio(env.session);
        archivio.esportoCsv();
        const QStringList sheets = QDir(env.dialogs.folder).entryList({"*.csv"}, QDir::Files);
        QCOMPARE(sheets.size(), 2);
        for (const QString &f : sheets)
            made << qMakePair(QDir(env.dialogs.folder).filePath(f), 0600);

        ResultMatrix m;
        m.append(matrixRow([](const QString &f) { return f == "nome" ? QVariant("ROSSI ANNA") : QVariant(); }));
        const QString pdf = outside.filePath("stampa.pdf");
        const ui::PrintOutcome printed = ui::printReport(pupilReport(m, 1), [&](const QString &) { return pdf; }, true);
        QVERIFY(printed.ok);
        made << qMakePair(pdf, 0600);

        // A data folder made with its parents, as the launcher's first start does.
        QString e;
        const QString deep = outside.filePath("casa/Quorvane/Perquorvane");
        QVERIFY2(prepareDataFolder(deep, &e), qPrintable(e));
        made << qMakePair(outside.filePath("casa"), 0700) << qMakePair(outside.filePath("casa/Quorvane"), 0700)
             << qMakePair(deep, 0700) << qMakePair(deep + "/quorvane.mdb", 0600);

        for (const auto &[path, mode] : made)
            QVERIFY2(modeOf(path) == mode, qPrintable(QString("%1: %2 instead of %3")
                                                           .arg(path, QString::number(modeOf(path), 8), QString::number(mode, 8))));
    }

    // An earlier version's data folder, readable by all, is made owner-only when the program
    // starts; what the owner could not write stays so, and a link is not followed out.
    void earlierFolderTightenedAtStart()
    {
        const mode_t before = ::umask(022);
        auto restore = qScopeGuard([&] { ::umask(before); });
        test::ModelEnv env;
        QV_FILE_ONLY(env.folder);
        const QString data = env.folder.path();
        const QString elsewhere = QFileInfo(data).absolutePath() + "/altrove.txt";
        QVERIFY(QDir(data).mkdir("copie"));
        writeFile(data + "/copie/quorvane-2026-09-01_08-00-00.mdb", 0644);
        writeFile(data + "/copie/vecchia.mdb", 0444);
        writeFile(elsewhere, 0644);
        QVERIFY(QFile::link(elsewhere, data + "/collegamento"));
        for (const QString &p : {data, data + "/copie"})
            QVERIFY(::chmod(QFile::encodeName(p).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(data + "/quorvane.mdb").constData(), 0644) == 0);

        InizioModel start(env.session);
        QString e;
        QVERIFY2(start.load(&e), qPrintable(e));
        const QList<QPair<QString, int>> expected = {
            {data, 0700},
            {data + "/copie", 0700},
            {data + "/quorvane.mdb", 0600},
            {data + "/formavvio3.jpg", 0600},
            {data + "/copie/quorvane-2026-09-01_08-00-00.mdb", 0600},
            {data + "/copie/vecchia.mdb", 0400},
            {elsewhere, 0644},
        };
        for (const auto &[path, mode] : expected)
            QVERIFY2(modeOf(path) == mode, qPrintable(QString("%1: %2 instead of %3")
                                                           .arg(path, QString::number(modeOf(path), 8), QString::number(mode, 8))));
    }
};

QTEST_MAIN(TstPrivateFiles)
#include "tst_privatefiles.moc"
