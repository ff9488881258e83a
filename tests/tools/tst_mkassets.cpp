// The asset tool: the three pictures exist with their sizes, every number of both maps is
// drawn where its place is, small places stay visible, a circle that could be taken for
// something else drawn fails the tool, no circle lies on land it does not name, the regions'
// colours are told apart from the sea's and their neighbours', and a second run gives the
// same bytes.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QPainter>
#include <QPainterPath>
#include <QtTest>
#include <cmath>
#include <lcms2.h>
#include <set>

namespace {

// The projection the maps are drawn in, restated here so the test checks the tool
// independently: equirectangular, x scaled by cos(41.75°), box lon 6.4–18.9, lat 36.4–47.2.
constexpr double kWest = 6.4, kNorth = 47.2, kSouth = 36.4, kCos = 0.74664;
constexpr int kMapW = 605, kMapH = 700;
// The least perceived difference (CIEDE2000) between a region's colour and the sea's, the
// lakes', the neighbouring countries' or a bordering region's.
constexpr double kApart = 15;

QPointF project(double lon, double lat)
{
    const double s = kMapH / (kNorth - kSouth);
    return QPointF((lon - kWest) * kCos * s, (kNorth - lat) * s);
}

QJsonArray unproject(const QPointF &px)
{
    const double s = kMapH / (kNorth - kSouth);
    return QJsonArray{kWest + px.x() / (kCos * s), kNorth - px.y() / s};
}

struct Marker {
    int number;
    QPointF place, centre;
    int radius;
};

// Marks of what lies under a map's pixels besides the sea (0) and the regions (their ids).
constexpr int kLakeMark = 50, kAbroad = 100, kAnyCountry = 255;

// A (Multi)Polygon feature, projected.
QPainterPath outline(const QJsonObject &feature)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    const QJsonObject g = feature.value("geometry").toObject();
    QJsonArray polygons = g.value("coordinates").toArray();
    if (g.value("type").toString() == "Polygon")
        polygons = QJsonArray{polygons};
    for (const QJsonValue &poly : polygons)
        for (const QJsonValue &ring : poly.toArray()) {
            QPolygonF pts;
            for (const QJsonValue &pt : ring.toArray())
                pts << project(pt.toArray().at(0).toDouble(), pt.toArray().at(1).toDouble());
            path.addPolygon(pts);
            path.closeSubpath();
        }
    return path;
}

double difference(QRgb a, QRgb b)
{
    static const cmsHTRANSFORM toLab = cmsCreateTransform(cmsCreate_sRGBProfile(), TYPE_RGB_8,
                                                          cmsCreateLab4Profile(nullptr), TYPE_Lab_DBL, INTENT_PERCEPTUAL, 0);
    auto lab = [](QRgb c) {
        const unsigned char rgb[3] = {uchar(qRed(c)), uchar(qGreen(c)), uchar(qBlue(c))};
        cmsCIELab out;
        cmsDoTransform(toLab, rgb, &out, 1);
        return out;
    };
    const cmsCIELab la = lab(a), lb = lab(b);
    return cmsCIE2000DeltaE(&la, &lb, 1, 1, 1);
}

bool dark(QRgb c) { return qGray(c) < 90; }
bool white(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }

} // namespace

class TstMkassets : public QObject {
    Q_OBJECT

    QString tool, geo;
    QTemporaryDir dir;
    QString folder;
    QMap<QString, QList<Marker>> markers; // "itafis3", "itareg2"

    int run(const QStringList &args, QByteArray *out = nullptr, QByteArray *errOut = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(tool, args);
        if (!p.waitForFinished(120000))
            return -1;
        if (out)
            *out = p.readAllStandardOutput();
        const QByteArray err = p.readAllStandardError();
        if (errOut)
            *errOut = err;
        else if (p.exitCode() != 0)
            qWarning("%s", err.constData());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QJsonArray features(const QString &file)
    {
        QFile f(QDir(geo).filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(f.readAll()).object().value("features").toArray();
    }
    QImage picture(const char *name) { return QImage(QDir(folder).filePath(QString::fromLatin1(name))); }

    // Inside the circle there must be the white disc and the dark strokes of the number.
    void checkMarkerDrawn(const QImage &img, const Marker &m)
    {
        int darkPx = 0, whitePx = 0;
        const int r = m.radius - 2;
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                if (dx * dx + dy * dy > r * r)
                    continue;
                const QRgb c = img.pixel(int(std::lround(m.centre.x())) + dx, int(std::lround(m.centre.y())) + dy);
                darkPx += dark(c);
                whitePx += white(c);
            }
        QVERIFY2(darkPx >= 15, qPrintable(QStringLiteral("number %1: no digits (%2)").arg(m.number).arg(darkPx)));
        QVERIFY2(whitePx >= int(1.25 * r * r), qPrintable(QStringLiteral("number %1: no disc (%2)").arg(m.number).arg(whitePx)));
    }

private slots:
    void initTestCase()
    {
        tool = qEnvironmentVariable("QUORVANE_BINARY_DIR") + QStringLiteral("/mkassets");
        geo = qEnvironmentVariable("QUORVANE_SOURCE_DIR") + QStringLiteral("/data/geo");
        QVERIFY2(QFile::exists(tool), qPrintable(tool));
        QVERIFY(dir.isValid());
        folder = dir.filePath("a/Perquorvane");
        QCOMPARE(run({folder, geo}), 0);
        QByteArray out;
        QCOMPARE(run({"--markers", geo}, &out), 0);
        for (const QByteArray &line : out.split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() != 7)
                continue;
            markers[QString::fromLatin1(f[0])] << Marker{f[1].toInt(), QPointF(f[2].toDouble(), f[3].toDouble()),
                                                         QPointF(f[4].toDouble(), f[5].toDouble()), f[6].toInt()};
        }
    }

    void picturesHaveTheirSizes()
    {
        QCOMPARE(picture("formavvio3.jpg").size(), QSize(1016, 730));
        QCOMPARE(picture("itafis3.bmp").size(), QSize(kMapW, kMapH));
        QCOMPARE(picture("itareg2.bmp").size(), QSize(kMapW, kMapH));
    }

    void backgroundIsPaleAndCalm()
    {
        const QImage bg = picture("formavvio3.jpg");
        int minGray = 255, maxGray = 0;
        for (int y = 0; y < bg.height(); y += 7)
            for (int x = 0; x < bg.width(); x += 7) {
                const int g = qGray(bg.pixel(x, y));
                minGray = std::min(minGray, g);
                maxGray = std::max(maxGray, g);
            }
        QVERIFY2(minGray > 215, qPrintable(QString::number(minGray)));
        QVERIFY2(maxGray - minGray < 30, qPrintable(QString::number(maxGray - minGray)));
    }

    void everyNumberOnceAtItsPlace_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::newRow("fisica") << "itafis3" << "physical_features.geojson" << 22;
        QTest::newRow("politica") << "itareg2" << "regions.geojson" << 20;
    }
    void everyNumberOnceAtItsPlace()
    {
        QFETCH(QString, map);
        QFETCH(QString, file);
        QFETCH(int, count);
        const QList<Marker> &ms = markers.value(map);
        QCOMPARE(ms.size(), count);
        QMap<int, Marker> byNumber;
        for (const Marker &m : ms)
            byNumber.insert(m.number, m);
        QCOMPARE(byNumber.size(), count);
        QCOMPARE(byNumber.firstKey(), 1);
        QCOMPARE(byNumber.lastKey(), count);
        const QImage img = picture(qPrintable(map + QStringLiteral(".bmp")));
        for (const QJsonValue &v : features(file)) {
            const QJsonObject p = v.toObject().value("properties").toObject();
            const bool physical = map == "itafis3";
            const int n = physical ? p.value("number").toInt() : p.value("id").toInt();
            QPointF expected;
            if (physical) {
                const QJsonArray c = v.toObject().value("geometry").toObject().value("coordinates").toArray();
                // Monte Bianco is marked just inside Italy, its summit being on the border line.
                expected = n == 5 ? project(6.90, 45.82) : project(c.at(0).toDouble(), c.at(1).toDouble());
            } else {
                expected = project(p.value("label_lon").toDouble(), p.value("label_lat").toDouble());
            }
            const Marker m = byNumber.value(n);
            QVERIFY2(QLineF(m.place, expected).length() < 1.0, qPrintable(QString::number(n)));
            QVERIFY2(QLineF(m.place, m.centre).length() < 60, qPrintable(QString::number(n)));
            checkMarkerDrawn(img, m);
        }
    }

    void smallPlacesStayVisible()
    {
        const QImage img = picture("itafis3.bmp");
        for (const Marker &m : markers.value("itafis3")) {
            if (m.number != 9 && m.number != 19 && m.number != 22)
                continue; // Elba, Gulf of Naples, Strait of Messina
            QVERIFY2(QLineF(m.place, m.centre).length() > m.radius + 8, qPrintable(QString::number(m.number)));
            const QRgb at = img.pixel(m.place.toPoint());
            QVERIFY2(!white(at) && !dark(at), qPrintable(QString::number(m.number)));
        }
    }

    void chiefTownsHaveDotsNoNumberHides()
    {
        const QImage img = picture("itareg2.bmp");
        for (const QJsonValue &v : features("regions.geojson")) {
            const QJsonObject p = v.toObject().value("properties").toObject();
            const QPointF town = project(p.value("capital_lon").toDouble(), p.value("capital_lat").toDouble());
            QVERIFY2(dark(img.pixel(town.toPoint())), qPrintable(p.value("capital").toString()));
            for (const Marker &m : markers.value("itareg2"))
                QVERIFY2(QLineF(m.centre, town).length() > m.radius + 4,
                         qPrintable(QStringLiteral("%1 hides %2").arg(m.number).arg(p.value("capital").toString())));
        }
    }

    void numbersDoNotOverlap()
    {
        for (const QString &map : {QStringLiteral("itafis3"), QStringLiteral("itareg2")}) {
            const QList<Marker> &ms = markers.value(map);
            for (qsizetype i = 0; i < ms.size(); ++i)
                for (qsizetype j = i + 1; j < ms.size(); ++j)
                    QVERIFY2(QLineF(ms[i].centre, ms[j].centre).length() > ms[i].radius + ms[j].radius,
                             qPrintable(QStringLiteral("%1: %2 and %3").arg(map).arg(ms[i].number).arg(ms[j].number)));
        }
    }

    // A lake, a river or another feature's place drawn 3 px from a circle, nearer than what
    // the circle names, makes the tool fail and name that circle. The Alps' place is the
    // one moved, so the set keeps its 22 features.
    void misleadingCircleFailsTheTool_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("number");
        QTest::newRow("lake under the Po") << "gshhg/lakes.geojson" << 4;
        QTest::newRow("river by Vesuvio") << "gshhg/rivers.geojson" << 12;
        QTest::newRow("place by the Tevere") << "physical_features.geojson" << 8;
    }
    void misleadingCircleFailsTheTool()
    {
        QFETCH(QString, file);
        QFETCH(int, number);
        const QString copy = dir.filePath(QStringLiteral("geo-%1").arg(number));
        QVERIFY(QDir().mkpath(copy + "/gshhg"));
        for (const char *f : {"regions.geojson", "neighbours.geojson", "physical_features.geojson",
                              "gshhg/rivers.geojson", "gshhg/lakes.geojson"})
            QVERIFY(QFile::copy(QDir(geo).filePath(f), QDir(copy).filePath(f)));
        QPointF at;
        for (const Marker &m : markers.value("itafis3"))
            if (m.number == number)
                at = m.centre + QPointF(3, 0);
        const QJsonArray square{unproject(at + QPointF(-2, -2)), unproject(at + QPointF(2, -2)),
                                unproject(at + QPointF(2, 2)), unproject(at + QPointF(-2, -2))};
        const QJsonArray line{unproject(at + QPointF(0, -20)), unproject(at + QPointF(0, 20))};
        QFile f(QDir(copy).filePath(file));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QJsonObject doc = QJsonDocument::fromJson(f.readAll()).object();
        QJsonArray fs = doc.value("features").toArray();
        QJsonObject feature{{"type", "Feature"}};
        QJsonObject geometry{{"type", "Point"}, {"coordinates", unproject(at)}};
        if (file.contains("lakes"))
            geometry = QJsonObject{{"type", "Polygon"}, {"coordinates", QJsonArray{square}}};
        else if (file.contains("rivers"))
            geometry = QJsonObject{{"type", "LineString"}, {"coordinates", line}};
        else
            feature = fs.takeAt(0).toObject();
        feature["geometry"] = geometry;
        fs.append(feature);
        doc["features"] = fs;
        QVERIFY(f.resize(0) && f.write(QJsonDocument(doc).toJson()) > 0);
        f.close();
        QByteArray err;
        QCOMPARE(run({"--markers", copy}, nullptr, &err), 1);
        QVERIFY2(err.contains("marker " + QByteArray::number(number) + " is not clearly nearer"),
                 err.constData());
    }

    // The drawn maps against what lies under them: a circle on land it does not name (another
    // country; on the political map another region, or its centre off its own), a region
    // painted like the sea, a lake, a neighbouring country or a region it borders.
    void drawnMapsDoNotMislead_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<QString>("fault");
        QTest::newRow("fisica, cerchi all'estero") << "itafis3" << "abroad";
        QTest::newRow("politica, cerchi all'estero") << "itareg2" << "abroad";
        QTest::newRow("politica, cerchi su altre regioni") << "itareg2" << "region";
        QTest::newRow("politica, colori") << "itareg2" << "colour";
    }
    void drawnMapsDoNotMislead()
    {
        QFETCH(QString, map);
        QFETCH(QString, fault);
        // What lies under each pixel, in its red: 0 the sea, a region's id, kLakeMark a lake,
        // kAbroad and up a neighbouring country.
        QImage under(kMapW, kMapH, QImage::Format_RGB32);
        under.fill(Qt::black);
        QHash<int, QString> name{{0, "the sea"}, {kLakeMark, "the lakes"}, {kAnyCountry, "the neighbouring countries"}};
        QPainter painter(&under);
        int abroad = kAbroad;
        for (const char *file : {"neighbours.geojson", "regions.geojson", "gshhg/lakes.geojson"})
            for (const QJsonValue &v : features(file)) {
                const QJsonObject pr = v.toObject().value("properties").toObject();
                const int mark = pr.contains("adm0_a3") ? abroad++ : pr.contains("id") ? pr.value("id").toInt() : kLakeMark;
                if (mark != kLakeMark)
                    name.insert(mark, pr.value(pr.contains("adm0_a3") ? "adm0_a3" : "name").toString());
                painter.fillPath(outline(v.toObject()), QColor(mark, 0, 0));
            }
        painter.end();
        const auto at = [&under](int x, int y) { return qRed(under.pixel(x, y)); };
        const auto isRegion = [](int mark) { return mark >= 1 && mark <= 20; };
        QStringList faults;
        for (const Marker &m : fault == "colour" ? QList<Marker>() : markers.value(map)) {
            std::set<int> lying;
            for (int dy = -m.radius; dy <= m.radius; ++dy)
                for (int dx = -m.radius; dx <= m.radius; ++dx)
                    if (dx * dx + dy * dy <= m.radius * m.radius)
                        lying.insert(at(int(m.centre.x()) + dx, int(m.centre.y()) + dy));
            for (int on : lying)
                if (fault == "abroad" ? on >= kAbroad : isRegion(on) && on != m.number)
                    faults << QStringLiteral("circle %1 lies on %2").arg(m.number).arg(name.value(on));
            if (fault == "region" && at(int(m.centre.x()), int(m.centre.y())) != m.number)
                faults << QStringLiteral("circle %1 is off its region").arg(m.number);
        }
        if (fault == "colour") {
            // Each area's colour as drawn: the one most of its pixels show.
            const QImage img = picture("itareg2.bmp");
            QMap<int, QHash<QRgb, int>> counts;
            std::set<std::pair<int, int>> bordering;
            for (int y = 0; y + 1 < kMapH; ++y)
                for (int x = 0; x + 1 < kMapW; ++x) {
                    const int here = at(x, y);
                    ++counts[here >= kAbroad ? kAnyCountry : here][img.pixel(x, y)];
                    for (const int next : {at(x + 1, y), at(x, y + 1)})
                        if (isRegion(here) && isRegion(next) && next != here)
                            bordering.insert({std::min(here, next), std::max(here, next)});
                }
            QMap<int, QRgb> colour;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                colour[it.key()] = std::max_element(it->cbegin(), it->cend()).key();
            QCOMPARE(colour.size(), 23);
            QVERIFY(bordering.size() > 30);
            for (int id = 1; id <= 20; ++id)
                for (const int backdrop : {0, kLakeMark, kAnyCountry})
                    bordering.insert({id, backdrop});
            for (const auto &[a, b] : bordering)
                if (const double d = difference(colour[a], colour[b]); d < kApart)
                    faults << QStringLiteral("%1 and %2 differ by %3").arg(name.value(a), name.value(b)).arg(d, 0, 'f', 1);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }

    void secondRunGivesTheSameBytes()
    {
        const QString again = dir.filePath("b/Perquorvane");
        QCOMPARE(run({again, geo}), 0);
        for (const char *f : {"formavvio3.jpg", "itafis3.bmp", "itareg2.bmp"}) {
            QFile a(QDir(folder).filePath(QString::fromLatin1(f))), b(QDir(again).filePath(QString::fromLatin1(f)));
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(), f);
        }
    }

    void missingDataFails()
    {
        QCOMPARE(run({dir.filePath("c/Perquorvane"), dir.filePath("nowhere")}), 1);
        QVERIFY(!QFile::exists(dir.filePath("c/Perquorvane/itafis3.bmp")));
    }
};

QTEST_GUILESS_MAIN(TstMkassets)
#include "tst_mkassets.moc"
