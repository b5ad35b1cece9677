#pragma once
// Small-area boundary XML written from a district file, the way the census boundary data lays it
// out: the extent in the first Coordinates element, then one GeometricFeature per record with
// its outer ring, its inner rings and the attributes AREA, HCODE, KEN, KEYCODE2, AREA_MAX_F,
// MOJI, X_CODE, Y_CODE (with a few others between them). Header-only, for tests and benchmarks.
#include "store/district_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace miratos::bench {

struct SmallAreaXmlNames {
    QString municipality; // GST_NAME
    QString ward;         // CSS_NAME, blank for a municipality without wards
    bool breakRings = false; // line breaks between coordinate pairs, as some files have them
};

inline QString smallAreaXmlRing(const QString& ring, bool breakRings)
{
    const QStringList values = ring.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < values.size(); i += 2)
        pairs << values.at(i) + QLatin1Char(',') + values.at(i + 1);
    return pairs.join(breakRings ? QStringLiteral("\n        ") : QStringLiteral(" "));
}

inline QByteArray smallAreaXml(const store::DistrictFile& file, const SmallAreaXmlNames& names)
{
    const QStringList box = file.header.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Dataset>\n <BoundingBox><Coordinates>");
    if (box.size() >= 4)
        xml += box.at(0) + QLatin1Char(',') + box.at(1) + QLatin1Char(' ') + box.at(2) + QLatin1Char(',') + box.at(3);
    xml += QStringLiteral("</Coordinates></BoundingBox>\n");
    const auto property = [&xml](const char* name, const QString& value) {
        xml += QStringLiteral("  <Property name=\"%1\">%2</Property>\n").arg(QLatin1String(name), value.toHtmlEscaped());
    };
    int id = 0;
    for (const store::DistrictRecord& r : file.records) {
        xml += QStringLiteral(" <GeometricFeature id=\"%1\">\n  <Polygon>\n").arg(++id);
        const QStringList rings = r.rings.split(QLatin1Char('@'));
        for (qsizetype i = 0; i < rings.size(); ++i) {
            const QString tag = i == 0 ? QStringLiteral("OuterBoundary") : QStringLiteral("InnerBoundary");
            xml += QStringLiteral("   <%1><LinearRing><Coordinates>%2</Coordinates></LinearRing></%1>\n")
                       .arg(tag, smallAreaXmlRing(rings.at(i), names.breakRings));
        }
        xml += QStringLiteral("  </Polygon>\n");
        property("AREA", r.area);
        property("PERIMETER", QStringLiteral("0"));
        property("GST_NAME", names.municipality);
        property("CSS_NAME", names.ward);
        property("HCODE", r.areaClass);
        property("KEN", r.code.left(2));
        property("CITY", r.code.mid(2, 3));
        property("KEYCODE2", r.code.mid(2));
        property("AREA_MAX_F", r.representative);
        property("MOJI", r.townName);
        property("X_CODE", r.labelX);
        property("Y_CODE", r.labelY);
        xml += QStringLiteral(" </GeometricFeature>\n");
    }
    xml += QStringLiteral("</Dataset>\n");
    return xml.toUtf8();
}

} // namespace miratos::bench
