#include "convert/railway_converter.h"

#include "platform/import_lock.h"
#include "platform/cp932.h"
#include "platform/xml_document.h"

#include <QDir>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace miratos::convert {
namespace {

using platform::XmlDocument;
using platform::XmlNode;

QString q(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void replaceRrInto(std::string& out, std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "rr") == 0) {
            out += "st";
            i += 2;
        } else {
            out += text[i++];
        }
    }
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool isNumber(std::string_view text)
{
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// "latitude longitude": two numbers and one space between them.
bool isCoordinate(std::string_view text)
{
    const size_t space = text.find(' ');
    return space != std::string_view::npos && isNumber(text.substr(0, space)) && isNumber(text.substr(space + 1));
}

class Converter {
public:
    Converter(const QString& path, const RailwayProgress& progress) : m_path(path), m_progress(progress) {}

    Result<RailwayConversion> run();

private:
    Status readPoints(const XmlDocument& doc);
    Status readSections(const XmlDocument& doc);
    Status readStations(const XmlDocument& doc);
    Status readCurves(const XmlDocument& doc);

    void step(const char* text)
    {
        if (m_progress.step)
            m_progress.step(QString::fromUtf8(text));
    }
    void tick(int interval)
    {
        ++m_counter;
        if (m_counter % interval == 0 && m_progress.counter)
            m_progress.counter(m_counter);
    }
    Error dataError(std::string_view element, std::string_view id, const QString& problem) const
    {
        QString where = q(element);
        if (!id.empty())
            where += QStringLiteral("「") + q(id) + QStringLiteral("」");
        return Error{QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + where + QStringLiteral(": ") + problem};
    }
    // A value that goes on a line of its own.
    Status line(std::string& out, std::string_view element, std::string_view id, std::string_view value)
    {
        if (holdsLineBreak(value))
            return dataError(element, id, QStringLiteral("値が改行を含んでいます"));
        out.append(value);
        out += "\r\n";
        return {};
    }

    QString m_path;
    const RailwayProgress& m_progress;
    qint64 m_counter = 0;
    std::unordered_map<std::string_view, std::string_view> m_points; // lvwPoint
    std::unordered_set<std::string_view> m_stationCurves;            // lvwStation
    std::string m_rosen, m_eki, m_lineRr, m_lineSt;                  // UTF-8 while building
    RailwayReport m_report;
};

Status Converter::readPoints(const XmlDocument& doc)
{
    step("点を読んでいます");
    std::string_view current;
    for (const XmlNode node : doc.selectNodes("//jps:GM_Point//")) {
        tick(1000);
        const std::string_view name = node.name();
        if (name == "jps:GM_Point") {
            current = node.firstAttribute();
        } else if (name == "DirectPosition.coordinate") {
            const std::string_view text = node.text();
            if (!isCoordinate(text))
                return dataError("jps:GM_Point", current, QStringLiteral("座標「%1」が「緯度 経度」ではありません").arg(q(text)));
            if (m_points.emplace(current, text).second)
                ++m_report.points;
        }
    }
    return {};
}

Status Converter::readSections(const XmlDocument& doc)
{
    step("Rosen.dat: 鉄道区間を書いています");
    // The elements of a section in the order the six lines need them; RAS may be missing.
    static constexpr std::string_view kOrder[] = {"ksj:LOC", "ksj:RAC", "ksj:INT", "ksj:LIN", "ksj:RAS"};
    std::string_view id;
    int next = -1; // index into kOrder of the element expected next; -1 before the first section
    auto finish = [&]() -> Status {
        if (next < 0)
            return {};
        if (next < 4)
            return dataError("ksj:EB02", id, QStringLiteral("%1 がありません").arg(q(kOrder[next])));
        if (next == 4)
            m_rosen += "\r\n"; // no RAS: the sixth line stays empty
        return {};
    };
    for (const XmlNode node : doc.selectNodes("//ksj:EB02//")) {
        tick(500);
        const std::string_view name = node.name();
        if (name == "ksj:EB02") {
            if (Status s = finish(); !s)
                return s;
            id = node.firstAttribute();
            if (Status s = line(m_rosen, name, id, id); !s)
                return s;
            next = 0;
            ++m_report.sections;
            continue;
        }
        int k = 0;
        while (k < 5 && kOrder[k] != name)
            ++k;
        if (k == 5 || next < 0)
            continue; // other attributes of a section (operator name, …) are not written
        if (k != next)
            return dataError("ksj:EB02", id, k < next ? QStringLiteral("%1 が重複しています").arg(q(name))
                                                     : QStringLiteral("%1 がありません").arg(q(kOrder[next])));
        const std::string_view value = (name == "ksj:LOC" || name == "ksj:RAS") ? node.firstAttribute() : node.text();
        if (Status s = line(m_rosen, name, id, value); !s)
            return s;
        ++next;
    }
    return finish();
}

Status Converter::readStations(const XmlDocument& doc)
{
    step("Eki.dat: 駅を書いています");
    std::string_view id;
    int next = -1; // 0: LOC expected, 1: STN expected, 2: complete
    auto finish = [&]() -> Status {
        if (next == 0 || next == 1)
            return dataError("ksj:EB03", id, QStringLiteral("%1 がありません").arg(next == 0 ? QStringLiteral("ksj:LOC") : QStringLiteral("ksj:STN")));
        return {};
    };
    for (const XmlNode node : doc.selectNodes("//ksj:EB03//")) {
        tick(500);
        const std::string_view name = node.name();
        if (name == "ksj:EB03") {
            if (Status s = finish(); !s)
                return s;
            id = node.firstAttribute();
            if (Status s = line(m_eki, name, id, id); !s)
                return s;
            next = 0;
            ++m_report.stations;
        } else if (name == "ksj:LOC" && next >= 0) {
            if (next != 0)
                return dataError("ksj:EB03", id, QStringLiteral("ksj:LOC が重複しています"));
            const std::string_view ref = node.firstAttribute();
            if (holdsLineBreak(ref))
                return dataError(name, id, QStringLiteral("値が改行を含んでいます"));
            replaceRrInto(m_eki, ref);
            m_eki += "\r\n";
            m_stationCurves.insert(ref);
            next = 1;
        } else if (name == "ksj:STN" && next >= 0) {
            if (next != 1)
                return dataError("ksj:EB03", id, next == 0 ? QStringLiteral("ksj:LOC がありません") : QStringLiteral("ksj:STN が重複しています"));
            if (Status s = line(m_eki, name, id, node.text()); !s)
                return s;
            next = 2;
        }
    }
    return finish();
}

Status Converter::readCurves(const XmlDocument& doc)
{
    step("Line_rr.dat, Line_st.dat: 曲線を書いています");
    std::string* target = nullptr;
    std::string_view id;
    bool first = false;
    bool ended = true;
    for (const XmlNode node : doc.selectNodes("//jps:GM_Curve//")) {
        tick(1000);
        const std::string_view name = node.name();
        if (name == "jps:GM_Curve") {
            if (!ended)
                return dataError(name, id, QStringLiteral("終点（GM_PointRef.point）がありません"));
            id = node.firstAttribute();
            if (holdsLineBreak(id))
                return dataError(name, id, QStringLiteral("値が改行を含んでいます"));
            if (m_stationCurves.count(id)) {
                target = &m_lineSt;
                replaceRrInto(m_lineSt, id);
                m_lineSt += "\r\n";
                ++m_report.stationCurves;
            } else {
                target = &m_lineRr;
                m_lineRr.append(id);
                m_lineRr += "\r\n";
                ++m_report.railCurves;
            }
            first = true;
            ended = false;
        } else if (name == "GM_PointRef.point" || name == "DirectPosition.coordinate") {
            if (!target)
                continue;
            if (ended)
                return dataError("jps:GM_Curve", id, QStringLiteral("終点のあとに %1 があります").arg(q(name)));
            if (name == "DirectPosition.coordinate") {
                const std::string_view text = node.text();
                if (!isCoordinate(text))
                    return dataError("jps:GM_Curve", id, QStringLiteral("座標「%1」が「緯度 経度」ではありません").arg(q(text)));
                target->append(text);
                *target += ' ';
                continue;
            }
            const std::string_view ref = node.firstAttribute();
            const auto point = m_points.find(ref);
            if (point == m_points.end())
                return dataError("jps:GM_Curve", id, QStringLiteral("点「%1」がありません").arg(q(ref)));
            target->append(point->second);
            if (first) {
                *target += ' ';
                first = false;
            } else {
                *target += "\r\n";
                ended = true;
            }
        }
    }
    if (!ended)
        return dataError("jps:GM_Curve", id, QStringLiteral("終点（GM_PointRef.point）がありません"));
    return {};
}

Result<RailwayConversion> Converter::run()
{
    step("データファイルを読んでいます");
    auto doc = XmlDocument::load(m_path, m_progress.yield);
    if (!doc)
        return Error{doc.error()};
    for (auto pass : {&Converter::readPoints, &Converter::readSections, &Converter::readStations, &Converter::readCurves}) {
        if (Status s = (this->*pass)(*doc); !s)
            return Error{s.error()};
    }
    // A file without a single section or station (another kind of XML) must not replace the
    // railway files with empty ones.
    if (m_report.sections == 0 && m_report.stations == 0)
        return Error{QDir::toNativeSeparators(m_path) +
                     QStringLiteral(": ksj:EB02 も ksj:EB03 もありません（鉄道データではないようです）")};
    RailwayConversion result;
    const std::pair<std::string*, QByteArray*> files[] = {{&m_rosen, &result.files.rosen}, {&m_eki, &result.files.eki},
                                                          {&m_lineRr, &result.files.lineRr}, {&m_lineSt, &result.files.lineSt}};
    const char16_t* names[] = {store::kRosenFile, store::kEkiFile, store::kLineRrFile, store::kLineStFile};
    for (size_t i = 0; i < 4; ++i) {
        std::string& utf8 = *files[i].first;
        auto bytes = platform::toCp932(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        if (!bytes)
            return Error{QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + QString::fromUtf16(names[i]) + QStringLiteral(": ") + bytes.error()};
        *files[i].second = std::move(*bytes);
        std::string().swap(utf8);
    }
    m_report.counter = m_counter;
    result.report = m_report;
    return result;
}

} // namespace

QString stationCurveId(const QString& railCurveId)
{
    std::string out;
    const QByteArray utf8 = railCurveId.toUtf8();
    replaceRrInto(out, std::string_view(utf8.constData(), size_t(utf8.size())));
    return QString::fromStdString(out);
}

Result<RailwayConversion> buildRailwayFiles(const QString& dataPath, const RailwayProgress& progress)
{
    Converter converter(dataPath, progress);
    return converter.run();
}

Result<RailwayReport> 鉄道(const QString& dataPath, const QString& outputFolder, const RailwayProgress& progress)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    // The folder is checked first so a long conversion does not end in nothing.
    if (!QFileInfo(outputFolder).isDir())
        return Error{QStringLiteral("%1: 出力先のフォルダがありません").arg(QDir::toNativeSeparators(outputFolder))};
    auto built = buildRailwayFiles(dataPath, progress);
    if (!built)
        return Error{built.error()};
    if (Status s = store::writeRailwayFiles(outputFolder, built->files); !s)
        return Error{s.error()};
    return built->report;
}

} // namespace miratos::convert
