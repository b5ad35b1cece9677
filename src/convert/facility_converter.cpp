#include "convert/facility_converter.h"

#include "platform/import_lock.h"
#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "platform/xml_document.h"
#include "store/facility_files.h"

#include <QDir>
#include <QFileInfo>
#include <array>
#include <string_view>
#include <unordered_map>

namespace miratos::convert {
namespace {

using platform::XmlDocument;
using platform::XmlNode;

QString q(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool isCoordinate(std::string_view text)
{
    const size_t space = text.find(' ');
    return space != std::string_view::npos && platform::parseNumber(QByteArrayView(text.data(), qsizetype(space)))
           && platform::parseNumber(QByteArrayView(text.data() + space + 1, qsizetype(text.size() - space - 1)));
}

// The elements of a facility, in the order of the fields of Build.dat.
constexpr std::string_view kFields[] = {"ksj:POS", "ksj:AAC", "ksj:PCA", "ksj:PCI", "ksj:NA0", "ksj:ADS", "ksj:APF"};

int fieldOf(std::string_view name)
{
    for (int k = 0; k < 7; ++k) {
        if (kFields[k] == name)
            return k;
    }
    return -1;
}

class Converter {
public:
    Converter(const QString& path, const QString& initIni, const FacilityProgress& progress)
        : m_path(path), m_codes(initIni), m_progress(progress)
    {
    }

    Result<FacilityConversion> run();

private:
    Status readPoints(const XmlDocument& doc);
    Status readFacilities(const XmlDocument& doc);
    Status finishRecord();

    void tick()
    {
        if (++m_counter % 500 == 0 && m_progress.counter)
            m_progress.counter(m_counter);
    }
    Error dataError(std::string_view id, const QString& problem) const
    {
        QString where = QStringLiteral("ksj:FB01");
        if (!id.empty())
            where += QStringLiteral("「") + q(id) + QStringLiteral("」");
        return Error{QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + where + QStringLiteral(": ") + problem};
    }

    QString m_path;
    FacilityCodeTables m_codes;
    const FacilityProgress& m_progress;
    qint64 m_counter = 0;
    std::unordered_map<std::string_view, std::string_view> m_points; // lvwPoint
    std::vector<store::BuildDatRecord> m_records;
    // The facility being read.
    bool m_open = false;
    std::string_view m_id;
    store::BuildDatRecord m_fields;
    std::array<bool, 7> m_seen{};
    FacilityReport m_report;
};

Status Converter::readPoints(const XmlDocument& doc)
{
    std::string_view current;
    for (const XmlNode node : doc.selectNodes("//jps:GM_Point//")) {
        tick();
        const std::string_view name = node.name();
        if (name == "jps:GM_Point") {
            current = node.firstAttribute();
        } else if (name == "DirectPosition.coordinate") {
            const std::string_view text = node.text();
            if (!isCoordinate(text))
                return Error{QDir::toNativeSeparators(m_path) + QStringLiteral(": jps:GM_Point「%1」: 座標「%2」が「緯度 経度」ではありません").arg(q(current), q(text))};
            if (m_points.emplace(current, text).second)
                ++m_report.points;
        }
    }
    return {};
}

Status Converter::finishRecord()
{
    if (!m_open)
        return {};
    m_open = false;
    if (!m_seen[0])
        return dataError(m_id, QStringLiteral("位置（ksj:POS）がありません"));
    QStringList missing;
    for (int k = 1; k < 7; ++k) {
        if (!m_seen[static_cast<size_t>(k)])
            missing << q(kFields[k]);
    }
    if (!missing.isEmpty())
        m_report.notes << QStringLiteral("施設「%1」（%2）: %3 がないため空欄で書きました").arg(m_fields[4], q(m_id), missing.join(QStringLiteral("、")));
    m_records.push_back(m_fields);
    return {};
}

Status Converter::readFacilities(const XmlDocument& doc)
{
    for (const XmlNode node : doc.selectNodes("//ksj:FB01//")) {
        tick();
        const std::string_view name = node.name();
        if (name == "ksj:FB01") {
            if (Status s = finishRecord(); !s)
                return s;
            m_open = true;
            m_id = node.firstAttribute();
            m_fields = {};
            m_seen = {};
            continue;
        }
        const int k = fieldOf(name);
        if (k < 0 || !m_open)
            continue;
        if (m_seen[static_cast<size_t>(k)])
            return dataError(m_id, QStringLiteral("%1 が重複しています").arg(q(name)));
        m_seen[static_cast<size_t>(k)] = true;
        if (k == 0) {
            const std::string_view ref = node.firstAttribute();
            const auto point = m_points.find(ref);
            if (point == m_points.end())
                return dataError(m_id, QStringLiteral("点「%1」がありません").arg(q(ref)));
            m_fields[0] = q(point->second);
            continue;
        }
        const QString text = q(node.text());
        if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
            return dataError(m_id, QStringLiteral("%1 の値が改行を含んでいます").arg(q(name)));
        QString value;
        switch (k) {
        case 2: value = m_codes.major(text); break;
        case 3: value = m_codes.minor(text); break;
        case 6: value = m_codes.administrator(text); break;
        default: value = text; break;
        }
        bool changed = false;
        m_fields[static_cast<size_t>(k)] = withoutFieldSeparator(value, &changed);
        if (changed)
            m_report.notes << QStringLiteral("施設（%1）: %2 の「|」を「｜」にしました").arg(q(m_id), q(name));
    }
    return finishRecord();
}

Result<FacilityConversion> Converter::run()
{
    if (m_progress.step)
        m_progress.step(QStringLiteral("データファイルを読んでいます"));
    auto doc = XmlDocument::load(m_path, m_progress.yield);
    if (!doc)
        return Error{doc.error()};
    if (m_progress.step)
        m_progress.step(QStringLiteral("点を読んでいます"));
    if (Status s = readPoints(*doc); !s)
        return Error{s.error()};
    if (m_progress.step)
        m_progress.step(QStringLiteral("Build.dat: 施設を書いています"));
    if (Status s = readFacilities(*doc); !s)
        return Error{s.error()};
    // A file of another kind (or an empty one) must not replace a Build.dat with nothing.
    if (m_records.empty())
        return Error{QDir::toNativeSeparators(m_path) + QStringLiteral(": 公共施設（ksj:FB01）が 1 つもありません")};
    auto bytes = store::encodeBuildDat(m_records);
    if (!bytes)
        return Error{QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + bytes.error()};
    FacilityConversion result;
    result.buildDat = std::move(*bytes);
    m_report.counter = m_counter;
    m_report.facilities = static_cast<int>(m_records.size());
    m_report.unknownCodes = m_codes.unknownCodes();
    result.report = m_report;
    return result;
}

} // namespace

QString FacilityCodeTables::lookUp(const QString& section, const QString& code)
{
    const QString key = section + QLatin1Char('\t') + code;
    const auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd())
        return it.value();
    const QString name = platform::GetINIValue(code, section, m_initIni);
    if (name == QLatin1String("ERROR"))
        ++m_unknown;
    m_cache.insert(key, name);
    return name;
}

QString withoutFieldSeparator(const QString& value, bool* changed)
{
    const bool has = value.contains(QLatin1Char('|'));
    if (changed)
        *changed = has;
    if (!has)
        return value;
    return QString(value).replace(QLatin1Char('|'), QStringLiteral("｜"));
}

Result<FacilityConversion> buildFacilityFile(const QString& dataPath, const QString& initIni, const FacilityProgress& progress)
{
    Converter converter(dataPath, initIni, progress);
    return converter.run();
}

Result<FacilityReport> 公共施設(const QString& dataPath, const QString& initIni, const QString& outputFolder,
                                const FacilityProgress& progress)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    // The folder is checked first so a long conversion does not end in nothing.
    if (!QFileInfo(outputFolder).isDir())
        return Error{QStringLiteral("%1: 出力先のフォルダがありません").arg(QDir::toNativeSeparators(outputFolder))};
    auto built = buildFacilityFile(dataPath, initIni, progress);
    if (!built)
        return Error{built.error()};
    if (Status s = store::writeBuildDat(outputFolder, built->buildDat); !s)
        return Error{s.error()};
    return built->report;
}

} // namespace miratos::convert
