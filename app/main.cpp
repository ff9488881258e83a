// Quorvane: builds the application with the real seams and shows the start screen.
// Everything is found under "Perquorvane" in the current directory.
#include "startup/datafolder.h"
#include "ui/application.h"
#include "ui/widgets/realseams.h"
#include "ui/widgets/widgetmap.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QTextStream>
#include <QTimer>

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qv::ui::kProgramTitle));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));

    qv::ui::QtDialogs dialogs;
    qv::ui::SystemClock clock;
    qv::ui::QtExit exit;
    qv::ui::Application app(dialogs, clock, exit, QString::fromLatin1(qv::kDataFolder));
    qv::ui::registerScreens(app);
    qv::ui::WidgetMap::installFromEnvironment(&qapp);
    app.show(qv::Screen::FLINIZIO);
    // For the start-up benchmark: report when the start screen has been painted, then leave.
    if (qEnvironmentVariableIsSet("QUORVANE_STARTUP_PROBE")) {
        QTimer::singleShot(0, &qapp, [&] {
            QTextStream(stdout) << "start screen shown after " << sinceStart.elapsed() << " ms" << Qt::endl;
            qapp.quit();
        });
    }
    return qapp.exec();
}
