// Renders every screen offscreen to PNG files, for the README and for looking at the
// screens without a display: screenshots <output folder> [data folder with the pictures].
// Works on a scratch copy of the data folder; nothing of a real archive is touched.
#include "archive/annoscolastico.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "ui/application.h"
#include "ui/screenbase.h"
#include "ui/screens/archiveentry.h"
#include "ui/screens/flinizio.h"
#include "ui/widgets/clicklabel.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

class QuietDialogs : public qv::Dialogs {
public:
    void alert(const QString &) override {}
    bool ask(const QString &, Buttons) override { return false; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    // The teacher's password: chosen, then typed, as "fotografie".
    QStringList askLogin(const QString &, const QString &, const QString &) override { return {}; }
    QStringList askPasswords(const QString &, const QString &, const QStringList &labels) override
    {
        return QStringList(labels.size(), QStringLiteral("fotografie"));
    }
    std::optional<qv::PupilTools> askTools(const QString &, const qv::PupilTools &) override { return std::nullopt; }
    DiskSecret askDiskPassphrase(const QString &, bool) override { return {}; }
};
class Clock : public qv::Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
class NoExit : public qv::Exit {
public:
    void endProgram() override {}
};

bool save(qv::ui::Application &app, qv::Screen s, const QString &out)
{
    qv::ui::ScreenBase *w = app.screen(s);
    if (!w)
        return false;
    QCoreApplication::processEvents();
    const QString file = QDir(out).filePath(QString::fromLatin1(qv::screenName(s)) + ".png");
    return w->grab().save(file);
}

} // namespace

int main(int argc, char **argv)
{
    // Offscreen unless told otherwise (a display of a given size: "offscreen:configfile=...").
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    const QStringList args = qapp.arguments();
    const QString out = args.size() > 1 ? args.at(1) : QStringLiteral("screenshots");
    const QString pictures = args.size() > 2 ? args.at(2) : QStringLiteral("Perquorvane");
    QDir().mkpath(out);

    QTemporaryDir tmp;
    const QString data = tmp.filePath(QStringLiteral("Perquorvane"));
    QString error;
    if (!qv::prepareDataFolder(data, &error)) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    for (const char *f : {qv::kBackgroundFile, qv::kPhysicalMapFile, qv::kPoliticalMapFile})
        QFile::copy(QDir(pictures).filePath(QString::fromLatin1(f)), QDir(data).filePath(QString::fromLatin1(f)));

    QuietDialogs dialogs;
    Clock clock;
    NoExit exit;
    qv::ui::Application app(dialogs, clock, exit, data);
    qv::ui::registerScreens(app);
    qv::ui::useLinkedArchive();
    qv::Modquorv &st = app.state();

    app.show(qv::Screen::FLINIZIO);
    auto *start = app.screenAs<qv::ui::FLINIZIO>(qv::Screen::FLINIZIO);
    emit start->LabAVVIO->clicked();
    save(app, qv::Screen::FLINIZIO, out);

    // A few pupils of "Prima  C", so the lists and the archive have something to show.
    start->model().chooseClass(2);
    for (const char *n : {"BIANCHI LUCA", "ESPOSITO GIULIA", "ROSSI ANNA"}) {
        st.rsclasse->addNew();
        st.rsclasse->setField("nome", QString::fromLatin1(n));
        st.rsclasse->setField("arrivo", 1);
        st.rsclasse->setField("sub", 1);
        st.rsclasse->update();
    }
    st.modoavvio = QStringLiteral("inizio");
    app.show(qv::Screen::FrmNOME);
    save(app, qv::Screen::FrmNOME, out);
    app.hide(qv::Screen::FrmNOME);

    const qv::Screen tests[] = {qv::Screen::FLETTURA, qv::Screen::FLgrasem, qv::Screen::FLogsem,
                                qv::Screen::FLfrasi, qv::Screen::FLstoria1, qv::Screen::FLstoria2,
                                qv::Screen::FLcartge};
    for (qv::Screen s : tests) {
        st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
        st.rsclasse->moveLast();
        st.segnalibro = st.rsclasse->bookmark();
        st.tipoavvio = qv::kAvvioNuovo;
        app.show(s);
        save(app, s, out);
        app.hide(s);
    }

    app.show(qv::Screen::FLINIZIO);
    emit start->Labarchivio->clicked();
    save(app, qv::Screen::FLstampa, out);

    // The school year: last year closed, its window and the comparison of the statistics.
    {
        qv::SchoolYears years(*st.dbrisultati, data);
        const QDateTime now = clock.now();
        years.correct(qv::schoolYearOf(now.date()) - 1, now.date());
        st.rsclasse.reset();
        years.close(years.preview(now.date()), now);
    }
    for (const char *n : {"VERDI MARTA", "NERI PAOLO"}) {
        auto rs = st.dbrisultati->openRecordset(QStringLiteral("prima-C"));
        rs->addNew();
        rs->setField("nome", QString::fromLatin1(n));
        rs->setField("arrivo", 1);
        rs->setField("sub", 1);
        rs->update();
    }
    app.show(qv::Screen::FLINIZIO);
    emit start->Labarchivio->clicked();
    auto *archive = app.screen(qv::Screen::FLstampa);
    for (const char *button : {"cmdanni", "cmdstatistiche"}) {
        archive->findChild<QPushButton *>(QString::fromLatin1(button))->click();
        QCoreApplication::processEvents();
        for (QDialog *d : archive->findChildren<QDialog *>()) {
            if (!d->isVisible())
                continue;
            if (auto *tabs = d->findChild<QTabWidget *>())
                tabs->setCurrentIndex(tabs->count() - 1);
            QCoreApplication::processEvents();
            d->grab().save(QDir(out).filePath(d->objectName() + QStringLiteral(".png")));
            d->close();
        }
    }
    QTextStream(stdout) << "screenshots in " << QDir(out).absolutePath() << Qt::endl;
    return 0;
}
