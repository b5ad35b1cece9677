#include "output/layer_settings.h"

#include "mapview/name_labels.h"
#include "platform/number_text.h"

#include <limits>

namespace miratos::output {
namespace {

using mapview::Label;
using mapview::LabelArray;
using mapview::LabelKind;

QVariant flag(bool value)
{
    return value ? 1 : 0;
}

// A marker keeps its facility's position in its tag ("longitude latitude"); a new font size
// changes its size, so it is centred on that point again and its name follows it.
void recentreMarkers(LabelArray& markers, LabelArray& names, const platform::Canvas& scale)
{
    for (int i = 1; i < markers.count(); ++i) {
        const QStringList lonLat = markers.at(i).tag.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (lonLat.size() < 2)
            continue;
        const auto lon = platform::toNumber(lonLat.at(0));
        const auto lat = platform::toNumber(lonLat.at(1));
        if (!lon || !lat)
            continue;
        const QRectF marker = markers.mapRect(i, scale);
        Label& m = markers.edit(i);
        m.left = *lon - marker.width() / 2;
        m.top = *lat + marker.height() / 2;
        if (i < names.count()) {
            const double nameHeight = names.mapRect(i, scale).height();
            Label& n = names.edit(i);
            n.left = m.left + marker.width();
            n.top = m.top - marker.height() / 2 + nameHeight / 2;
        }
    }
}

// Facility names keep their vertical centre on their marker's when their height changes.
void alignNamesToMarkers(const LabelArray& markers, LabelArray& names, const platform::Canvas& scale)
{
    for (int i = 1; i < names.count() && i < markers.count(); ++i) {
        const QRectF marker = markers.mapRect(i, scale);
        const double nameHeight = names.mapRect(i, scale).height();
        names.edit(i).top = marker.top() - marker.height() / 2 + nameHeight / 2;
    }
}

void applyToLabels(int kind, const LayerSettings& settings, state::MdlMain& state, mapview::LabelLayer& layer,
                   const platform::Canvas& scale)
{
    auto& row = state.LayerProperty[static_cast<size_t>(kind)];
    if (const auto size = fontSizeOf(settings.size))
        row[0] = *size;
    row[1] = settings.color1;
    row[2] = flag(settings.back);

    const auto labelKind = static_cast<LabelKind>(kind);
    LabelArray& labels = layer.array(labelKind);
    labels.restyle(mapview::labelStyleOf(state, labelKind));
    for (int i = 1; i < labels.count(); ++i) {
        Label& label = labels.edit(i);
        // A town label without a caption would be an empty white box.
        label.opaque = settings.back && !(kind == kRowTowns && label.caption.isEmpty());
    }
    if (kind == kRowMarkers)
        recentreMarkers(labels, layer.array(LabelKind::Build), scale);
    else if (kind == kRowFacilityNames)
        alignNamesToMarkers(layer.array(LabelKind::BuildP), labels, scale);
}

} // namespace

const QStringList& labelFontSizes()
{
    static const QStringList sizes = {QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("10"),
                                      QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("18")};
    return sizes;
}

const QStringList& circleSizes()
{
    static const QStringList sizes = {QStringLiteral("0.0003"), QStringLiteral("0.0005"), QStringLiteral("0.001"),
                                      QStringLiteral("0.003"),  QStringLiteral("0.005"),  QStringLiteral("0.01"),
                                      QStringLiteral("0.03"),   QStringLiteral("0.05"),   QStringLiteral("0.1"),
                                      QStringLiteral("0.3"),    QStringLiteral("0.5")};
    return sizes;
}

const QStringList& circleRatios()
{
    static const QStringList ratios = {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    return ratios;
}

LayerSettings layerSettingsOf(const state::MdlMain& state, int kind, int roadIndex)
{
    LayerSettings s;
    if (kind < 0 || kind > kRowRankCircles)
        return s;
    const auto& row = state.LayerProperty[static_cast<size_t>(kind)];
    switch (kind) {
    case kRowRailway:
        s.color1 = state::colorValueOf(row[1]);
        s.color2 = state::colorValueOf(row[2]);
        break;
    case kRowRoads:
        if (roadIndex >= 0 && roadIndex <= 2)
            s.color1 = state::colorValueOf(row[static_cast<size_t>(roadIndex)]);
        break;
    case kRowRankCircles: {
        const QString sizeAndRatio = row[0].toString();
        s.size = sizeAndRatio.section(QLatin1Char(' '), 0, 0);
        s.ratio = sizeAndRatio.section(QLatin1Char(' '), 1);
        s.color1 = state::colorValueOf(row[1]);
        s.back = row[2].toInt() != 0;
        break;
    }
    default:
        s.size = row[0].toString();
        s.color1 = state::colorValueOf(row[1]);
        s.back = row[2].toInt() != 0;
        break;
    }
    return s;
}

std::optional<int> fontSizeOf(const QString& text)
{
    const auto number = platform::toNumber(text);
    if (!number)
        return std::nullopt;
    const double whole = platform::roundHalfEven(*number);
    if (whole < 1 || whole > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int>(whole);
}

LayerFollowUp applyLayerProperty(int kind, int roadIndex, const LayerSettings& settings, state::MdlMain& state,
                                 mapview::LabelLayer& layer, const platform::Canvas& scale)
{
    if (kind < 0 || kind > kRowRankCircles)
        return LayerFollowUp::Repaint;
    auto& row = state.LayerProperty[static_cast<size_t>(kind)];
    switch (kind) {
    case kRowRailway:
        row[1] = settings.color1;
        row[2] = settings.color2;
        return LayerFollowUp::RedrawRailways;
    case kRowRoads:
        if (roadIndex >= 0 && roadIndex <= 2)
            row[static_cast<size_t>(roadIndex)] = settings.color1;
        return LayerFollowUp::RedrawRoads;
    case kRowRankCircles: {
        // Both parts must be positive numbers, or the circle rule would get a size it cannot use.
        const auto size = platform::toNumber(settings.size);
        const auto ratio = platform::toNumber(settings.ratio);
        if (size && ratio && *size > 0 && *ratio > 0)
            row[0] = settings.size.trimmed() + QLatin1Char(' ') + settings.ratio.trimmed();
        row[1] = settings.color1;
        row[2] = flag(settings.back);
        return LayerFollowUp::RebuildRankCircles;
    }
    default:
        applyToLabels(kind, settings, state, layer, scale);
        return LayerFollowUp::Repaint;
    }
}

} // namespace miratos::output
