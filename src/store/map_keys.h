#pragma once
// Keys of the prefecture-level geometry files and the rings made of line keys. A ring is the
// line keys joined by "@"; a key written with a leading "_" is walked from its last point back
// to its first.
#include <QString>
#include <QStringView>
#include <QVector>

namespace miratos::store {

// The key of a polygon's label point: every "a" becomes "p" and nothing else changes.
QString pointKeyOf(const QString& polygonKey);

// The two-digit prefecture code that starts every line, polygon, point key and municipality code.
QString prefCodeOfKey(QStringView key);

struct RingPart {
    QString key;           // the line key, without the "_"
    bool reversed = false; // written with a leading "_": walked backwards

    bool operator==(const RingPart&) const = default;
};

// Splits a ring at "@". Empty text is a ring without parts.
QVector<RingPart> parseRing(QStringView ring);

// Joins parts back into ring text ("13c1@_13c2").
QString formatRing(const QVector<RingPart>& parts);

} // namespace miratos::store
