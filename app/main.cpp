// Quorvane: builds the application with the real seams and shows the start screen.
// Everything is found under "Perquorvane" in the current directory. Built with
// QUORVANE_TEST_HOOKS (the target quorvane_test), it also answers the environment switches
// of the scripted tests and benchmarks; the installed program has none.
#include "startup/datafolder.h"
#include "storage/privatefiles.h"
#include "ui/application.h"
#include "ui/screenbase.h"
#include "ui/widgets/qtspeech.h"
#include "ui/widgets/realseams.h"
#ifdef QUORVANE_TEST_HOOKS
#include "ui/startupprobe.h"
#include "ui/widgets/widgetmap.h"
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QLocale>

int main(int argc, char **argv)
{
    // Whatever a library creates on its own is for this account alone, too.
    qv::privateUmask();
#ifdef QUORVANE_TEST_HOOKS
    QElapsedTimer sinceStart;
    sinceStart.start();
#endif
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qv::ui::kProgramTitle));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    if (!qv::ui::installItalianTranslations())
        qWarning("Traduzioni italiane di Qt non trovate (pacchetto qt6-translations-l10n): "
                 "le finestre di sistema restano in inglese.");

    qv::ui::QtDialogs dialogs;
    qv::ui::SystemClock clock;
    qv::ui::QtExit exit;
    qv::ui::Application app(dialogs, clock, exit, QString::fromLatin1(qv::kDataFolder));
    // The program is Italian whatever the computer's language: Qt's speech engine starts
    // with this language's voice, and would fail on a system language without a voice.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    qv::ui::QtSpeech speech;
    app.session().setSpeech(&speech);
    qv::ui::registerScreens(app);
#ifdef QUORVANE_TEST_HOOKS
    qv::ui::WidgetMap::installFromEnvironment(&qapp);
#endif
    app.setPreparesAhead(true);
    app.start();
#ifdef QUORVANE_TEST_HOOKS
    // For the start-up benchmark: report when the start screen has been painted, then leave.
    if (qEnvironmentVariableIsSet("QUORVANE_STARTUP_PROBE")) {
        if (QWidget *start = app.screen(qv::Screen::FLINIZIO))
            start->installEventFilter(
                new qv::ui::PaintProbe(QStringLiteral("start screen"), sinceStart, &qapp));
    }
#endif
    return qapp.exec();
}
