#include "state/saved_map.h"

#include "state/mdl_main.h"

#include "platform/app_folder.h"
#include "platform/number_text.h"
#include "platform/path_part.h"
#include "platform/read_limits.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>

namespace miratos::state {
namespace {

// Backslashes and line breaks are escaped so every value stays on its line.
QString escaped(const QString& value)
{
    QString out;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        out += next == QLatin1Char('n') ? QChar(u'\n') : next == QLatin1Char('r') ? QChar(u'\r') : next;
    }
    return out;
}

// Bounds come from single-precision ranks: the short form when it reads back to the same value.
QString boundText(double v)
{
    const float f = static_cast<float>(v);
    if (static_cast<double>(f) == v) {
        const QString shortText = platform::formatSingle(f);
        if (platform::toSingle(shortText) == f)
            return shortText;
    }
    return platform::formatDouble(v);
}

QString boolText(bool b)
{
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

// A display-setting cell as text: numbers as decimals, texts as they are, an empty cell empty.
QString cellText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    return QString::number(v.toLongLong());
}

QVariant cellValue(const QString& text)
{
    if (text.isEmpty())
        return QVariant();
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    if (!whole.match(text).hasMatch())
        return text;
    const qlonglong n = text.toLongLong();
    if (n >= INT32_MIN && n <= INT32_MAX)
        return static_cast<int>(n);
    return QVariant::fromValue<qlonglong>(n);
}

class Writer {
public:
    void section(const QString& name)
    {
        flushUnknown();
        if (!m_lines.isEmpty())
            m_lines << QString();
        m_lines << QLatin1Char('[') + name + QLatin1Char(']');
        m_section = name;
    }
    void put(const QString& key, const QString& value) { m_lines << key + QLatin1Char('=') + escaped(value); }
    void put(const QString& key, int value) { put(key, QString::number(value)); }
    void flag(const QString& key, bool value) { put(key, boolText(value)); }
    // The unknown keys of the current section go at its end; those of unknown sections last.
    void setUnknown(const std::vector<std::pair<QString, QString>>& unknown) { m_unknown = unknown; }
    QByteArray finish(const QStringList& known)
    {
        flushUnknown();
        std::vector<QString> others;
        for (const auto& [key, value] : m_unknown) {
            const QString sec = key.section(QLatin1Char('/'), 0, 0);
            if (!known.contains(sec) && std::find(others.begin(), others.end(), sec) == others.end())
                others.push_back(sec);
        }
        for (const QString& sec : others) {
            section(sec);
            flushUnknown();
        }
        return (m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    }

private:
    void flushUnknown()
    {
        for (const auto& [key, value] : m_unknown) {
            if (!m_section.isEmpty() && key.section(QLatin1Char('/'), 0, 0) == m_section)
                put(key.section(QLatin1Char('/'), 1), value);
        }
        std::erase_if(m_unknown, [this](const auto& kv) { return !m_section.isEmpty() && kv.first.section(QLatin1Char('/'), 0, 0) == m_section; });
    }
    QStringList m_lines;
    QString m_section;
    std::vector<std::pair<QString, QString>> m_unknown;
};

const QStringList& knownSections()
{
    static const QStringList names = {QStringLiteral("miratos-map"), QStringLiteral("map"),    QStringLiteral("layers"),
                                      QStringLiteral("statistic"),   QStringLiteral("ranking"), QStringLiteral("labels"),
                                      QStringLiteral("export")};
    return names;
}

// "pref.3" → 3 for the prefix "pref."; 0 when the key is not of that form.
int indexOf(const QString& key, const QString& prefix)
{
    if (!key.startsWith(prefix))
        return 0;
    bool ok = false;
    const int n = key.mid(prefix.size()).toInt(&ok);
    return ok && n > 0 && n <= 100000 ? n : 0;
}

// Lists written as numbered keys (pref.1, pref.2, …) are read into the numbered places, so a
// gap or an order change in a hand-edited file keeps the numbering.
void putNumbered(QStringList& list, int n, const QString& value)
{
    while (list.size() < n)
        list << QString();
    list[n - 1] = value;
}


} // namespace

QString sectionValue(const SavedMap& map, const QString& sectionKey, const QString& fallback)
{
    for (const auto& [key, value] : map.unknown) {
        if (key == sectionKey)
            return value;
    }
    return fallback;
}

void setSectionValue(SavedMap& map, const QString& sectionKey, const QString& value)
{
    auto found = std::find_if(map.unknown.begin(), map.unknown.end(), [&](const auto& kv) { return kv.first == sectionKey; });
    if (value.isEmpty()) {
        if (found != map.unknown.end())
            map.unknown.erase(found);
    } else if (found != map.unknown.end()) {
        found->second = value;
    } else {
        map.unknown.emplace_back(sectionKey, value);
    }
}

bool sectionFlag(const SavedMap& map, const QString& sectionKey, bool fallback)
{
    const QString v = sectionValue(map, sectionKey);
    return v == QLatin1String("1") ? true : v == QLatin1String("0") ? false : fallback;
}

double sectionNumber(const SavedMap& map, const QString& sectionKey, double fallback)
{
    return platform::toNumber(sectionValue(map, sectionKey)).value_or(fallback);
}

QByteArray savedMapText(const SavedMap& m)
{
    Writer w;
    w.setUnknown(m.unknown);
    w.section(QStringLiteral("miratos-map"));
    w.put(QStringLiteral("version"), kSavedMapVersion);

    w.section(QStringLiteral("map"));
    w.put(QStringLiteral("mode"), m.mode);
    for (int i = 0; i < m.prefs.size(); ++i)
        w.put(QStringLiteral("pref.%1").arg(i + 1), m.prefs.at(i));
    for (int i = 0; i < m.districts.size(); ++i)
        w.put(QStringLiteral("district.%1").arg(i + 1), m.districts.at(i));
    if (m.style)
        w.put(QStringLiteral("style"), *m.style);
    w.flag(QStringLiteral("special-coordinate"), m.specialCoordinate);
    w.flag(QStringLiteral("hide-separate"), m.hideSeparate);
    w.flag(QStringLiteral("town-level"), m.townLevel);
    if (m.dataYear > 0)
        w.put(QStringLiteral("data-year"), m.dataYear);

    w.section(QStringLiteral("layers"));
    w.flag(QStringLiteral("names"), m.labels);
    w.flag(QStringLiteral("towns"), m.towns);
    w.flag(QStringLiteral("railways"), m.railways);
    w.flag(QStringLiteral("stations"), m.stations);
    w.flag(QStringLiteral("declutter"), m.declutter);
    QStringList roads;
    for (int i = 0; i < 3; ++i)
        if (m.roads[static_cast<size_t>(i)])
            roads << QString::number(i + 1);
    w.put(QStringLiteral("roads"), roads.join(QLatin1Char(',')));
    w.flag(QStringLiteral("facilities"), m.facilities);
    w.flag(QStringLiteral("facility-names"), m.facilityNames);
    w.flag(QStringLiteral("facility-symbols"), m.facilitySymbols);
    w.flag(QStringLiteral("facility-ranks"), m.facilityRanks);
    if (!m.facilityCsv.isEmpty())
        w.put(QStringLiteral("facility-csv"), m.facilityCsv);
    for (const auto& [cell, value] : m.layerProperty)
        w.put(QStringLiteral("property.%1.%2").arg(cell[0]).arg(cell[1]), cellText(value));

    w.section(QStringLiteral("statistic"));
    w.put(QStringLiteral("kind"), m.stat);
    if (!m.ownData.isEmpty())
        w.put(QStringLiteral("own-data"), m.ownData);
    for (int i = 0; i < m.computes.size(); ++i)
        w.put(QStringLiteral("compute.%1").arg(i + 1), m.computes.at(i));
    w.put(QStringLiteral("column"), m.column);

    w.section(QStringLiteral("ranking"));
    w.put(QStringLiteral("classes"), m.classes);
    w.put(QStringLiteral("ranks"), m.ranks);
    w.put(QStringLiteral("series"), m.series);
    for (size_t i = 0; i < m.bounds.size(); ++i)
        w.put(QStringLiteral("bound.%1").arg(i + 1),
              boundText(m.bounds[i][0]) + QLatin1Char(',') + boundText(m.bounds[i][1]));
    for (size_t i = 0; i < m.colors.size(); ++i)
        w.put(QStringLiteral("color.%1").arg(i + 1), m.colors[i]);

    w.section(QStringLiteral("labels"));
    for (size_t i = 0; i < m.labelEdits.size(); ++i) {
        const LabelEdit& e = m.labelEdits[i];
        const QString key = QStringLiteral("edit.%1").arg(i + 1);
        w.put(key, QStringLiteral("%1,%2,%3,%4,%5")
                       .arg(e.kind)
                       .arg(e.index)
                       .arg(boolText(e.visible), platform::formatDouble(e.left), platform::formatDouble(e.top)));
        w.put(key + QStringLiteral(".built"), e.builtCaption);
        w.put(key + QStringLiteral(".caption"), e.caption);
    }

    w.section(QStringLiteral("export"));
    w.put(QStringLiteral("note-location"), m.noteLocation);
    w.put(QStringLiteral("note-maker"), m.noteMaker);
    w.put(QStringLiteral("note-font-size"), m.noteFontSize);
    return w.finish(knownSections());
}

Result<SavedMap> parseSavedMap(const QByteArray& bytes, const QString& fileName, QStringList& problems)
{
    const QString name = QDir::toNativeSeparators(fileName);
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    SavedMap m;
    QString section;
    bool sawHeader = false;
    std::map<int, LabelEdit> edits;
    std::map<int, std::array<double, 2>> bounds;
    std::map<int, int> colors;
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = QString(lines.at(n)).remove(QLatin1Char('\r')).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        const auto bad = [&](const QString& why) {
            problems << QStringLiteral("%1 の %2 行目: %3").arg(name).arg(n + 1).arg(why);
        };
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            sawHeader = sawHeader || section == QLatin1String("miratos-map");
            continue;
        }
        if (!sawHeader)
            return Error{QStringLiteral("%1 は地図ファイルではありません（先頭に [miratos-map] がありません）。").arg(name)};
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            bad(QStringLiteral("「キー=値」の形ではありません。"));
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = unescaped(line.mid(eq + 1).trimmed());
        const auto flag = [&] { return value == QLatin1String("1") || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0; };
        const auto number = [&](int low, int high, int& target) {
            bool ok = false;
            const int v = value.toInt(&ok);
            if (ok && v >= low && v <= high)
                target = v;
            else
                bad(QStringLiteral("%1 は %2～%3 の整数でなければなりません。").arg(key).arg(low).arg(high));
        };
        bool known = true;
        int i = 0;
        if (section == QLatin1String("miratos-map")) {
            if (key == QLatin1String("version")) {
                number(1, 1000000, m.version);
                if (m.version > kSavedMapVersion)
                    problems << QStringLiteral("%1 は新しい版（version=%2）の地図ファイルです。この版が知らない設定は使われません。").arg(name).arg(m.version);
            } else {
                known = false;
            }
        } else if (section == QLatin1String("map")) {
            if (key == QLatin1String("mode")) m.mode = value;
            else if ((i = indexOf(key, QStringLiteral("pref.")))) putNumbered(m.prefs, i, value);
            else if ((i = indexOf(key, QStringLiteral("district.")))) putNumbered(m.districts, i, value);
            else if (key == QLatin1String("style")) { int v = 0; number(0, 3, v); if (value == QString::number(v)) m.style = v; }
            else if (key == QLatin1String("special-coordinate")) m.specialCoordinate = flag();
            else if (key == QLatin1String("hide-separate")) m.hideSeparate = flag();
            else if (key == QLatin1String("town-level")) m.townLevel = flag();
            else if (key == QLatin1String("data-year")) number(1, 99, m.dataYear);
            else known = false;
        } else if (section == QLatin1String("layers")) {
            if (key == QLatin1String("names")) m.labels = flag();
            else if (key == QLatin1String("towns")) m.towns = flag();
            else if (key == QLatin1String("railways")) m.railways = flag();
            else if (key == QLatin1String("stations")) m.stations = flag();
            else if (key == QLatin1String("declutter")) m.declutter = flag();
            else if (key == QLatin1String("facilities")) m.facilities = flag();
            else if (key == QLatin1String("facility-names")) m.facilityNames = flag();
            else if (key == QLatin1String("facility-symbols")) m.facilitySymbols = flag();
            else if (key == QLatin1String("facility-ranks")) m.facilityRanks = flag();
            else if (key == QLatin1String("facility-csv")) m.facilityCsv = value;
            else if (key == QLatin1String("roads")) {
                for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    const int c = part.trimmed().toInt();
                    if (c >= 1 && c <= 3)
                        m.roads[static_cast<size_t>(c - 1)] = true;
                    else
                        bad(QStringLiteral("roads は 1（高速）, 2（国道）, 3（地方道）の並びです。"));
                }
            } else if (key.startsWith(QLatin1String("property."))) {
                const QStringList rc = key.split(QLatin1Char('.'));
                bool okR = false, okC = false;
                const int r = rc.value(1).toInt(&okR), c = rc.value(2).toInt(&okC);
                if (rc.size() == 3 && okR && okC && r >= 0 && r < 8 && c >= 0 && c < 3)
                    m.layerProperty.push_back({{r, c}, cellValue(value)});
                else
                    bad(QStringLiteral("%1 は表示設定の欄ではありません。").arg(key));
            } else known = false;
        } else if (section == QLatin1String("statistic")) {
            if (key == QLatin1String("kind")) number(0, 11, m.stat);
            else if (key == QLatin1String("own-data")) m.ownData = value;
            else if (key == QLatin1String("column")) m.column = value;
            else if ((i = indexOf(key, QStringLiteral("compute.")))) putNumbered(m.computes, i, value);
            else known = false;
        } else if (section == QLatin1String("ranking")) {
            if (key == QLatin1String("classes")) {
                if (value == QLatin1String("equal") || value == QLatin1String("quantile") || value == QLatin1String("jenks"))
                    m.classes = value;
                else
                    bad(QStringLiteral("classes は equal, quantile, jenks のどれかです。"));
            }
            else if (key == QLatin1String("ranks")) number(3, 10, m.ranks);
            else if (key == QLatin1String("series")) number(0, 3, m.series);
            else if ((i = indexOf(key, QStringLiteral("bound.")))) {
                const QStringList parts = value.split(QLatin1Char(','));
                const auto lo = platform::toNumber(parts.value(0)), hi = platform::toNumber(parts.value(1));
                if (parts.size() == 2 && lo && hi)
                    bounds[i] = {*lo, *hi};
                else
                    bad(QStringLiteral("%1 は「下限,上限」の数です。").arg(key));
            } else if ((i = indexOf(key, QStringLiteral("color.")))) {
                int c = -1;
                number(0, 0xFFFFFF, c);
                if (c >= 0)
                    colors[i] = c;
            } else known = false;
        } else if (section == QLatin1String("labels")) {
            const QStringList keyParts = key.split(QLatin1Char('.'));
            i = keyParts.size() >= 2 && keyParts[0] == QLatin1String("edit") ? indexOf(keyParts[0] + QLatin1Char('.') + keyParts[1], QStringLiteral("edit.")) : 0;
            if (i && keyParts.size() == 2) {
                const QStringList f = value.split(QLatin1Char(','));
                const auto left = platform::toNumber(f.value(3)), top = platform::toNumber(f.value(4));
                bool okK = false, okI = false;
                const int kind = f.value(0).toInt(&okK), index = f.value(1).toInt(&okI);
                if (f.size() == 5 && okK && okI && kind >= 0 && kind < 5 && index > 0 && left && top) {
                    LabelEdit& e = edits[i];
                    e.kind = kind;
                    e.index = index;
                    e.visible = f.value(2) != QLatin1String("0");
                    e.left = *left;
                    e.top = *top;
                } else {
                    bad(QStringLiteral("%1 は「種類,番号,表示,経度,緯度」です。").arg(key));
                }
            } else if (i && keyParts.size() == 3 && keyParts[2] == QLatin1String("built")) edits[i].builtCaption = value;
            else if (i && keyParts.size() == 3 && keyParts[2] == QLatin1String("caption")) edits[i].caption = value;
            else known = false;
        } else if (section == QLatin1String("export")) {
            if (key == QLatin1String("note-location")) number(0, 4, m.noteLocation);
            else if (key == QLatin1String("note-maker")) m.noteMaker = value;
            else if (key == QLatin1String("note-font-size")) number(6, 72, m.noteFontSize);
            else known = false;
        } else {
            known = false;
        }
        if (!known)
            m.unknown.emplace_back(section + QLatin1Char('/') + key, value);
    }
    if (!sawHeader)
        return Error{QStringLiteral("%1 は地図ファイルではありません（先頭に [miratos-map] がありません）。").arg(name)};
    if (m.mode != QLatin1String("Japan") && m.mode != QLatin1String("Pref") && m.mode != QLatin1String("City"))
        return Error{QStringLiteral("%1: 地図の種類（mode）は Japan, Pref, City のどれかです。").arg(name)};
    m.prefs.removeAll(QString());
    m.districts.removeAll(QString());
    m.computes.removeAll(QString());
    for (const auto& [n, b] : bounds)
        m.bounds.push_back(b);
    for (const auto& [n, c] : colors)
        m.colors.push_back(c);
    // Bounds and colours only stand for a ranking when there is one of each for every rank.
    if (!m.bounds.empty() || !m.colors.empty()) {
        if (static_cast<int>(m.bounds.size()) != m.ranks || static_cast<int>(m.colors.size()) != m.ranks) {
            problems << QStringLiteral("%1: ランクの境界と色が %2 ランク分そろっていないので、境界は作り直します。").arg(name).arg(m.ranks);
            m.bounds.clear();
            m.colors.clear();
        }
    }
    for (auto& [n, e] : edits)
        m.labelEdits.push_back(e);
    std::erase_if(m.labelEdits, [](const LabelEdit& e) { return e.index <= 0; });
    return m;
}

Result<SavedMap> readSavedMap(const QString& path, QStringList& problems)
{
    const auto bytes = platform::readCheckedFile(path);
    if (!bytes)
        return Error{bytes.error()};
    return parseSavedMap(*bytes, path, problems);
}

Status writeSavedMap(const QString& path, const SavedMap& map)
{
    return platform::writeFileAtomically(path, savedMapText(map));
}

std::optional<QString> pathForSavedMap(const QString& absolutePath)
{
    const QString root = QDir::cleanPath(QFileInfo(platform::AppFolder::root()).absoluteFilePath());
    const QString file = QDir::cleanPath(QFileInfo(absolutePath).absoluteFilePath());
    if (!file.startsWith(root + QLatin1Char('/')))
        return std::nullopt;
    return file.mid(root.size() + 1);
}

Result<QString> resolveSavedPath(const QString& stored)
{
    const QString shown = QStringLiteral("「%1」").arg(stored);
    const QString outside = QStringLiteral("地図ファイルのパス%1はアプリフォルダの外を指しているので使いません。").arg(shown);
    if (stored.isEmpty() || QDir::isAbsolutePath(stored) || stored.startsWith(QLatin1Char('/')) || stored.startsWith(QLatin1Char('\\')))
        return Error{outside};
    QStringList parts;
    for (const QString& part : stored.split(QRegularExpression(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..") )
            return Error{outside};
        if (part == QLatin1String("."))
            continue;
        if (platform::safePathPart(part) != part)
            return Error{QStringLiteral("地図ファイルのパス%1には名前に使えない文字があるので使いません。").arg(shown)};
        parts << part;
    }
    if (parts.isEmpty())
        return Error{outside};
    const QString path = platform::AppFolder::root() + QLatin1Char('/') + parts.join(QLatin1Char('/'));
    const QFileInfo info(path);
    if (!info.exists())
        return Error{QStringLiteral("地図ファイルが使うファイル%1が見つかりません。").arg(shown)};
    // A link inside the app folder may lead anywhere: what counts is where it ends.
    const QString root = QFileInfo(platform::AppFolder::root()).canonicalFilePath();
    if (root.isEmpty() || !info.canonicalFilePath().startsWith(root + QLatin1Char('/')))
        return Error{outside};
    return path;
}

void resolveSavedPaths(SavedMap& m, QStringList& problems)
{
    QStringList districts;
    for (const QString& d : m.districts) {
        const auto found = resolveSavedPath(d);
        if (found)
            districts << *found;
        else
            problems << found.error();
    }
    m.districts = districts;
    if (!m.facilityCsv.isEmpty()) {
        const auto found = resolveSavedPath(m.facilityCsv);
        if (!found)
            problems << found.error();
        m.facilityCsv = found ? *found : QString();
    }
    if (!m.ownData.isEmpty()) {
        const auto found = resolveSavedPath(m.ownData);
        if (!found) {
            problems << found.error();
            if (!m.column.isEmpty())
                problems << QStringLiteral("統計「%1」はその表がないので塗りません。").arg(m.column);
            m.column.clear();
            m.computes.clear();
            m.bounds.clear();
            m.colors.clear();
        }
        m.ownData = found ? *found : QString();
    }
}

void takeSharedState(const MdlMain& s, SavedMap& m)
{
    m.mode = s.MapMode;
    m.prefs.clear();
    for (size_t i = 1; i < s.PrefTable.size(); ++i) {
        if (s.PrefTable[i][0] == QLatin1String("TRUE"))
            m.prefs << s.PrefTable[i][1];
    }
    m.specialCoordinate = s.UseSpecialCoordinate;
    m.hideSeparate = s.HideSeparate;
    m.townLevel = s.UseTownLevel;
    m.dataYear = m.mode == QLatin1String("City") ? s.DataYear : 0;
    m.districts.clear();
    if (m.mode == QLatin1String("City")) {
        for (int k = 1; k <= s.TikuCount && k < static_cast<int>(s.TikuPath.size()); ++k) {
            if (const auto stored = pathForSavedMap(s.TikuPath[static_cast<size_t>(k)]))
                m.districts << *stored;
        }
    }
    m.layerProperty.clear();
    const auto defaults = layerPropertyDefaults(s.MapMode);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 3; ++c) {
            const QVariant& v = s.LayerProperty[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (cellText(v) != cellText(defaults[static_cast<size_t>(r)][static_cast<size_t>(c)]))
                m.layerProperty.push_back({{r, c}, v});
        }
    m.column.clear();
    if (!s.StatTable.empty() && s.StatColumn > 0 && static_cast<size_t>(s.StatColumn) < s.StatTable.front().size())
        m.column = s.StatTable.front()[static_cast<size_t>(s.StatColumn)];
    m.bounds.clear();
    m.colors.clear();
    if (s.RankReady && s.RankCount >= 3 && s.RankCount <= 10 && s.RankBound.size() > static_cast<size_t>(s.RankCount) &&
        s.RankColor.size() > static_cast<size_t>(s.RankCount)) {
        m.ranks = s.RankCount;
        for (int i = 1; i <= s.RankCount; ++i) {
            m.bounds.push_back({s.RankBound[static_cast<size_t>(i)][0], s.RankBound[static_cast<size_t>(i)][1]});
            m.colors.push_back(s.RankColor[static_cast<size_t>(i)]);
        }
    }
    m.noteLocation = s.NoteLocation;
    m.noteMaker = s.NoteMaker;
    m.noteFontSize = s.NoteFontSize;
    putScheme(s.RankScheme, m);
}

void putScheme(const SchemeOptions& o, SavedMap& m)
{
    setSectionValue(m, QStringLiteral("ranking/scheme"), o.scheme);
    setSectionValue(m, QStringLiteral("ranking/center"), o.centred ? platform::formatDouble(o.centre) : QString());
    setSectionValue(m, QStringLiteral("ranking/nodata-grey"), o.noDataGrey ? QStringLiteral("1") : QString());
    setSectionValue(m, QStringLiteral("ranking/nice-breaks"), o.niceBreaks ? QStringLiteral("1") : QString());
}

SchemeOptions schemeOf(const SavedMap& m)
{
    SchemeOptions o;
    o.scheme = sectionValue(m, QStringLiteral("ranking/scheme"));
    if (const auto centre = platform::toNumber(sectionValue(m, QStringLiteral("ranking/center")))) {
        o.centred = true;
        o.centre = *centre;
    }
    o.noDataGrey = sectionFlag(m, QStringLiteral("ranking/nodata-grey"), false);
    o.niceBreaks = sectionFlag(m, QStringLiteral("ranking/nice-breaks"), false);
    return o;
}

void applySharedState(const SavedMap& m, MdlMain& s)
{
    s.UseSpecialCoordinate = m.specialCoordinate;
    s.HideSeparate = m.hideSeparate;
    s.UseTownLevel = m.townLevel;
    if (m.dataYear > 0)
        s.DataYear = static_cast<int16_t>(m.dataYear);
    for (const auto& [cell, value] : m.layerProperty)
        s.LayerProperty[static_cast<size_t>(cell[0])][static_cast<size_t>(cell[1])] = value;
    s.RankScheme = schemeOf(m);
}

} // namespace miratos::state
