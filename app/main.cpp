// Quorvane: builds the application with the real seams and shows the start screen.
// Everything is found under "Perquorvane" in the current directory.
#include "startup/datafolder.h"
#include "ui/application.h"
#include "ui/screenbase.h"
#include "ui/widgets/realseams.h"
#include "ui/widgets/widgetmap.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFont>
#include <QTextStream>
#include <QTimer>

#include <ctime>
#include <unistd.h>

namespace {

// Milliseconds since the kernel started this process (so loading the libraries counts
// too), or -1 where /proc cannot tell. The kernel keeps the start in clock ticks since boot.
qint64 msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    timespec now{};
    const long hz = sysconf(_SC_CLK_TCK);
    if (f.size() < 20 || hz <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    bool ok = false;
    const qint64 startTicks = f.at(19).toLongLong(&ok); // field 22 of the line
    if (!ok)
        return -1;
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000 - startTicks * 1000 / hz;
}

// Waits for the first paint of the start screen, lets it finish, reports and quits.
class PaintProbe : public QObject {
public:
    PaintProbe(const QElapsedTimer &sinceMain, QObject *parent) : QObject(parent), sinceMain_(sinceMain) {}

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            QTimer::singleShot(0, this, [this] {
                QTextStream(stdout) << "start screen painted " << msSinceProcessStart()
                                    << " ms after process start (" << sinceMain_.elapsed()
                                    << " ms after main)" << Qt::endl;
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    const QElapsedTimer &sinceMain_;
    bool reported_ = false;
};

} // namespace

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
    qv::ui::registerScreens(app);
    qv::ui::WidgetMap::installFromEnvironment(&qapp);
    app.show(qv::Screen::FLINIZIO);
    app.copyAfterFirstPaint();
    // For the start-up benchmark: report when the start screen has been painted, then leave.
    if (qEnvironmentVariableIsSet("QUORVANE_STARTUP_PROBE")) {
        if (QWidget *start = app.screen(qv::Screen::FLINIZIO))
            start->installEventFilter(new PaintProbe(sinceStart, &qapp));
    }
    return qapp.exec();
}
