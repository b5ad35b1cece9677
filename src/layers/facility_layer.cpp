#include "layers/facility_layer.h"

#include "platform/ini_file.h"
#include "platform/number_text.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace miratos::layers {

using mapview::LabelKind;
using store::BuildRow;

namespace {
const QString kPlainMarker = QStringLiteral("・");
} // namespace

int BuildClassTree::add(const QString& key, const QString& text, int parent)
{
    const auto it = m_index.constFind(key);
    if (it != m_index.constEnd())
        return it.value();
    Node node;
    node.key = key;
    node.text = text;
    node.parent = parent;
    if (parent >= 0) {
        node.checked = m_nodes[static_cast<size_t>(parent)].checked;
        ++m_nodes[static_cast<size_t>(parent)].children;
    }
    m_nodes.push_back(std::move(node));
    const int index = static_cast<int>(m_nodes.size()) - 1;
    m_index.insert(key, index);
    return index;
}

void BuildClassTree::addClassesOf(const BuildRow& row)
{
    const QString& major = row[store::kBuildClass];
    const QString& minor = row[store::kBuildSubClass];
    const int top = add(major + QLatin1Char('p'), major, -1);
    add(minor + QLatin1Char('c'), minor, top);
}

void BuildClassTree::setChecked(int index, bool checked)
{
    if (index < 0 || index >= count())
        return;
    Node& n = m_nodes[static_cast<size_t>(index)];
    n.checked = checked;
    if (n.children == 0)
        return;
    const QString text = n.text;
    for (Node& leaf : m_nodes) {
        if (leaf.children == 0 && leaf.parent >= 0 && m_nodes[static_cast<size_t>(leaf.parent)].text == text)
            leaf.checked = checked;
    }
}

void BuildClassTree::setAll(bool checked)
{
    for (Node& n : m_nodes)
        n.checked = checked;
}

bool BuildClassTree::minorChecked(const QString& minorClass) const
{
    const auto it = m_index.constFind(minorClass + QLatin1Char('c'));
    return it != m_index.constEnd() && m_nodes[static_cast<size_t>(it.value())].checked;
}

RankSettings rankSettingsOf(const state::MdlMain& state)
{
    RankSettings s;
    const auto& row = state.LayerProperty[7];
    const QStringList parts = row[0].toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (const auto size = platform::toNumber(parts.value(0)))
        s.size = *size;
    if (const auto ratio = platform::toNumber(parts.value(1)))
        s.ratio = *ratio;
    s.color = row[1].isValid() ? state::colorValueOf(row[1]) : 0;
    s.minZero = row[2].toInt() != 0;
    return s;
}

double circleDiameter(double value, double minimum, double maximum, const RankSettings& s)
{
    if (s.minZero) {
        if (!(maximum > 0))
            return s.size;
        return std::max(0.0, s.size * value / maximum);
    }
    if (!(maximum > minimum))
        return s.size;
    return s.size + (s.ratio - 1) * s.size * (value - minimum) / (maximum - minimum);
}

int FacilityLayer::append(std::vector<BuildRow> rows)
{
    const int added = static_cast<int>(rows.size());
    m_rows.reserve(m_rows.size() + rows.size());
    for (BuildRow& row : rows) {
        m_lat.push_back(platform::toNumber(row[store::kBuildLat]).value_or(0));
        m_lon.push_back(platform::toNumber(row[store::kBuildLon]).value_or(0));
        m_value.push_back(platform::toNumber(row[store::kBuildValue]));
        m_rows.push_back(std::move(row));
    }
    for (size_t k = m_rows.size() - static_cast<size_t>(added); k < m_rows.size(); ++k)
        m_tree.addClassesOf(m_rows[k]);
    return added;
}

std::vector<BuildRow> FacilityLayer::keepChosen(std::vector<BuildRow> rows, const QStringList& codes)
{
    const QSet<QString> wanted(codes.begin(), codes.end());
    std::vector<BuildRow> kept;
    for (BuildRow& row : rows) {
        if (wanted.contains(row[store::kBuildCity]))
            kept.push_back(std::move(row));
    }
    return kept;
}

QVector<QPair<QString, QString>> FacilityLayer::symbolKey(const QString& symbolFile) const
{
    QVector<QPair<QString, QString>> key;
    if (MarkerStyle != 1)
        return key;
    QSet<QString> seen;
    for (const BuildRow& row : m_rows) {
        const QString& major = row[store::kBuildClass];
        if (seen.contains(major) || !m_tree.minorChecked(row[store::kBuildSubClass]))
            continue;
        seen.insert(major);
        const QString symbol = platform::GetINIValue(major, QString::fromUtf16(store::kBuildSymbolSection), symbolFile);
        if (symbol != QLatin1String("ERROR") && !symbol.isEmpty())
            key.append({symbol, major});
    }
    return key;
}

void FacilityLayer::markers(mapview::LabelLayer& layer, bool ticked, bool names, const QString& symbolFile,
                            const platform::Canvas& scale) const
{
    mapview::LabelArray& marks = layer.array(LabelKind::BuildP);
    mapview::LabelArray& labels = layer.array(LabelKind::Build);
    marks.removeCopies();
    labels.removeCopies();
    if (!ticked || m_rows.empty())
        return;
    // Pixel sizes become map units with the canvas scale (degrees per pixel).
    const double degX = std::abs(scale.scaleRight() - scale.scaleLeft()) / scale.width();
    const double degY = std::abs(scale.scaleTop() - scale.scaleBottom()) / scale.height();
    // The symbol of each class is looked up once per build, not once per facility.
    QHash<QString, QString> symbols;
    auto captionOf = [&](const QString& major) -> const QString& {
        if (MarkerStyle != 1)
            return kPlainMarker;
        auto it = symbols.find(major);
        if (it == symbols.end()) {
            QString value = platform::GetINIValue(major, QString::fromUtf16(store::kBuildSymbolSection), symbolFile);
            if (value == QLatin1String("ERROR"))
                value = kPlainMarker;
            it = symbols.insert(major, value);
        }
        return it.value();
    };
    QHash<QString, bool> checked;
    for (size_t k = 0; k < m_rows.size(); ++k) {
        const BuildRow& row = m_rows[k];
        auto c = checked.find(row[store::kBuildSubClass]);
        if (c == checked.end())
            c = checked.insert(row[store::kBuildSubClass], m_tree.minorChecked(row[store::kBuildSubClass]));
        if (!c.value())
            continue;
        const QString& caption = captionOf(row[store::kBuildClass]);
        const QSize markerPx = marks.measure(caption);
        const double mw = markerPx.width() * degX;
        const double mh = markerPx.height() * degY;
        const double left = m_lon[k] - mw / 2;
        const double top = m_lat[k] + mh / 2;
        const int i = layer.add(LabelKind::BuildP, caption, left, top);
        mapview::Label& marker = marks.edit(i);
        marker.tag = row[store::kBuildLon] + QLatin1Char(' ') + row[store::kBuildLat];
        marker.tooltip = row[store::kBuildName];

        const double nh = labels.measure(row[store::kBuildName]).height() * degY;
        const int n = layer.add(LabelKind::Build, row[store::kBuildName], left + mw, top - mh / 2 + nh / 2);
        labels.edit(n).tooltip = row[store::kBuildAddress];
    }
    showNames(layer, names);
}

void FacilityLayer::showNames(mapview::LabelLayer& layer, bool ticked) const
{
    mapview::LabelArray& labels = layer.array(LabelKind::Build);
    for (int i = 1; i < labels.count(); ++i) {
        if (labels.at(i).visible != ticked)
            labels.edit(i).visible = ticked;
    }
}

int FacilityLayer::rankCircles(mapview::LabelLayer& layer, bool ticked, const RankSettings& settings) const
{
    layer.shpBuild().clear();
    if (!ticked || m_rows.empty())
        return 0;
    layer.circleColor = settings.color;
    std::vector<size_t> chosen;
    double minimum = 0, maximum = 0;
    QHash<QString, bool> checked;
    for (size_t k = 0; k < m_rows.size(); ++k) {
        if (!m_value[k])
            continue;
        const QString& minor = m_rows[k][store::kBuildSubClass];
        auto c = checked.find(minor);
        if (c == checked.end())
            c = checked.insert(minor, m_tree.minorChecked(minor));
        if (!c.value())
            continue;
        const double v = *m_value[k];
        if (chosen.empty()) {
            minimum = maximum = v;
        } else {
            minimum = std::min(minimum, v);
            maximum = std::max(maximum, v);
        }
        chosen.push_back(k);
    }
    std::vector<mapview::RankCircle>& circles = layer.shpBuild();
    circles.reserve(chosen.size());
    for (size_t k : chosen) {
        const double d = circleDiameter(*m_value[k], minimum, maximum, settings);
        mapview::RankCircle c;
        c.width = c.height = d;
        c.left = m_lon[k] - d / 2;
        c.top = m_lat[k] + d / 2;
        c.z = layer.nextZ();
        circles.push_back(c);
    }
    return static_cast<int>(chosen.size());
}

} // namespace miratos::layers
