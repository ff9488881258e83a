// The start-up probe, shared by the program and by the empty-window floor it is compared
// with, so both are timed the same way: from the launch (loading the libraries counts too)
// to the end of the first paint of a window. Header only, so the floor links Qt Widgets alone.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <ctime>
#include <unistd.h>

namespace qv::ui {

// Milliseconds since the process was launched. The launcher gives its moment, taken just
// before the exec, in QUORVANE_STARTUP_PROBE as microseconds since the epoch (bash:
// ${EPOCHREALTIME/[^0-9]/}). Without it, since the kernel started the process, which the
// kernel keeps in clock ticks since boot (10 ms); -1 where /proc cannot tell.
inline double msSinceLaunch()
{
    timespec now{};
    const qint64 launchUs = qgetenv("QUORVANE_STARTUP_PROBE").toLongLong();
    if (launchUs > 1000000 && clock_gettime(CLOCK_REALTIME, &now) == 0)
        return (double(now.tv_sec) * 1e6 + now.tv_nsec / 1e3 - double(launchUs)) / 1e3;
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const long hz = sysconf(_SC_CLK_TCK);
    if (f.size() < 20 || hz <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    bool ok = false;
    const qint64 startTicks = f.at(19).toLongLong(&ok); // field 22 of the line
    if (!ok)
        return -1;
    return double(qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000 - startTicks * 1000 / hz);
}

// Installed on a window: at its first paint, lets the paint finish, prints
// "<what> painted N ms after launch (M ms after main)" and quits.
class PaintProbe : public QObject {
public:
    PaintProbe(QString what, const QElapsedTimer &sinceMain, QObject *parent)
        : QObject(parent), what_(std::move(what)), sinceMain_(sinceMain)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            QTimer::singleShot(0, this, [this] {
                QTextStream(stdout) << what_ << " painted " << QString::number(msSinceLaunch(), 'f', 1)
                                    << " ms after launch (" << sinceMain_.elapsed() << " ms after main)"
                                    << Qt::endl;
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    QString what_;
    const QElapsedTimer &sinceMain_;
    bool reported_ = false;
};

} // namespace qv::ui
