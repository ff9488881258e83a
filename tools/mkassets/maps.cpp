#include "maps.h"

#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include <lcms2.h>

namespace mkassets {

namespace {

const QColor kSea(0xCB, 0xE4, 0xF4);
const QColor kNeighbour(0xD5, 0xD5, 0xD5);
const QColor kNeighbourEdge(0x9E, 0x9E, 0x9E);
const QColor kLand(0xE3, 0xEE, 0xC9);
const QColor kCoast(0x4F, 0x74, 0x94);
const QColor kRiver(0x1F, 0x66, 0xC4);
const QColor kLake(0x94, 0xC4, 0xEC);
const QColor kInk(0x22, 0x22, 0x22);
const QColor kRegionEdge(0x70, 0x70, 0x70);

QPainterPath polygonPath(const Projection &proj, const Polygon &poly)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const Ring &ring : poly) {
        if (ring.isEmpty())
            continue;
        QPolygonF pts;
        for (const QPointF &p : ring)
            pts << proj.map(p);
        path.addPolygon(pts);
        path.closeSubpath();
    }
    return path;
}

QPainterPath featurePath(const Projection &proj, const GeoFeature &f)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const Polygon &poly : f.polygons)
        path.addPath(polygonPath(proj, poly));
    return path;
}

void fillFeatures(QPainter &p, const Projection &proj, const QList<GeoFeature> &fs, const QColor &fill,
                  const QPen &edge)
{
    p.setPen(edge);
    p.setBrush(fill);
    for (const GeoFeature &f : fs)
        p.drawPath(featurePath(proj, f));
}

// The outline of the land as a whole: region edges that belong to one region only.
// Neighbouring regions share their border vertices exactly, so an inner edge shows up twice.
QList<QLineF> outerEdges(const Projection &proj, const QList<GeoFeature> &regions)
{
    using Key = std::pair<std::pair<long, long>, std::pair<long, long>>;
    auto q = [](const QPointF &p) { return std::make_pair(std::lround(p.x() * 1000), std::lround(p.y() * 1000)); };
    std::map<Key, int> count;
    QList<std::pair<QPointF, QPointF>> order;
    for (const GeoFeature &f : regions)
        for (const Polygon &poly : f.polygons)
            for (const Ring &ring : poly)
                for (qsizetype i = 0; i + 1 < ring.size(); ++i) {
                    auto a = q(ring[i]), b = q(ring[i + 1]);
                    if (a == b)
                        continue;
                    if (b < a)
                        std::swap(a, b);
                    if (count[{a, b}]++ == 0)
                        order.push_back({ring[i], ring[i + 1]});
                }
    QList<QLineF> out;
    for (const auto &[from, to] : order) {
        auto a = q(from), b = q(to);
        if (b < a)
            std::swap(a, b);
        if (count[{a, b}] == 1)
            out << QLineF(proj.map(from), proj.map(to));
    }
    return out;
}

void drawLakes(QPainter &p, const Projection &proj, const GeoData &d, qreal edgeWidth)
{
    fillFeatures(p, proj, d.lakes, kLake, QPen(kRiver, edgeWidth));
}

// Two digits stay clear of the ring in the small circles too.
QFont markerFont(int radius)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(radius < kMarkerRadius ? 13 : 15);
    f.setBold(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// A white circle with the number, and a leader line to the place when the circle is set
// off; the line stops short of the place so that a small island or strait stays visible.
// Circles of the political map lie on the region they name and need no line.
void drawMarker(QPainter &p, const Marker &m, bool withLeader)
{
    const QLineF toPlace(m.centre, m.place);
    if (withLeader && toPlace.length() > m.radius + 6) {
        QLineF leader = toPlace;
        leader.setP1(toPlace.pointAt(m.radius / toPlace.length()));
        leader.setLength(toPlace.length() - m.radius - 5);
        p.setPen(QPen(kInk, 1.4));
        p.drawLine(leader);
    }
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(m.centre, m.radius, m.radius);
    p.setFont(markerFont(m.radius));
    p.setPen(Qt::black);
    const QRectF box(m.centre.x() - m.radius, m.centre.y() - m.radius, 2 * m.radius, 2 * m.radius);
    p.drawText(box, Qt::AlignCenter, QString::number(m.number));
}

// Peaks: a brown triangle; volcanoes: a red one with a dark crater.
void drawSummit(QPainter &p, const QPointF &at, bool volcano)
{
    QPolygonF tri;
    tri << QPointF(at.x(), at.y() - 8) << QPointF(at.x() - 7, at.y() + 5) << QPointF(at.x() + 7, at.y() + 5);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(volcano ? QColor(0xD2, 0x3A, 0x1E) : QColor(0x8A, 0x5A, 0x2B));
    p.drawPolygon(tri);
    if (volcano) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(at.x(), at.y() - 6), 2.0, 1.3);
    }
}

QImage blankMap(const Projection &proj)
{
    QImage img(proj.width(), proj.height(), QImage::Format_RGB32);
    img.fill(kSea);
    return img;
}

// Where the circle of a physical feature sits, in pixels from the place. Places that a
// circle would cover (a small island, a strait, a gulf, a summit, a river) are set off.
QPointF physicalOffset(int number)
{
    switch (number) {
    case 1: return {12, 8};      // Alpi, on the central Alps clear of Switzerland
    case 3: return {22, -6};     // Adige, beside the river
    case 4: return {-6, 20};     // Po, south of the river, clear of the Adige to the north
    case 5: return {22, 11};     // Monte Bianco, down the valley in Italy: the summit is on the border
    case 7: return {-6, 24};     // Arno, below the river
    case 8: return {26, 0};      // Tevere, east of the river, clear of the lakes to the west
    case 9: return {14, 44};     // Elba, out in the sea to the south, clear of Corsica and the small islands
    case 10: return {6, -28};    // Gran Sasso, above the summit
    case 11: return {22, -12};   // Volturno, east of the river
    case 12: return {30, 8};     // Vesuvio, inland of the volcano, clear of the Volturno
    case 13: return {-28, -18};  // Etna
    case 19: return {-34, 22};   // Golfo di Napoli, out in the gulf's mouth
    case 22: return {22, 40};    // Stretto di Messina, out in the Ionian Sea
    default: return {0, 0};
    }
}

// Circles of the regions moved from their label points, each still wholly on its own region:
// small regions, and those whose label point lies close to the chief town's dot or to a
// neighbour.
QPointF politicalOffset(int id)
{
    switch (id) {
    case 1: return {13, -2};    // Valle d'Aosta, east of Aosta
    case 2: return {10, 2};     // Piemonte, clear of Torino
    case 4: return {-18, 4};    // Trentino-Alto Adige, between Trento and Bolzano
    case 7: return {-6, 0};     // Emilia-Romagna, clear of Bologna
    case 8: return {-27, 32};   // Liguria, by Imperia, where the strip is widest
    case 10: return {6, 10};    // Umbria, clear of Perugia
    case 12: return {6, 14};    // Lazio, clear of Roma and of Abruzzo
    case 13: return {4, -4};    // Abruzzo
    case 14: return {12, -9};   // Molise, clear of Campobasso
    case 16: return {-8, -9};   // Puglia, inland of Bari, clear of Basilicata
    case 17: return {8, 10};    // Basilicata, clear of Potenza
    case 18: return {-4, -6};   // Calabria, clear of Catanzaro
    default: return {0, 0};
    }
}

// Regions too small to hold a full-sized circle clear of their neighbours and of their chief
// town's dot take a smaller one.
int politicalRadius(int id)
{
    switch (id) {
    case 1: return 9;   // Valle d'Aosta
    case 8: return 9;   // Liguria
    case 14: return 10; // Molise
    default: return kMarkerRadius;
    }
}

QPolygonF projectedLine(const Projection &proj, const Ring &line)
{
    QPolygonF pts;
    for (const QPointF &pt : line)
        pts << proj.map(pt);
    return pts;
}

qreal distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const qreal len2 = QPointF::dotProduct(ab, ab);
    const qreal t = len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

qreal distanceToLines(const QPointF &p, const QList<QPolygonF> &lines)
{
    qreal best = std::numeric_limits<qreal>::infinity();
    for (const QPolygonF &l : lines)
        for (qsizetype i = 0; i + 1 < l.size(); ++i)
            best = std::min(best, distanceToSegment(p, l[i], l[i + 1]));
    return best;
}

// A river as its projected polylines; a lake as its projected rings, with its filled area.
struct Drawn {
    QString name;
    QList<QPolygonF> lines;
    QPainterPath area;
};

qreal distanceTo(const QPointF &p, const Drawn &d)
{
    return !d.area.isEmpty() && d.area.contains(p) ? 0.0 : distanceToLines(p, d.lines);
}

// A piece of land as its projected rings, filled even-odd.
struct Outline {
    QString name;
    QList<QPolygonF> rings;
};

Outline outline(const Projection &proj, const GeoFeature &f, const QString &name)
{
    Outline o{name, {}};
    for (const Polygon &poly : f.polygons)
        for (const Ring &ring : poly)
            o.rings << projectedLine(proj, ring);
    return o;
}

bool inside(const QPointF &p, const Outline &o)
{
    bool in = false;
    for (const QPolygonF &r : o.rings)
        for (qsizetype i = 0, j = r.size() - 1; i < r.size(); j = i++)
            if ((r[i].y() > p.y()) != (r[j].y() > p.y())
                && p.x() < r[j].x() + (r[i].x() - r[j].x()) * (p.y() - r[j].y()) / (r[i].y() - r[j].y()))
                in = !in;
    return in;
}

// How far `p` lies outside the land: negative inside it.
qreal clearance(const QPointF &p, const Outline &o)
{
    const qreal d = distanceToLines(p, o.rings);
    return inside(p, o) ? -d : d;
}

QString regionName(const GeoFeature &f) { return f.properties.value(QLatin1String("name")).toString(); }
int regionId(const GeoFeature &f) { return f.properties.value(QLatin1String("id")).toInt(); }

// Pairs of regions (by id, smaller first) that share a stretch of border: neighbouring
// regions share their border vertices exactly.
std::set<std::pair<int, int>> borderingRegions(const QList<GeoFeature> &regions)
{
    using Point = std::pair<long, long>;
    auto q = [](const QPointF &p) { return Point(std::lround(p.x() * 1000), std::lround(p.y() * 1000)); };
    std::map<std::pair<Point, Point>, std::set<int>> owners;
    for (const GeoFeature &f : regions)
        for (const Polygon &poly : f.polygons)
            for (const Ring &ring : poly)
                for (qsizetype i = 0; i + 1 < ring.size(); ++i) {
                    Point a = q(ring[i]), b = q(ring[i + 1]);
                    if (b < a)
                        std::swap(a, b);
                    if (a != b)
                        owners[{a, b}].insert(regionId(f));
                }
    std::set<std::pair<int, int>> out;
    for (const auto &[edge, ids] : owners)
        for (auto i = ids.begin(); i != ids.end(); ++i)
            for (auto j = std::next(i); j != ids.end(); ++j)
                out.insert({*i, *j});
    return out;
}

} // namespace

QImage drawBackground()
{
    QImage img(kBackgroundWidth, kBackgroundHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A soft diagonal wash from cream to pale green: calm under any text.
    QLinearGradient g(0, 0, kBackgroundWidth, kBackgroundHeight);
    g.setColorAt(0.0, QColor(0xF7, 0xF5, 0xEC));
    g.setColorAt(1.0, QColor(0xE2, 0xED, 0xDA));
    p.fillRect(img.rect(), g);
    return img;
}

QImage drawPhysicalMap(const GeoData &d, QList<Marker> *markers)
{
    const Projection proj(kMapHeight);
    QImage img = blankMap(proj);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    fillFeatures(p, proj, d.neighbours, kNeighbour, QPen(kNeighbourEdge, 1.0));
    fillFeatures(p, proj, d.regions, kLand, Qt::NoPen);
    p.setPen(QPen(kCoast, 1.3));
    for (const QLineF &l : outerEdges(proj, d.regions))
        p.drawLine(l);
    drawLakes(p, proj, d, 1.0);
    p.setPen(QPen(kRiver, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (const GeoFeature &r : d.rivers)
        for (const Ring &line : r.lines)
            p.drawPolyline(projectedLine(proj, line));

    QList<Marker> list;
    for (const GeoFeature &f : d.features) {
        const int n = f.properties.value(QLatin1String("number")).toInt();
        const QString kind = f.properties.value(QLatin1String("kind")).toString();
        QPointF at = f.point;
        // The summit of Monte Bianco lies on the border line in the data; mark it in Italy.
        if (n == 5)
            at = QPointF(6.90, 45.82);
        Marker m;
        m.number = n;
        m.place = proj.map(at);
        m.centre = m.place + physicalOffset(n);
        if (kind == QLatin1String("peak") || kind == QLatin1String("volcano"))
            drawSummit(p, m.place, kind == QLatin1String("volcano"));
        list << m;
    }
    for (const Marker &m : list)
        drawMarker(p, m, true);
    if (markers)
        *markers = list;
    return img;
}

QImage drawPoliticalMap(const GeoData &d, QList<Marker> *markers, QList<QPointF> *townsOut)
{
    const Projection proj(kMapHeight);
    QImage img = blankMap(proj);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    fillFeatures(p, proj, d.neighbours, kNeighbour, QPen(kNeighbourEdge, 1.0));
    for (const GeoFeature &f : d.regions) {
        p.setPen(QPen(kRegionEdge, 1.0));
        p.setBrush(regionColour(f.properties.value(QLatin1String("id")).toInt()));
        p.drawPath(featurePath(proj, f));
    }
    p.setPen(QPen(kCoast, 1.4));
    for (const QLineF &l : outerEdges(proj, d.regions))
        p.drawLine(l);
    drawLakes(p, proj, d, 0.8);

    QList<QPointF> towns;
    QList<Marker> list;
    for (const GeoFeature &f : d.regions) {
        const QJsonObject pr = f.properties;
        towns << proj.map(pr.value(QLatin1String("capital_lon")).toDouble(),
                          pr.value(QLatin1String("capital_lat")).toDouble());
        const int id = pr.value(QLatin1String("id")).toInt();
        // Trentino-Alto Adige has two chief towns: Trento, from the data, and Bolzano.
        if (id == 4)
            towns << proj.map(11.354, 46.498);
        Marker m;
        m.number = id;
        m.place = proj.map(pr.value(QLatin1String("label_lon")).toDouble(),
                           pr.value(QLatin1String("label_lat")).toDouble());
        m.centre = m.place + politicalOffset(id);
        m.radius = politicalRadius(id);
        list << m;
    }
    for (const QPointF &t : towns) {
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(kInk);
        p.drawEllipse(t, 4.0, 4.0);
    }
    for (const Marker &m : list)
        drawMarker(p, m, false);
    if (markers)
        *markers = list;
    if (townsOut)
        *townsOut = towns;
    return img;
}

QStringList layoutProblems(const QSize &picture, const QList<Marker> &markers, const QList<QPointF> &dots)
{
    QStringList out;
    for (qsizetype i = 0; i < markers.size(); ++i) {
        const Marker &m = markers[i];
        const QRectF inside = QRectF(QPointF(0, 0), QSizeF(picture)).adjusted(m.radius, m.radius, -m.radius, -m.radius);
        if (!inside.contains(m.centre))
            out << QStringLiteral("marker %1 is off the picture").arg(m.number);
        for (qsizetype j = i + 1; j < markers.size(); ++j)
            if (QLineF(m.centre, markers[j].centre).length() < m.radius + markers[j].radius + 3)
                out << QStringLiteral("markers %1 and %2 overlap").arg(m.number).arg(markers[j].number);
        for (const QPointF &d : dots)
            if (QLineF(m.centre, d).length() < m.radius + 6)
                out << QStringLiteral("marker %1 covers a dot").arg(m.number);
    }
    return out;
}

QStringList misleadingMarkers(const GeoData &d, const QList<Marker> &markers)
{
    const Projection proj(kMapHeight);
    QList<Drawn> rivers, lakes;
    for (const GeoFeature &r : d.rivers) {
        Drawn dr{r.properties.value(QLatin1String("name")).toString(), {}, {}};
        for (const Ring &line : r.lines)
            dr.lines << projectedLine(proj, line);
        rivers << dr;
    }
    for (const GeoFeature &l : d.lakes) {
        Drawn dl{l.properties.value(QLatin1String("name")).toString(), {}, featurePath(proj, l)};
        for (const Polygon &poly : l.polygons)
            for (const Ring &ring : poly)
                dl.lines << projectedLine(proj, ring);
        lakes << dl;
    }
    QHash<int, QString> names;
    for (const GeoFeature &f : d.features)
        names.insert(f.properties.value(QLatin1String("number")).toInt(),
                     f.properties.value(QLatin1String("name")).toString());

    QStringList out;
    for (const Marker &m : markers) {
        const QString own = names.value(m.number);
        // A river is named by its whole course, anything else by its place.
        qreal ownDistance = QLineF(m.centre, m.place).length();
        QList<std::pair<qreal, QString>> others;
        for (const Drawn &r : rivers) {
            if (r.name == own)
                ownDistance = distanceTo(m.centre, r);
            else
                others.push_back({distanceTo(m.centre, r), r.name});
        }
        for (const Drawn &l : lakes)
            others.push_back({distanceTo(m.centre, l), l.name});
        for (const Marker &o : markers)
            if (o.number != m.number)
                others.push_back({QLineF(m.centre, o.place).length(), names.value(o.number)});
        for (const auto &[distance, name] : others)
            if (distance < ownDistance + kClearMargin)
                out << QStringLiteral("marker %1 is not clearly nearer %2 (%3 px) than %4 (%5 px)")
                           .arg(m.number)
                           .arg(own)
                           .arg(ownDistance, 0, 'f', 1)
                           .arg(name)
                           .arg(distance, 0, 'f', 1);
    }
    return out;
}

QStringList coveringMarkers(const GeoData &d, const QList<Marker> &physical, const QList<Marker> &political)
{
    const Projection proj(kMapHeight);
    QList<Outline> countries, regions;
    for (const GeoFeature &f : d.neighbours)
        countries << outline(proj, f, f.properties.value(QLatin1String("adm0_a3")).toString());
    QHash<int, qsizetype> regionAt;
    for (const GeoFeature &f : d.regions) {
        regionAt.insert(regionId(f), regions.size());
        regions << outline(proj, f, regionName(f));
    }
    QStringList out;
    auto check = [&](const char *map, const Marker &m, const Outline &land) {
        const qreal c = clearance(m.centre, land), reach = m.radius + kLandMargin;
        if (c < reach)
            out << QStringLiteral("%1: circle %2 lies on %3 (%4 px from it, %5 needed)")
                       .arg(QLatin1String(map))
                       .arg(m.number)
                       .arg(land.name)
                       .arg(c, 0, 'f', 1)
                       .arg(reach, 0, 'f', 1);
    };
    for (const Marker &m : physical)
        for (const Outline &c : countries)
            check("itafis3", m, c);
    for (const Marker &m : political) {
        for (const Outline &c : countries)
            check("itareg2", m, c);
        const qsizetype own = regionAt.value(m.number, -1);
        for (qsizetype i = 0; i < regions.size(); ++i)
            if (i != own)
                check("itareg2", m, regions[i]);
        if (own < 0 || !inside(m.centre, regions[own]))
            out << QStringLiteral("itareg2: circle %1 is not on its region").arg(m.number);
    }
    return out;
}

QColor regionColour(int id)
{
    // Five light colours of the school atlas, none blue or grey (the sea, the lakes and the
    // neighbouring countries have those), each far enough from the others that bordering
    // regions, which never share one, are told apart at a glance.
    static const QColor yellow(0xF7, 0xE0, 0x7E), orange(0xF6, 0xB8, 0x86), pink(0xF2, 0xAC, 0xC4),
        green(0xB8, 0xDE, 0x9C), lilac(0xD2, 0xBC, 0xEE);
    static const QColor colours[] = {
        orange, lilac, yellow, green, pink,   // Valle d'Aosta … Veneto
        orange, green, orange, pink, yellow,  // Friuli-Venezia Giulia … Umbria
        lilac, green, orange, lilac, yellow,  // Marche … Campania
        pink, lilac, orange, green, yellow,   // Puglia … Sicilia
    };
    return id >= 1 && id <= 20 ? colours[id - 1] : QColor(Qt::white);
}

double colourDifference(const QColor &a, const QColor &b)
{
    // sRGB to CIE L*a*b* (D50) through Little CMS, made once.
    static const cmsHTRANSFORM toLab = [] {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile(), lab = cmsCreateLab4Profile(nullptr);
        cmsHTRANSFORM t = cmsCreateTransform(srgb, TYPE_RGB_8, lab, TYPE_Lab_DBL, INTENT_PERCEPTUAL, 0);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
        return t;
    }();
    auto lab = [](const QColor &c) {
        const unsigned char rgb[3] = {uchar(c.red()), uchar(c.green()), uchar(c.blue())};
        cmsCIELab out;
        cmsDoTransform(toLab, rgb, &out, 1);
        return out;
    };
    const cmsCIELab la = lab(a), lb = lab(b);
    return cmsCIE2000DeltaE(&la, &lb, 1, 1, 1);
}

QStringList colourClashes(const GeoData &d)
{
    const std::pair<QColor, const char *> backdrops[] = {
        {kSea, "the sea"}, {kLake, "the lakes"}, {kNeighbour, "the neighbouring countries"}};
    QHash<int, QString> names;
    for (const GeoFeature &f : d.regions)
        names.insert(regionId(f), regionName(f));
    QStringList out;
    auto check = [&](int id, const QColor &other, const QString &what) {
        const double diff = colourDifference(regionColour(id), other);
        if (diff < kMinColourDifference)
            out << QStringLiteral("itareg2: %1 is painted too like %2 (difference %3, %4 needed)")
                       .arg(names.value(id), what)
                       .arg(diff, 0, 'f', 1)
                       .arg(kMinColourDifference, 0, 'f', 1);
    };
    for (const GeoFeature &f : d.regions)
        for (const auto &[colour, what] : backdrops)
            check(regionId(f), colour, QLatin1String(what));
    for (const auto &[a, b] : borderingRegions(d.regions))
        check(a, regionColour(b), names.value(b));
    return out;
}

} // namespace mkassets
