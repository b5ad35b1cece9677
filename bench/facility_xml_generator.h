#pragma once
// Public-facility XML in the element layout of the national land numerical information, for
// tests, benchmarks and manual trials of the facility conversion; never shipped. Written from the
// layers of today's facility data (P02_001 … P02_006, read through the GIS reader): one point per
// facility ("n1", "n2", …), then one FB01 per facility with POS, AAC, PCA, PCI, NA0, ADS, APF.
// The coordinates are written as the import writes them, so both give the same Build.dat.
// Shift_JIS (CP932); "&", "<" and ">" are written as references. repeat > 1 writes the set that
// many times (a larger file for benchmarks).
#include "boundary_xml_generator.h"
#include "platform/gis_reader.h"
#include "platform/number_text.h"

#include <QFile>

namespace miratos::bench {

// prefix + number + suffix, built by appending (GCC 12 warns falsely on literal + temporary).
inline std::string numbered(const char* prefix, int n, const char* suffix = "")
{
    std::string text(prefix);
    text += std::to_string(n);
    text += suffix;
    return text;
}

inline QString xmlEscaped(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;")).replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

inline Status writeFacilityXml(const std::vector<platform::GisLayer>& layers, const QString& path, int repeat = 1)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{QStringLiteral("cannot write %1").arg(path)};
    bool ok = true;
    {
        BoundaryXmlWriter w([&](const QByteArray& bytes) { ok = ok && file.write(bytes) == bytes.size(); });
        w.begin();
        auto value = [](const platform::GisFeature& f, const char* name) {
            return xmlEscaped(QString::fromUtf8(f.fields.value(QLatin1String(name))).trimmed());
        };
        int n = 0;
        for (int r = 0; r < repeat; ++r) {
            for (const platform::GisLayer& layer : layers) {
                for (const platform::GisFeature& f : layer.features) {
                    if (f.parts.empty() || f.parts.front().isEmpty())
                        continue;
                    const QPointF p = f.parts.front().front();
                    w.point(numbered("n", ++n), (platform::formatDouble(p.y()) + QLatin1Char(' ') + platform::formatDouble(p.x())).toStdString());
                }
            }
        }
        n = 0;
        for (int r = 0; r < repeat; ++r) {
            for (const platform::GisLayer& layer : layers) {
                for (const platform::GisFeature& f : layer.features) {
                    if (f.parts.empty() || f.parts.front().isEmpty())
                        continue;
                    ++n;
                    w.raw(numbered("<ksj:FB01 id=\"fb", n, "\">\r\n") + numbered("<ksj:POS idref=\"n", n, "\"/>\r\n"));
                    w.element("ksj:AAC", value(f, "P02_001"));
                    w.element("ksj:PCA", value(f, "P02_002"));
                    w.element("ksj:PCI", value(f, "P02_003"));
                    w.element("ksj:NA0", value(f, "P02_004"));
                    w.element("ksj:ADS", value(f, "P02_005"));
                    w.element("ksj:APF", value(f, "P02_006"));
                    w.raw("</ksj:FB01>\r\n");
                }
            }
        }
        w.end();
    }
    if (!ok || !file.flush())
        return Error{QStringLiteral("cannot write %1").arg(path)};
    return {};
}

} // namespace miratos::bench
