#include "convert/boundary_converter.h"

#include "state/prefectures.h"
#include "platform/import_lock.h"
#include "platform/cp932.h"
#include "platform/number_text.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"
#include "platform/xml_document.h"
#include "store/extent_check.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace miratos::convert {
namespace {

using platform::XmlDocument;
using platform::XmlNode;

constexpr std::string_view kCrLf = "\r\n";

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString q(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

void append(QByteArray& out, std::string_view text)
{
    out.append(text.data(), qsizetype(text.size()));
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool parseDouble(std::string_view text, double& value)
{
    const auto number = platform::parseNumber(QByteArrayView(text.data(), qsizetype(text.size())));
    if (number)
        value = *number;
    return number.has_value();
}

// "latitude longitude": two finite numbers separated by blanks; blanks around them are allowed.
// latText and lonText are the two numbers as written.
bool parseLatLon(std::string_view text, double& lat, double& lon, std::string_view* latText = nullptr,
                 std::string_view* lonText = nullptr)
{
    text = trimmed(text);
    size_t space = 0;
    while (space < text.size() && !isBlank(text[space]))
        ++space;
    if (space == text.size())
        return false;
    const std::string_view first = text.substr(0, space);
    const std::string_view second = trimmed(text.substr(space));
    if (!parseDouble(first, lat) || !parseDouble(second, lon))
        return false;
    if (latText)
        *latText = first;
    if (lonText)
        *lonText = second;
    return true;
}

// A whole number as a ring's number part is read: optional sign and digits only.
bool parseWholeNumber(std::string_view text, long long& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

std::string_view firstPart(std::string_view id, size_t* secondStart)
{
    const size_t underscore = id.find('_');
    *secondStart = underscore == std::string_view::npos ? std::string_view::npos : underscore + 1;
    return id.substr(0, underscore);
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

struct PointEntry {
    std::string_view text; // "lat lon" as written in the file
    double lat = 0;
    double lon = 0;
};

struct LineEntry {
    std::string key;
    int first = -1; // point indices
    int last = -1;
    double minLat = 0, minLon = 0, maxLat = 0, maxLon = 0;
    size_t coordBegin = 0, coordEnd = 0; // lat, lon pairs in Converter::m_coords
    bool odd = false;                    // used an odd number of times by rings so far
    qint64 lastAdded = 0;                // when it last became odd (the order of the outline list)
};

class Converter {
public:
    Converter(const BoundarySources& sources, const BoundaryProgress& progress)
        : m_sources(sources), m_progress(progress), m_pc(state::prefectureCodeText(sources.prefCode).toStdString())
    {
    }

    Result<BoundaryConversion> run();

private:
    Status readExtent();
    Status writeExtent();
    Status readPoints(const XmlDocument& doc);
    Status readLines(const XmlDocument& doc);
    Status readRings(const XmlDocument& doc);
    void finishPolygon(int lastGenerator);
    bool isInside(double lat, double lon) const;
    void chainOutline();
    Status readMunicipalities(const XmlDocument& doc);
    Status encode(const char16_t* fileName, const QByteArray& utf8, QByteArray& out) const;

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
    QString where(std::string_view element, std::string_view id) const
    {
        QString text = shown(m_sources.dataPath) + QStringLiteral(": ") + q(element);
        if (!id.empty())
            text += QStringLiteral("「") + q(id) + QStringLiteral("」");
        return text;
    }
    // A feature left out: the report names the file, the element and its identifier, and why.
    void skip(std::string_view element, std::string_view id, const QString& problem)
    {
        m_result.report.skipped << where(element, id) + QStringLiteral(": ") + problem + QStringLiteral("（飛ばしました）");
    }
    // A text that Tiku.dat or a key would carry: CP932 must hold it (ASCII always does).
    static bool fitsCp932(std::string_view text)
    {
        if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            return true;
        return platform::toCp932(q(text)).ok();
    }

    const BoundarySources& m_sources;
    const BoundaryProgress& m_progress;
    const std::string m_pc;
    qint64 m_counter = 0;

    // The four extent texts of the metadata, empty where it gives no number.
    QString m_extent[4];

    std::unordered_map<std::string_view, int> m_pointIndex;
    std::vector<PointEntry> m_points;
    std::deque<std::string> m_cleanTexts; // coordinates rewritten without surrounding blanks
    std::unordered_map<std::string, int> m_lineIndex;
    std::vector<LineEntry> m_lines;
    std::vector<double> m_coords;

    // The polygon being collected: its outer ring, and the lines of the rings numbered 2 or more
    // that follow it (its holes).
    std::vector<int> m_ring;
    std::vector<int> m_holes;
    double m_minLat = 0, m_minLon = 0, m_maxLat = 0, m_maxLon = 0;
    std::string m_polygonKey;
    std::string m_ringText;    // the polygon's line references as Polygon.dat holds them
    std::string_view m_ringId; // its outer ring, as reports name it
    QString m_polygonProblem;  // why the polygon is left out; empty while it is good
    std::unordered_set<std::string> m_polygonKeys;

    BoundaryConversion m_result;
    // UTF-8 while building; CP932 at the end.
    QByteArray m_news, m_line, m_polygon, m_point, m_prefLine, m_tiku;
};

Status Converter::readExtent()
{
    step("NEWS.dat: 説明ファイルを読んでいます");
    auto meta = XmlDocument::load(m_sources.metaPath, m_progress.yield);
    if (!meta)
        return Error{meta.error()};
    const char* const names[] = {"westBoundLongitude", "eastBoundLongitude", "southBoundLatitude", "northBoundLatitude"};
    for (int i = 0; i < 4; ++i) {
        // Blanks around the number are dropped (the element text is trimmed).
        const std::optional<QString> text = meta->firstElementText(names[i]);
        if (text && platform::isNumeric(*text)) {
            m_extent[i] = *text;
            continue;
        }
        m_result.report.warnings << shown(m_sources.metaPath)
                                        + (text ? QStringLiteral(": %1 の「%2」が数値ではないため、").arg(QLatin1String(names[i]), *text)
                                                : QStringLiteral(": %1 がないため、").arg(QLatin1String(names[i])))
                                        + QStringLiteral("NEWS.dat にはデータの範囲を書きました");
    }
    return {};
}

// NEWS.dat: the metadata's texts as they stand; where it gives none, the extent of the lines read.
// An extent that makes no map (inverted, off the globe) is refused: NEWS.dat could not be read back.
Status Converter::writeExtent()
{
    double extent[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL}; // west, east, south, north
    for (const LineEntry& line : m_lines) {
        extent[0] = std::min(extent[0], line.minLon);
        extent[1] = std::max(extent[1], line.maxLon);
        extent[2] = std::min(extent[2], line.minLat);
        extent[3] = std::max(extent[3], line.maxLat);
    }
    QString texts[4];
    for (int i = 0; i < 4; ++i) {
        texts[i] = m_extent[i].isEmpty() ? platform::formatDouble(extent[i]) : m_extent[i];
        extent[i] = platform::toNumber(texts[i]).value_or(HUGE_VAL);
    }
    if (const QString problem = store::extentProblem(extent[0], extent[1], extent[2], extent[3]); !problem.isEmpty())
        return Error{QStringLiteral("%1: 範囲が地図になりません（%2）").arg(shown(m_sources.metaPath), problem)};
    for (const QString& text : texts) {
        m_news.append(text.toUtf8());
        append(m_news, kCrLf);
    }
    return {};
}

Status Converter::readPoints(const XmlDocument& doc)
{
    step("点を読んでいます");
    std::string_view current;
    int unnamed = 0;
    for (const XmlNode node : doc.selectNodes("//jps:GM_Point//")) {
        tick(100);
        const std::string_view name = node.name();
        if (name == "jps:GM_Point") {
            current = node.firstAttribute();
            if (current.empty())
                ++unnamed;
        } else if (name == "DirectPosition.coordinate") {
            if (current.empty())
                continue; // counted above, reported below
            PointEntry p;
            const std::string_view text = node.text();
            std::string_view latText, lonText;
            if (!parseLatLon(text, p.lat, p.lon, &latText, &lonText)) {
                skip("jps:GM_Point", current, QStringLiteral("座標「%1」が「緯度 経度」ではありません").arg(q(text)));
                continue;
            }
            // Line.dat takes the text as it stands; one with other blanks is rewritten.
            const bool plain = latText.data() == text.data() && lonText.data() + lonText.size() == text.data() + text.size()
                               && lonText.data() == latText.data() + latText.size() + 1;
            p.text = plain ? text : std::string_view(m_cleanTexts.emplace_back(std::string(latText) + ' ' + std::string(lonText)));
            if (!m_pointIndex.emplace(current, int(m_points.size())).second) {
                skip("jps:GM_Point", current, QStringLiteral("同じ識別子の点がすでにあります"));
                continue;
            }
            m_points.push_back(p);
        }
    }
    if (unnamed > 0)
        m_result.report.skipped << where("jps:GM_Point", {}) + QStringLiteral(": 識別子のない点 %1 個（飛ばしました）").arg(unnamed);
    if (m_points.empty())
        return Error{shown(m_sources.dataPath) + QStringLiteral(": jps:GM_Point がありません（行政区域データではないようです）")};
    return {};
}

Status Converter::readLines(const XmlDocument& doc)
{
    step("Line.dat: 線を読んでいます");
    // The curve being read; it joins the tables and Line.dat only when it is whole.
    std::string_view curveId;
    LineEntry line;
    std::string record; // its two Line.dat lines
    QString problem;
    int refs = 2;       // point references read in the current curve
    bool open = false;
    auto bad = [&problem](const QString& why) {
        if (problem.isEmpty())
            problem = why;
    };
    auto addPoint = [&](double lat, double lon) {
        m_coords.push_back(lat);
        m_coords.push_back(lon);
        line.minLat = std::min(line.minLat, lat);
        line.maxLat = std::max(line.maxLat, lat);
        line.minLon = std::min(line.minLon, lon);
        line.maxLon = std::max(line.maxLon, lon);
    };
    auto finish = [&] {
        if (!open)
            return;
        open = false;
        if (problem.isEmpty() && refs != 2)
            bad(QStringLiteral("終点の GM_PointRef.point がありません"));
        if (problem.isEmpty() && !m_lineIndex.emplace(line.key, int(m_lines.size())).second)
            bad(QStringLiteral("同じ識別子の曲線がすでにあります"));
        if (!problem.isEmpty()) {
            skip("jps:GM_Curve", curveId, problem);
            m_coords.resize(line.coordBegin);
            return;
        }
        line.coordEnd = m_coords.size();
        append(m_line, record);
        m_lines.push_back(std::move(line));
    };
    for (const XmlNode node : doc.selectNodes("//jps:GM_Curve//")) {
        tick(500);
        const std::string_view name = node.name();
        if (name == "jps:GM_Curve") {
            finish();
            open = true;
            problem.clear();
            curveId = node.firstAttribute();
            line = LineEntry();
            line.key = m_pc + replaceAll(curveId, "cv", "c");
            if (curveId.empty())
                bad(QStringLiteral("識別子がありません"));
            else if (!fitsCp932(curveId))
                bad(QStringLiteral("識別子に CP932 で書けない文字があります"));
            line.minLat = line.minLon = HUGE_VAL;
            line.maxLat = line.maxLon = -HUGE_VAL;
            line.coordBegin = line.coordEnd = m_coords.size();
            record = line.key;
            record += kCrLf;
            refs = 0;
        } else if (!open || !problem.isEmpty()) {
            continue;
        } else if (name == "GM_PointRef.point") {
            const std::string_view ref = node.firstAttribute();
            const auto found = m_pointIndex.find(ref);
            if (found == m_pointIndex.end()) {
                bad(QStringLiteral("GM_PointRef.point が知らない点「%1」を指しています").arg(q(ref)));
                continue;
            }
            if (refs >= 2) {
                bad(QStringLiteral("終点のあとにまた GM_PointRef.point があります"));
                continue;
            }
            const PointEntry& p = m_points[size_t(found->second)];
            record += p.text;
            addPoint(p.lat, p.lon);
            if (refs++ == 0) {
                line.first = found->second;
                record += ' ';
            } else {
                line.last = found->second;
                record += kCrLf;
            }
        } else if (name == "DirectPosition.coordinate") {
            if (refs != 1) {
                bad(QStringLiteral("始点と終点のあいだにない座標があります"));
                continue;
            }
            const std::string_view text = node.text();
            double lat = 0, lon = 0;
            std::string_view latText, lonText;
            if (!parseLatLon(text, lat, lon, &latText, &lonText)) {
                bad(QStringLiteral("座標「%1」が「緯度 経度」ではありません").arg(q(text)));
                continue;
            }
            record += latText;
            record += ' ';
            record += lonText;
            record += ' ';
            addPoint(lat, lon);
        }
    }
    finish();
    return {};
}

Status Converter::readRings(const XmlDocument& doc)
{
    step("Polygon.dat, Point.dat: 面を読み、ラベル位置を探しています");
    enum class Ring { None, Outer, Hole, Unknown };
    Ring ring = Ring::None;
    bool polygonOpen = false;
    std::string_view ringId;
    int lastGenerator = -1;
    qint64 uses = 0;
    bool anyOuter = false;
    for (const XmlNode node : doc.selectNodes("//jps:GM_Ring//")) {
        tick(100);
        const std::string_view name = node.name();
        if (name == "jps:GM_Ring") {
            ringId = node.firstAttribute();
            size_t second = 0;
            const std::string_view first = firstPart(ringId, &second);
            long long number = 0;
            if (second == std::string_view::npos) {
                skip(name, ringId, QStringLiteral("識別子に「_」のあとの番号がありません"));
                ring = Ring::Unknown;
                continue;
            }
            const std::string_view secondPart = ringId.substr(second, ringId.find('_', second) - second);
            if (!parseWholeNumber(replaceAll(secondPart, "ec", ""), number)) {
                skip(name, ringId, QStringLiteral("識別子の番号「%1」が整数ではありません").arg(q(secondPart)));
                ring = Ring::Unknown;
                continue;
            }
            if (number != 1) {
                // An inner ring: it draws nothing of its own, but its lines count for the outline.
                ring = Ring::Hole;
                continue;
            }
            if (polygonOpen)
                finishPolygon(lastGenerator);
            anyOuter = true;
            ring = Ring::Outer;
            polygonOpen = true;
            m_ringId = ringId;
            m_polygonKey = m_pc + replaceAll(first, "rn", "a") + "ec";
            m_ringText.clear();
            m_polygonProblem.clear();
            if (!fitsCp932(m_polygonKey))
                m_polygonProblem = QStringLiteral("識別子に CP932 で書けない文字があります");
            else if (m_polygonKeys.count(m_polygonKey))
                m_polygonProblem = QStringLiteral("面のキー %1 がすでにあります").arg(q(m_polygonKey));
            m_minLat = m_minLon = HUGE_VAL;
            m_maxLat = m_maxLon = -HUGE_VAL;
        } else if (name == "jps:GM_CompositeCurve.generator") {
            const std::string_view ref = node.firstAttribute();
            const bool forward = !ref.empty() && ref.front() == 'c';
            const std::string key = m_pc + replaceAll(ref, forward ? "cv" : "oc", "c");
            const auto found = m_lineIndex.find(key);
            if (found == m_lineIndex.end()) {
                const QString problem = QStringLiteral("jps:GM_CompositeCurve.generator が知らない曲線「%1」を指しています").arg(q(ref));
                if (polygonOpen && (ring == Ring::Outer || ring == Ring::Hole)) {
                    if (m_polygonProblem.isEmpty())
                        m_polygonProblem = problem;
                } else if (ring != Ring::Unknown) { // an unknown ring is reported already
                    skip("jps:GM_Ring", ringId, problem);
                }
                continue;
            }
            LineEntry& line = m_lines[size_t(found->second)];
            lastGenerator = found->second;
            if (ring == Ring::Outer) {
                // "@" between references. The file marks the start of a ring's list with
                // jps:GM_OrientablePrimitive.primitive; taking the polygon's first reference as
                // the start gives the same line and keeps it whole where the marker is missing.
                if (!m_ring.empty())
                    m_ringText += '@';
                if (!forward)
                    m_ringText += '_';
                m_ringText += key;
                m_ring.push_back(found->second);
                m_minLat = std::min(m_minLat, line.minLat);
                m_minLon = std::min(m_minLon, line.minLon);
                m_maxLat = std::max(m_maxLat, line.maxLat);
                m_maxLon = std::max(m_maxLon, line.maxLon);
            } else if (ring == Ring::Hole && polygonOpen) {
                m_holes.push_back(found->second);
            }
            line.odd = !line.odd;
            if (line.odd)
                line.lastAdded = ++uses;
        }
    }
    if (polygonOpen)
        finishPolygon(lastGenerator); // the last line of Polygon.dat has no line break
    if (!anyOuter)
        return Error{shown(m_sources.dataPath) + QStringLiteral(": 番号 1 の jps:GM_Ring がありません（行政区域データではないようです）")};
    if (m_result.report.polygons == 0)
        return Error{shown(m_sources.dataPath) + QStringLiteral(": 書ける面が一つもありません")};
    return {};
}

// Even-odd test against the lines of the polygon's rings; they join into closed rings, so their
// segments are the edges whatever the direction each is walked in. The holes count too: a point
// in an enclave is not on the polygon around it.
bool Converter::isInside(double lat, double lon) const
{
    bool inside = false;
    auto cross = [&](int index) {
        const LineEntry& line = m_lines[size_t(index)];
        if (line.minLat > lat || line.maxLat < lat || line.maxLon < lon)
            return;
        for (size_t i = line.coordBegin + 2; i < line.coordEnd; i += 2) {
            const double y1 = m_coords[i - 2], x1 = m_coords[i - 1];
            const double y2 = m_coords[i], x2 = m_coords[i + 1];
            if ((y1 > lat) != (y2 > lat) && lon < (x2 - x1) * (lat - y1) / (y2 - y1) + x1)
                inside = !inside;
        }
    };
    for (int line : m_ring)
        cross(line);
    for (int line : m_holes)
        cross(line);
    return inside;
}

// The label point: the extent's centre when it lies inside the ring, else the centre moved a
// quarter of the extent south, north, west or east (the first that lies inside), else the first
// point of the last curve read.
void Converter::finishPolygon(int lastGenerator)
{
    if (m_polygonProblem.isEmpty() && m_ring.empty())
        m_polygonProblem = QStringLiteral("線が一つもありません");
    if (!m_polygonProblem.isEmpty()) {
        skip("jps:GM_Ring", m_ringId, m_polygonProblem);
        m_ring.clear();
        m_holes.clear();
        return;
    }
    m_polygonKeys.insert(m_polygonKey);
    if (!m_polygon.isEmpty())
        append(m_polygon, kCrLf);
    append(m_polygon, m_polygonKey);
    append(m_polygon, kCrLf);
    append(m_polygon, m_ringText);

    const double centreLat = (m_minLat + m_maxLat) / 2;
    const double centreLon = (m_minLon + m_maxLon) / 2;
    const double dLat = (m_maxLat - m_minLat) / 4;
    const double dLon = (m_maxLon - m_minLon) / 4;
    const double seeds[5][2] = {{centreLat, centreLon},
                                {centreLat - dLat, centreLon},
                                {centreLat + dLat, centreLon},
                                {centreLat, centreLon - dLon},
                                {centreLat, centreLon + dLon}};
    std::string label;
    for (const auto& seed : seeds) {
        if (isInside(seed[0], seed[1])) {
            label = (platform::formatDouble(seed[0]) + QLatin1Char(' ') + platform::formatDouble(seed[1])).toStdString();
            break;
        }
    }
    if (label.empty())
        label = m_points[size_t(m_lines[size_t(lastGenerator)].first)].text;
    append(m_point, replaceAll(m_polygonKey, "a", "p"));
    append(m_point, kCrLf);
    append(m_point, label);
    append(m_point, kCrLf);
    ++m_result.report.polygons;
    m_ring.clear();
    m_holes.clear();
}

// Chains the lines used an odd number of times, in the order they last became so, into rings:
// from each free line, the next is always the first free line in that order that starts or ends
// where the chain ends. A chain that finds none ends there, open.
void Converter::chainOutline()
{
    step("PrefLine.dat: 外周をつないでいます");
    std::vector<int> items;
    for (int i = 0; i < int(m_lines.size()); ++i) {
        if (m_lines[size_t(i)].odd)
            items.push_back(i);
    }
    std::sort(items.begin(), items.end(), [&](int a, int b) { return m_lines[size_t(a)].lastAdded < m_lines[size_t(b)].lastAdded; });
    // Items touching each point, in list order.
    std::unordered_map<int, std::vector<int>> atPoint;
    for (int j = 0; j < int(items.size()); ++j) {
        const LineEntry& line = m_lines[size_t(items[size_t(j)])];
        atPoint[line.first].push_back(j);
        if (line.last != line.first)
            atPoint[line.last].push_back(j);
    }
    std::vector<char> taken(items.size(), 0);
    int open = 0;
    for (size_t k = 0; k < items.size(); ++k) {
        if (taken[k])
            continue;
        tick(500);
        taken[k] = 1;
        const LineEntry& first = m_lines[size_t(items[k])];
        const int start = first.first;
        int end = first.last;
        append(m_prefLine, first.key);
        while (end != start) {
            int next = -1;
            for (int j : atPoint[end]) {
                if (!taken[size_t(j)]) {
                    next = j;
                    break;
                }
            }
            if (next < 0) {
                ++open;
                break;
            }
            tick(500);
            taken[size_t(next)] = 1;
            const LineEntry& line = m_lines[size_t(items[size_t(next)])];
            append(m_prefLine, line.first == end ? "@" : "@_");
            append(m_prefLine, line.key);
            end = line.first == end ? line.last : line.first;
        }
        append(m_prefLine, kCrLf);
        ++m_result.report.outlineRings;
    }
    if (open > 0)
        m_result.report.warnings << QStringLiteral("外周の線 %1 本がつながらず、閉じない輪のまま PrefLine.dat に書きました").arg(open);
}

Status Converter::readMunicipalities(const XmlDocument& doc)
{
    step("Tiku.dat: 市区町村を読んでいます");
    // The feature being read; its three lines join Tiku.dat only when it is whole.
    std::string_view featureId;
    std::string areaKey, names, code;
    QString problem;
    bool open = false, haveArea = false, haveCode = false;
    int unknownKeys = 0;
    QString firstUnknown;
    auto bad = [&problem](const QString& why) {
        if (problem.isEmpty())
            problem = why;
    };
    auto finish = [&] {
        if (!open)
            return;
        open = false;
        if (!haveArea)
            bad(QStringLiteral("ksj:ARE がありません"));
        if (!haveCode)
            bad(QStringLiteral("ksj:AAC がありません"));
        if (problem.isEmpty() && !fitsCp932(areaKey))
            bad(QStringLiteral("ksj:ARE の参照に CP932 で書けない文字があります"));
        if (problem.isEmpty() && !fitsCp932(names))
            bad(QStringLiteral("名前「%1」に CP932 で書けない文字があります").arg(q(names)));
        if (problem.isEmpty() && !fitsCp932(code))
            bad(QStringLiteral("ksj:AAC「%1」に CP932 で書けない文字があります").arg(q(code)));
        if (!problem.isEmpty()) {
            skip("ksj:EC01", featureId, problem);
            return;
        }
        if (!m_polygonKeys.count(areaKey) && unknownKeys++ == 0)
            firstUnknown = q(areaKey);
        for (const std::string* text : {&areaKey, &names, &code}) {
            append(m_tiku, *text);
            append(m_tiku, kCrLf);
        }
        ++m_result.report.municipalityRecords;
    };
    for (const XmlNode node : doc.selectNodes("//ksj:EC01//")) {
        tick(100);
        const std::string_view name = node.name();
        if (name == "ksj:EC01") {
            finish();
            featureId = node.firstAttribute();
            open = true;
            haveArea = haveCode = false;
            areaKey.clear();
            names.clear();
            code.clear();
            problem.clear();
            continue;
        }
        const bool isArea = name == "ksj:ARE";
        const bool isName = name == "ksj:PRN" || name == "ksj:CON" || name == "ksj:CN2";
        const bool isCode = name == "ksj:AAC";
        if (!open || (!isArea && !isName && !isCode))
            continue;
        // Each feature must give its three lines: area key, names, code.
        if (isArea && haveArea)
            bad(QStringLiteral("ksj:ARE が二つあります"));
        if (!isArea && !haveArea)
            bad(QStringLiteral("%1 より前に ksj:ARE がありません").arg(q(name)));
        if (haveCode)
            bad(QStringLiteral("ksj:AAC のあとに %1 があります").arg(q(name)));
        if (!problem.isEmpty())
            continue;
        if (isArea) {
            areaKey = m_pc + replaceAll(node.firstAttribute(), "sf", "a");
            haveArea = true;
            continue;
        }
        const std::string_view text = node.text();
        if (isCode) {
            // A code is a number: blanks around it are dropped.
            code = std::string(trimmed(text));
            if (holdsLineBreak(code) || code.empty())
                bad(QStringLiteral("ksj:AAC「%1」が市区町村コードではありません").arg(q(text)));
            haveCode = true;
            continue;
        }
        if (holdsLineBreak(text))
            bad(QStringLiteral("%1 の文字列に改行があります").arg(q(name)));
        if (name != "ksj:PRN")
            names += '@';
        // "@" parts the name in Tiku.dat, so one inside a name is written full-width.
        names += replaceAll(text, "@", "\xEF\xBC\xA0");
    }
    finish();
    if (m_result.report.municipalityRecords == 0)
        m_result.report.warnings << QStringLiteral("書ける ksj:EC01 が一つもなく、Tiku.dat は空です");
    if (unknownKeys > 0)
        m_result.report.warnings << QStringLiteral("Tiku.dat の %1 件の面キー（最初は %2）が Polygon.dat にありません").arg(unknownKeys).arg(firstUnknown);
    return {};
}

// UTF-8 to CP932; the files are ASCII but for the names of Tiku.dat.
Status Converter::encode(const char16_t* fileName, const QByteArray& utf8, QByteArray& out) const
{
    if (std::all_of(utf8.cbegin(), utf8.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out = utf8;
        return {};
    }
    auto bytes = platform::toCp932(QString::fromUtf8(utf8));
    if (!bytes)
        return Error{QString::fromUtf16(fileName) + QStringLiteral(": ") + bytes.error()};
    out = std::move(*bytes);
    return {};
}

Result<BoundaryConversion> Converter::run()
{
    if (m_sources.prefCode < 1 || m_sources.prefCode > state::kPrefectureCount)
        return Error{QStringLiteral("都道府県コード %1 は 1〜47 ではありません").arg(m_sources.prefCode)};
    if (Status s = readExtent(); !s)
        return Error{s.error()};
    step("データファイルを読んでいます");
    auto doc = XmlDocument::load(m_sources.dataPath, m_progress.yield);
    if (!doc)
        return Error{doc.error()};
    Status s = readPoints(*doc);
    if (s)
        s = readLines(*doc);
    if (s)
        s = writeExtent();
    if (s)
        s = readRings(*doc);
    if (s)
        chainOutline();
    if (s)
        s = readMunicipalities(*doc);
    if (!s)
        return Error{s.error()};

    BoundaryReport& report = m_result.report;
    report.counter = m_counter;
    report.points = int(m_points.size());
    report.lines = int(m_lines.size());
    BoundaryFiles& files = m_result.files;
    const std::pair<QByteArray*, QByteArray*> outputs[] = {{&m_news, &files.news},         {&m_line, &files.line},
                                                           {&m_polygon, &files.polygon},   {&m_point, &files.point},
                                                           {&m_prefLine, &files.prefLine}, {&m_tiku, &files.tiku}};
    for (size_t i = 0; i < std::size(outputs); ++i) {
        if (Status e = encode(kBoundaryFileNames[i], *outputs[i].first, *outputs[i].second); !e)
            return Error{e.error()};
        *outputs[i].first = QByteArray();
    }
    return std::move(m_result);
}

} // namespace

bool isXmlPath(const QString& path)
{
    return path.endsWith(QLatin1String("xml"));
}

Result<BoundaryConversion> buildBoundaryFiles(const BoundarySources& sources, const BoundaryProgress& progress)
{
    return Converter(sources, progress).run();
}

Status writeBoundaryFiles(const QString& folder, const BoundaryFiles& files)
{
    if (!QFileInfo(folder).isDir())
        return Error{QStringLiteral("出力先のフォルダ %1 がありません").arg(shown(folder))};
    const QByteArray* contents[] = {&files.news, &files.line, &files.polygon, &files.point, &files.prefLine, &files.tiku};
    platform::WriteBatch batch; // the six files of a prefecture together, or none
    for (size_t i = 0; i < std::size(contents); ++i) {
        if (Status s = platform::writeFileAtomically(QDir(folder).filePath(QString::fromUtf16(kBoundaryFileNames[i])), *contents[i]); !s)
            return s;
    }
    return batch.commit();
}

Result<BoundaryReport> 行政区域(const BoundarySources& sources, const QString& outputFolder, const BoundaryProgress& progress)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    // Checked first as well, so that a long conversion does not end in nothing.
    if (!QFileInfo(outputFolder).isDir())
        return Error{QStringLiteral("出力先のフォルダ %1 がありません").arg(shown(outputFolder))};
    auto conversion = buildBoundaryFiles(sources, progress);
    if (!conversion)
        return Error{conversion.error()};
    if (progress.step)
        progress.step(QStringLiteral("ファイルを書いています"));
    if (Status s = writeBoundaryFiles(outputFolder, conversion->files); !s)
        return Error{s.error()};
    return conversion->report;
}

QString boundaryDoneText()
{
    return QStringLiteral("変換終了！\r\n「ＯＫ」クリック後、メモリの解放に、\r\n少し時間がかかる場合があります。");
}

} // namespace miratos::convert
