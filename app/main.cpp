// Quorvane: builds the application with the real seams and shows the start screen.
// Everything is found under "Perquorvane" in the current directory.
#include "startup/datafolder.h"
#include "ui/application.h"
#include "ui/widgets/realseams.h"

#include <QApplication>
#include <QFont>

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qv::ui::kProgramTitle));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));

    qv::ui::QtDialogs dialogs;
    qv::ui::SystemClock clock;
    qv::ui::QtExit exit;
    qv::ui::Application app(dialogs, clock, exit, QString::fromLatin1(qv::kDataFolder));
    qv::ui::registerScreens(app);
    app.show(qv::Screen::FLINIZIO);
    return qapp.exec();
}
