// The start-up probe, shared by the program and by the empty-window floor it is compared
// with, so both are timed the same way: from the kernel's start of the process (loading
// the libraries counts too) to the end of the first paint of a window. Header only, so the
// floor links Qt Widgets alone.
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

// Milliseconds since the kernel started this process, or -1 where /proc cannot tell.
// The kernel keeps the start in clock ticks since boot.
inline qint64 msSinceProcessStart()
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

// Installed on a window: at its first paint, lets the paint finish, prints
// "<what> painted N ms after process start (M ms after main)" and quits.
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
                QTextStream(stdout) << what_ << " painted " << msSinceProcessStart()
                                    << " ms after process start (" << sinceMain_.elapsed()
                                    << " ms after main)" << Qt::endl;
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
