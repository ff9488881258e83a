#include "geo.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace mkassets {

namespace {

QPointF toPoint(const QJsonValue &v)
{
    const QJsonArray a = v.toArray();
    return QPointF(a.at(0).toDouble(), a.at(1).toDouble());
}

Ring toRing(const QJsonValue &v)
{
    Ring r;
    for (const QJsonValue &p : v.toArray())
        r << toPoint(p);
    return r;
}

Polygon toPolygon(const QJsonValue &v)
{
    Polygon poly;
    for (const QJsonValue &r : v.toArray())
        poly << toRing(r);
    return poly;
}

} // namespace

bool readFeatures(const QString &path, QList<GeoFeature> *out, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
    if (doc.isNull() || !doc.object().value(QLatin1String("features")).isArray()) {
        *error = QStringLiteral("%1: not a GeoJSON feature collection (%2)").arg(path, pe.errorString());
        return false;
    }
    for (const QJsonValue &fv : doc.object().value(QLatin1String("features")).toArray()) {
        const QJsonObject fo = fv.toObject();
        const QJsonObject g = fo.value(QLatin1String("geometry")).toObject();
        const QString type = g.value(QLatin1String("type")).toString();
        const QJsonValue c = g.value(QLatin1String("coordinates"));
        GeoFeature gf;
        gf.properties = fo.value(QLatin1String("properties")).toObject();
        if (type == QLatin1String("Point")) {
            gf.point = toPoint(c);
            gf.hasPoint = true;
        } else if (type == QLatin1String("LineString")) {
            gf.lines << toRing(c);
        } else if (type == QLatin1String("MultiLineString")) {
            for (const QJsonValue &l : c.toArray())
                gf.lines << toRing(l);
        } else if (type == QLatin1String("Polygon")) {
            gf.polygons << toPolygon(c);
        } else if (type == QLatin1String("MultiPolygon")) {
            for (const QJsonValue &p : c.toArray())
                gf.polygons << toPolygon(p);
        } else {
            *error = QStringLiteral("%1: unknown geometry type \"%2\"").arg(path, type);
            return false;
        }
        out->append(gf);
    }
    return true;
}

Projection::Projection(int height) : height_(height)
{
    scale_ = height / (kLatNorth - kLatSouth);
    width_ = int(std::lround((kLonEast - kLonWest) * kCosMid * scale_));
}

QPointF Projection::map(const QPointF &lonLat) const
{
    return QPointF((lonLat.x() - kLonWest) * kCosMid * scale_, (kLatNorth - lonLat.y()) * scale_);
}

bool readGeoData(const QString &folder, GeoData *data, QString *error)
{
    const QDir d(folder);
    return readFeatures(d.filePath(QStringLiteral("regions.geojson")), &data->regions, error)
        && readFeatures(d.filePath(QStringLiteral("neighbours.geojson")), &data->neighbours, error)
        && readFeatures(d.filePath(QStringLiteral("physical_features.geojson")), &data->features, error)
        && readFeatures(d.filePath(QStringLiteral("gshhg/rivers.geojson")), &data->rivers, error)
        && readFeatures(d.filePath(QStringLiteral("gshhg/lakes.geojson")), &data->lakes, error);
}

} // namespace mkassets
