// The pictures of the data folder: the background of the test screens and the two maps
// of Italy with their numbered markers.
#pragma once

#include "geo.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QSize>
#include <QStringList>

namespace mkassets {

inline constexpr int kBackgroundWidth = 1016;
inline constexpr int kBackgroundHeight = 730;
// Height of both maps; the width follows from the projection (about 605 px).
inline constexpr int kMapHeight = 700;
inline constexpr int kMarkerRadius = 13;

// A numbered circle and the place it names; a leader line joins them when they differ.
struct Marker {
    int number = 0;
    QPointF place;   // projected position of the place (pixels)
    QPointF centre;  // centre of the circle (pixels)
    int radius = kMarkerRadius; // smaller where a small region must hold it whole
};

QImage drawBackground();
QImage drawPhysicalMap(const GeoData &data, QList<Marker> *markers);
// towns: the chief towns' dots, in pixels.
QImage drawPoliticalMap(const GeoData &data, QList<Marker> *markers, QList<QPointF> *towns = nullptr);

// What is wrong with a layout: circles off the picture, circles that overlap each other,
// circles that cover one of the dots. Empty when all is well.
QStringList layoutProblems(const QSize &picture, const QList<Marker> &markers, const QList<QPointF> &dots);

// How much nearer its own feature a circle of the physical map must be than anything else
// drawn that it could be taken for.
inline constexpr qreal kClearMargin = 6.0;

// Circles of the physical map that a pupil could honestly read as naming something else:
// a circle not clearly nearer its own feature (a river's course, else the place) than
// every other river, every lake and every other feature's place. Empty when all is well.
QStringList misleadingMarkers(const GeoData &data, const QList<Marker> &markers);

// How far a circle, its outline included, must stay from land it does not name.
inline constexpr qreal kLandMargin = 1.0;

// Circles lying on land they do not name: any circle over a neighbouring country, and a
// circle of the political map over a region other than its own or with its centre outside
// its own. Empty when all is well.
QStringList coveringMarkers(const GeoData &data, const QList<Marker> &physical, const QList<Marker> &political);

// The fill of region `id` on the political map.
QColor regionColour(int id);

// The perceived difference (CIEDE2000) between two colours.
double colourDifference(const QColor &a, const QColor &b);

// How different a region's colour must be from the sea's, the lakes', the neighbouring
// countries' and every region it borders, so that none of them is taken for another.
inline constexpr double kMinColourDifference = 15.0;

// Regions of the political map painted too like the sea, a lake, a neighbouring country or a
// region they border. Empty when all is well.
QStringList colourClashes(const GeoData &data);

} // namespace mkassets
