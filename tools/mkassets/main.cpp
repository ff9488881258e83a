// Asset tool: draws the background of the test screens and the two maps of Italy into a
// data folder.
//
//   mkassets <folder> [<geo data folder>]     writes formavvio3.jpg, itafis3.bmp, itareg2.bmp
//   mkassets --markers [<geo data folder>]    lists the numbered circles of both maps, one a
//                                             line: map, number, place x y, centre x y, radius
//
// The geographic data is read from the given folder, else from the source tree's data/geo.
// The pictures depend on nothing but the data and the fonts: the same input gives the
// same bytes.
#include "maps.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

using namespace mkassets;

namespace {

QString findGeoFolder(const QStringList &args, int at)
{
    if (args.size() > at)
        return args.at(at);
    QStringList candidates;
#ifdef QUORVANE_GEO_DIR
    candidates << QStringLiteral(QUORVANE_GEO_DIR);
#endif
    const QDir exe(QCoreApplication::applicationDirPath());
    candidates << exe.filePath(QStringLiteral("../../data/geo")) << exe.filePath(QStringLiteral("../data/geo"))
               << QStringLiteral("data/geo");
    for (const QString &c : candidates)
        if (QFileInfo::exists(QDir(c).filePath(QStringLiteral("regions.geojson"))))
            return c;
    return candidates.first();
}

bool save(const QImage &img, const QString &path, const char *format, int quality = -1)
{
    if (img.save(path, format, quality))
        return true;
    std::fprintf(stderr, "mkassets: cannot write %s\n", qPrintable(path));
    return false;
}

void listMarkers(QTextStream &out, const char *map, const QList<Marker> &ms)
{
    for (const Marker &m : ms)
        out << map << ' ' << m.number << ' ' << m.place.x() << ' ' << m.place.y() << ' ' << m.centre.x() << ' '
            << m.centre.y() << ' ' << m.radius << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    // The tool draws into images only; it needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: mkassets <folder> [<geo data folder>]\n"
                             "       mkassets --markers [<geo data folder>]\n");
        return 2;
    }
    const bool listOnly = args.at(1) == QLatin1String("--markers");
    const QString geo = findGeoFolder(args, 2);
    GeoData data;
    QString error;
    if (!readGeoData(geo, &data, &error)) {
        std::fprintf(stderr, "mkassets: %s\n", qPrintable(error));
        return 1;
    }
    if (data.features.size() != 22 || data.regions.size() != 20) {
        std::fprintf(stderr, "mkassets: expected 22 physical features and 20 regions in %s\n", qPrintable(geo));
        return 1;
    }

    QList<Marker> physical, political;
    QList<QPointF> towns;
    const QImage fis = drawPhysicalMap(data, &physical);
    const QImage reg = drawPoliticalMap(data, &political, &towns);
    const QStringList problems = layoutProblems(fis.size(), physical, {}) + misleadingMarkers(data, physical)
        + layoutProblems(reg.size(), political, towns) + coveringMarkers(data, physical, political)
        + colourClashes(data);
    for (const QString &pr : problems)
        std::fprintf(stderr, "mkassets: %s\n", qPrintable(pr));

    if (listOnly) {
        QTextStream out(stdout);
        listMarkers(out, "itafis3", physical);
        listMarkers(out, "itareg2", political);
        return problems.isEmpty() ? 0 : 1;
    }
    const QString folder = args.at(1);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "mkassets: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    const QDir dir(folder);
    const bool saved = save(drawBackground(), dir.filePath(QStringLiteral("formavvio3.jpg")), "JPG", 90)
        && save(fis, dir.filePath(QStringLiteral("itafis3.bmp")), "BMP")
        && save(reg, dir.filePath(QStringLiteral("itareg2.bmp")), "BMP");
    // A layout with problems is written all the same, so it can be looked at, but fails.
    return saved && problems.isEmpty() ? 0 : 1;
}
