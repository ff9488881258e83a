// GeoJSON reading and the map projection used by the asset tool.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QString>

namespace mkassets {

using Ring = QList<QPointF>;      // longitude (x), latitude (y)
using Polygon = QList<Ring>;      // outer ring and holes, filled even-odd

struct GeoFeature {
    QJsonObject properties;
    QList<Polygon> polygons;      // Polygon and MultiPolygon
    QList<Ring> lines;            // LineString and MultiLineString
    QPointF point;                // Point
    bool hasPoint = false;
};

// The features of a FeatureCollection file, in file order; false with a message on failure.
bool readFeatures(const QString &path, QList<GeoFeature> *out, QString *error);

// Plain equirectangular projection, x scaled by cos(41.75°), on a fixed box round Italy.
class Projection {
public:
    static constexpr double kLonWest = 6.4, kLonEast = 18.9;
    static constexpr double kLatSouth = 36.4, kLatNorth = 47.2;
    static constexpr double kCosMid = 0.74664; // cos(41.75°)

    explicit Projection(int height);
    int width() const { return width_; }
    int height() const { return height_; }
    QPointF map(const QPointF &lonLat) const;
    QPointF map(double lon, double lat) const { return map(QPointF(lon, lat)); }

private:
    double scale_;
    int width_, height_;
};

// Everything the two maps are drawn from.
struct GeoData {
    QList<GeoFeature> regions, neighbours, rivers, lakes, features;
};
bool readGeoData(const QString &folder, GeoData *data, QString *error);

} // namespace mkassets
