// Displays side by side on the offscreen platform for a test's own main(): set before the
// application starts, since the platform reads them once.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>

namespace qv::test {

struct TestDisplay {
    QString name;
    QSize pixels;
    qreal scale = 1.0; // the desktop's scaling of this display
};

// Displays of these sizes, named after where each starts ("d0", "d1016" …).
inline QList<TestDisplay> sideBySide(const QList<QSize> &sizes)
{
    QList<TestDisplay> out;
    int x = 0;
    for (const QSize &s : sizes) {
        out << TestDisplay{QStringLiteral("d%1").arg(x), s};
        x += s.width();
    }
    return out;
}

// Writes the platform's configuration of `displays` into `dir` and points the offscreen
// platform (and the desktop's scaling, where a display has one) at it; false if it cannot.
inline bool useDisplays(const QTemporaryDir &dir, const QList<TestDisplay> &displays)
{
    QFile f(dir.filePath(QStringLiteral("screens.json")));
    if (!dir.isValid() || !f.open(QIODevice::WriteOnly))
        return false;
    QStringList screens, scales;
    int x = 0;
    for (const TestDisplay &d : displays) {
        screens << QStringLiteral(
                       "{\"name\":\"%1\",\"x\":%2,\"y\":0,\"width\":%3,\"height\":%4,\"logicalDpi\":96}")
                       .arg(d.name)
                       .arg(x)
                       .arg(d.pixels.width())
                       .arg(d.pixels.height());
        scales << QStringLiteral("%1=%2").arg(d.name).arg(d.scale);
        x += d.pixels.width();
    }
    f.write(QStringLiteral("{\"screens\":[%1]}").arg(screens.join(QLatin1Char(','))).toUtf8());
    f.close();
    if (std::any_of(displays.begin(), displays.end(), [](const TestDisplay &d) { return d.scale != 1.0; }))
        qputenv("QT_SCREEN_SCALE_FACTORS", scales.join(QLatin1Char(';')).toLatin1());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + f.fileName().toLocal8Bit());
    return true;
}

} // namespace qv::test
