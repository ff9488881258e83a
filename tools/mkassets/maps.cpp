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

QFont markerFont()
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(15);
    f.setBold(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// A white circle with the number, and a leader line to the place when the circle is set
// off; the line stops short of the place so that a small island or strait stays visible.
void drawMarker(QPainter &p, const Marker &m)
{
    const QLineF toPlace(m.centre, m.place);
    if (toPlace.length() > kMarkerRadius + 6) {
        QLineF leader = toPlace;
        leader.setP1(toPlace.pointAt(kMarkerRadius / toPlace.length()));
        leader.setLength(toPlace.length() - kMarkerRadius - 5);
        p.setPen(QPen(kInk, 1.4));
        p.drawLine(leader);
    }
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(m.centre, kMarkerRadius, kMarkerRadius);
    p.setFont(markerFont());
    p.setPen(Qt::black);
    const QRectF box(m.centre.x() - kMarkerRadius, m.centre.y() - kMarkerRadius, 2 * kMarkerRadius,
                     2 * kMarkerRadius);
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
    case 3: return {22, -6};     // Adige, beside the river
    case 4: return {-6, 20};     // Po, south of the river, clear of the Adige to the north
    case 5: return {-2, -28};    // Monte Bianco, above the summit
    case 7: return {-6, 24};     // Arno, below the river
    case 8: return {26, 0};      // Tevere, east of the river, clear of the lakes to the west
    case 9: return {-38, 10};    // Elba, out in the sea
    case 10: return {6, -28};    // Gran Sasso, above the summit
    case 11: return {22, -12};   // Volturno, east of the river
    case 12: return {30, 8};     // Vesuvio, inland of the volcano, clear of the Volturno
    case 13: return {-28, -18};  // Etna
    case 19: return {-34, 22};   // Golfo di Napoli, out in the gulf's mouth
    case 22: return {22, 40};    // Stretto di Messina, out in the Ionian Sea
    default: return {0, 0};
    }
}

// Circles of the regions set off from their label points: small regions, and those whose
// label point lies close to the chief town's dot.
QPointF politicalOffset(int id)
{
    switch (id) {
    case 1: return {-34, -30};  // Valle d'Aosta, out over the Alps
    case 2: return {10, 2};     // Piemonte, clear of Torino
    case 4: return {-18, 4};    // Trentino-Alto Adige, between Trento and Bolzano
    case 7: return {-6, 0};     // Emilia-Romagna, clear of Bologna
    case 8: return {-8, 10};    // Liguria
    case 10: return {6, 10};    // Umbria, clear of Perugia
    case 12: return {10, 10};   // Lazio, clear of Roma
    case 13: return {4, -4};    // Abruzzo
    case 14: return {26, -22};  // Molise, out in the Adriatic
    case 16: return {-6, -20};  // Puglia, inland of Bari, clear of Basilicata
    case 17: return {8, 10};    // Basilicata, clear of Potenza
    case 18: return {-4, -6};   // Calabria, clear of Catanzaro
    default: return {0, 0};
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
        drawMarker(p, m);
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
    // Pale colours a golden angle apart in hue: regions with close numbers are neighbours
    // as a rule, and get clearly different colours.
    for (const GeoFeature &f : d.regions) {
        const int id = f.properties.value(QLatin1String("id")).toInt();
        const int hue = int(std::lround(std::fmod(id * 137.508, 360.0)));
        const QColor fill = QColor::fromHsv(hue, id % 2 ? 70 : 52, 247);
        p.setPen(QPen(kRegionEdge, 1.0));
        p.setBrush(fill);
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
        list << m;
    }
    for (const QPointF &t : towns) {
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(kInk);
        p.drawEllipse(t, 4.0, 4.0);
    }
    for (const Marker &m : list)
        drawMarker(p, m);
    if (markers)
        *markers = list;
    if (townsOut)
        *townsOut = towns;
    return img;
}

QStringList layoutProblems(const QSize &picture, const QList<Marker> &markers, const QList<QPointF> &dots)
{
    QStringList out;
    const QRectF inside = QRectF(QPointF(0, 0), QSizeF(picture)).adjusted(kMarkerRadius, kMarkerRadius,
                                                                          -kMarkerRadius, -kMarkerRadius);
    for (qsizetype i = 0; i < markers.size(); ++i) {
        const Marker &m = markers[i];
        if (!inside.contains(m.centre))
            out << QStringLiteral("marker %1 is off the picture").arg(m.number);
        for (qsizetype j = i + 1; j < markers.size(); ++j)
            if (QLineF(m.centre, markers[j].centre).length() < 2 * kMarkerRadius + 3)
                out << QStringLiteral("markers %1 and %2 overlap").arg(m.number).arg(markers[j].number);
        for (const QPointF &d : dots)
            if (QLineF(m.centre, d).length() < kMarkerRadius + 6)
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

} // namespace mkassets
