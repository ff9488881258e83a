// Quorvane: builds the application with the real seams and shows the start screen.
// Everything is found under "Perquorvane" in the current directory.
#include "startup/datafolder.h"
#include "ui/application.h"
#include "ui/screenbase.h"
#include "ui/startupprobe.h"
#include "ui/widgets/qtspeech.h"
#include "ui/widgets/realseams.h"
#include "ui/widgets/widgetmap.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QLocale>

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
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
    qv::ui::WidgetMap::installFromEnvironment(&qapp);
    app.setPreparesAhead(true);
    app.show(qv::Screen::FLINIZIO);
    app.copyAfterFirstPaint();
    // For the start-up benchmark: report when the start screen has been painted, then leave.
    if (qEnvironmentVariableIsSet("QUORVANE_STARTUP_PROBE")) {
        if (QWidget *start = app.screen(qv::Screen::FLINIZIO))
            start->installEventFilter(
                new qv::ui::PaintProbe(QStringLiteral("start screen"), sinceStart, &qapp));
    }
    return qapp.exec();
}
