#pragma once
// Railway XML in the element layout of the national land numerical information, for tests,
// benchmarks and manual trials of the railway conversion; never shipped. Written from railway
// tables (for example those imported from today's data): one point per curve end, curves with
// their inner vertices as coordinates ("cv_rr1", "cv_rr2", … — stations refer to theirs by the
// same "rr" form), one EB02 per section with LOC, RAC, INT, LIN, OPC and, for every second
// section, RAS; one EB03 per station with LOC, RAC, STN. Shift_JIS (CP932).
#include "boundary_xml_generator.h"
#include "layers/railway_layer.h"
#include "store/railway_files.h"

#include <QFile>
#include <QHash>

namespace miratos::bench {

// prefix + number + suffix (built by appending: GCC 12 warns falsely on literal + temporary).
inline std::string idOf(const char* prefix, int n, const char* suffix = "")
{
    std::string id(prefix);
    id += std::to_string(n);
    id += suffix;
    return id;
}

// densify: the number of pieces every segment of a curve is cut into (1 keeps the vertices).
inline Status writeRailwayXml(const store::RailwayTables& t, const QString& path, int densify = 1)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{QStringLiteral("cannot write %1").arg(path)};
    bool ok = true;
    {
        BoundaryXmlWriter w([&](const QByteArray& bytes) { ok = ok && file.write(bytes) == bytes.size(); });
        w.begin();
        auto coord = [](const QPointF& p) {
            return (platform::formatDouble(p.y()) + QLatin1Char(' ') + platform::formatDouble(p.x())).toStdString();
        };
        QHash<QString, std::string> curveIds; // file curve id -> XML curve id
        int n = 0;
        auto writeCurves = [&](const std::vector<store::CurveRow>& rows) {
            for (const store::CurveRow& row : rows) {
                const QVector<QPointF> pts = layers::parseRailCoords(row[1]);
                if (pts.size() < 2 || curveIds.contains(row[0]))
                    continue;
                const std::string id = idOf("cv_rr", ++n);
                curveIds.insert(row[0], id);
                w.point(idOf("n", n, "_a"), coord(pts.front()));
                w.point(idOf("n", n, "_b"), coord(pts.back()));
                std::vector<std::string> inner;
                for (qsizetype i = 0; i + 1 < pts.size(); ++i) {
                    for (int k = 1; k < densify; ++k)
                        inner.push_back(coord(pts[i] + (pts[i + 1] - pts[i]) * (double(k) / densify)));
                    if (i + 2 < pts.size())
                        inner.push_back(coord(pts[i + 1]));
                }
                w.curve(id, idOf("n", n, "_a"), inner, idOf("n", n, "_b"));
            }
        };
        writeCurves(t.railCurves);
        writeCurves(t.stationCurves);
        int s = 0;
        for (const store::RailSectionRow& r : t.sections) {
            const auto id = curveIds.find(r[1]);
            if (id == curveIds.end())
                continue;
            w.raw(idOf("<ksj:EB02 id=\"eb02_", ++s, "\">\r\n<ksj:LOC idref=\"") + *id + "\"/>\r\n");
            w.element("ksj:RAC", r[2]);
            w.element("ksj:INT", r[3]);
            w.element("ksj:LIN", r[4]);
            w.element("ksj:OPC", QStringLiteral("事業者"));
            if (s % 2 == 0)
                w.raw(idOf("<ksj:RAS idref=\"ras", s, "\"/>\r\n"));
            w.raw("</ksj:EB02>\r\n");
        }
        s = 0;
        for (const store::StationRow& r : t.stations) {
            const auto id = curveIds.find(r[1]);
            if (id == curveIds.end())
                continue;
            w.raw(idOf("<ksj:EB03 id=\"eb03_", ++s, "\">\r\n<ksj:LOC idref=\"") + *id + "\"/>\r\n");
            w.element("ksj:RAC", QStringLiteral("11"));
            w.element("ksj:STN", r[2]);
            w.raw("</ksj:EB03>\r\n");
        }
        w.end();
    }
    if (!ok || !file.flush())
        return Error{QStringLiteral("cannot write %1").arg(path)};
    return {};
}

} // namespace miratos::bench
