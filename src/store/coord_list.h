#pragma once
// Coordinate lists as the geometry files hold them: numbers separated by single spaces, two per
// point. Prefecture-level files put latitude first, district files longitude first. Points here
// are QPointF with x = longitude and y = latitude whatever the file order.
#include <QByteArrayView>
#include <QPointF>
#include <QString>
#include <QStringView>
#include <QVector>

namespace miratos::store {

using Ring = QVector<QPointF>;

// "lat lon lat lon ..." (Line.dat, Point.dat).
QString formatLatLonList(const QVector<QPointF>& points);
// "lon lat lon lat ..." (district files).
QString formatLonLatList(const QVector<QPointF>& points);

// Parses space-separated numbers into out (cleared first). Runs of spaces and spaces at either
// end are tolerated; anything that is not a finite decimal number makes it fail. The text form
// avoids building a QString per number, since drawing parses every list on every redraw.
bool parseNumberList(QByteArrayView text, QVector<double>& out);
bool parseNumberList(QStringView text, QVector<double>& out);

// Parses a coordinate list into points; an odd count of numbers fails.
bool parseLatLonList(QStringView text, QVector<QPointF>& out);
bool parseLonLatList(QStringView text, QVector<QPointF>& out);

// A district polygon: the outer ring, then each inner ring as "@" + its list, with no space
// around the "@".
QString formatDistrictRings(const QVector<Ring>& rings);
// Fails on a ring that is not a coordinate list or holds no point; empty text is no ring.
bool parseDistrictRings(QStringView text, QVector<Ring>& out);

} // namespace miratos::store
