#include "output/saved_map_sections.h"

#include "platform/number_text.h"

namespace miratos::output {
namespace {

using state::sectionFlag;
using state::sectionNumber;
using state::sectionValue;
using state::setSectionValue;

QString flagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

// A whole number of a key within its limits, else the fallback.
int wholeOf(const state::SavedMap& m, const QString& key, int low, int high, int fallback)
{
    const double v = sectionNumber(m, key, fallback);
    return v >= low && v <= high && v == static_cast<int>(v) ? static_cast<int>(v) : fallback;
}

// Removes every key of a section, so a section written again holds only what is set now.
void clearSection(state::SavedMap& m, const QString& section, const QStringList& keys)
{
    for (const QString& key : keys)
        setSectionValue(m, section + QLatin1Char('/') + key, QString());
}

const QStringList kSymbolKeys = {QStringLiteral("enabled"), QStringLiteral("column"), QStringLiteral("shape"),
                                 QStringLiteral("flannery"), QStringLiteral("max-radius"), QStringLiteral("color"),
                                 QStringLiteral("negative-color"), QStringLiteral("value-labels"), QStringLiteral("value-decimals")};
const QStringList kPlacementKeys = {QStringLiteral("place"), QStringLiteral("wards"), QStringLiteral("city-for-wards"),
                                    QStringLiteral("stations-inside"), QStringLiteral("main-stations"), QStringLiteral("by-statistic"),
                                    QStringLiteral("halo"), QStringLiteral("halo-color"), QStringLiteral("contrast-text")};
const QStringList kExportKeys = {QStringLiteral("size"), QStringLiteral("paper"), QStringLiteral("dpi"), QStringLiteral("pixels"),
                                 QStringLiteral("antialias"), QStringLiteral("credit"), QStringLiteral("credit-text"),
                                 QStringLiteral("north-arrow"), QStringLiteral("symbol-legend")};
const QStringList kValueLabels = {QStringLiteral("off"), QStringLiteral("under"), QStringLiteral("alone")};
const QStringList kWards = {QStringLiteral("off"), QStringLiteral("prefixed"), QStringLiteral("two-lines")};
const QStringList kHalo = {QStringLiteral("auto"), QStringLiteral("on"), QStringLiteral("off")};
const QStringList kSizes = {QStringLiteral("specified"), QStringLiteral("paper"), QStringLiteral("pixels")};

} // namespace

void putSymbols(const layers::SymbolOptions& o, state::SavedMap& m)
{
    clearSection(m, QStringLiteral("symbols"), kSymbolKeys);
    if (!o.enabled && o.valueLabels == layers::ValueLabels::Off)
        return;
    const layers::SymbolOptions d;
    setSectionValue(m, QStringLiteral("symbols/enabled"), flagText(o.enabled));
    setSectionValue(m, QStringLiteral("symbols/column"), o.column);
    setSectionValue(m, QStringLiteral("symbols/shape"), o.shape == layers::SymbolShape::Square ? QStringLiteral("square") : QStringLiteral("circle"));
    setSectionValue(m, QStringLiteral("symbols/flannery"), flagText(o.flannery));
    setSectionValue(m, QStringLiteral("symbols/max-radius"), QString::number(o.maxRadius));
    if (o.color != d.color)
        setSectionValue(m, QStringLiteral("symbols/color"), QString::number(o.color));
    if (o.negativeColor != d.negativeColor)
        setSectionValue(m, QStringLiteral("symbols/negative-color"), QString::number(o.negativeColor));
    setSectionValue(m, QStringLiteral("symbols/value-labels"), kValueLabels.value(static_cast<int>(o.valueLabels)));
    setSectionValue(m, QStringLiteral("symbols/value-decimals"), QString::number(o.valueDecimals));
}

layers::SymbolOptions symbolsOf(const state::SavedMap& m)
{
    layers::SymbolOptions o;
    o.enabled = sectionFlag(m, QStringLiteral("symbols/enabled"), false);
    o.column = sectionValue(m, QStringLiteral("symbols/column"));
    o.shape = sectionValue(m, QStringLiteral("symbols/shape")) == QLatin1String("square") ? layers::SymbolShape::Square : layers::SymbolShape::Circle;
    o.flannery = sectionFlag(m, QStringLiteral("symbols/flannery"), false);
    o.maxRadius = wholeOf(m, QStringLiteral("symbols/max-radius"), 2, 200, o.maxRadius);
    o.color = wholeOf(m, QStringLiteral("symbols/color"), 0, 0xFFFFFF, o.color);
    o.negativeColor = wholeOf(m, QStringLiteral("symbols/negative-color"), 0, 0xFFFFFF, o.negativeColor);
    o.valueLabels = static_cast<layers::ValueLabels>(std::max<qsizetype>(0, kValueLabels.indexOf(sectionValue(m, QStringLiteral("symbols/value-labels")))));
    o.valueDecimals = wholeOf(m, QStringLiteral("symbols/value-decimals"), 0, 6, 0);
    return o;
}

void putPlacement(const layers::PlacementOptions& o, state::SavedMap& m)
{
    clearSection(m, QStringLiteral("placement"), kPlacementKeys);
    const layers::PlacementOptions d;
    if (o.placeLabels == d.placeLabels && o.qualifyWards == d.qualifyWards && o.cityForWards == d.cityForWards &&
        o.stationsInside == d.stationsInside && o.mainStations == d.mainStations && o.orderByStatistic == d.orderByStatistic &&
        o.halo == d.halo && o.haloColor == d.haloColor && o.contrastText == d.contrastText)
        return;
    setSectionValue(m, QStringLiteral("placement/place"), flagText(o.placeLabels));
    setSectionValue(m, QStringLiteral("placement/wards"), kWards.value(static_cast<int>(o.qualifyWards)));
    setSectionValue(m, QStringLiteral("placement/city-for-wards"), flagText(o.cityForWards));
    setSectionValue(m, QStringLiteral("placement/stations-inside"), flagText(o.stationsInside));
    setSectionValue(m, QStringLiteral("placement/main-stations"), flagText(o.mainStations));
    setSectionValue(m, QStringLiteral("placement/by-statistic"), flagText(o.orderByStatistic));
    QStringList halo;
    for (const auto h : o.halo)
        halo << kHalo.value(static_cast<int>(h));
    setSectionValue(m, QStringLiteral("placement/halo"), halo.join(QLatin1Char(',')));
    setSectionValue(m, QStringLiteral("placement/halo-color"), QString::number(o.haloColor));
    setSectionValue(m, QStringLiteral("placement/contrast-text"), flagText(o.contrastText));
}

layers::PlacementOptions placementOf(const state::SavedMap& m)
{
    layers::PlacementOptions o;
    o.placeLabels = sectionFlag(m, QStringLiteral("placement/place"), false);
    o.qualifyWards = static_cast<layers::PlacementOptions::WardStyle>(std::max<qsizetype>(0, kWards.indexOf(sectionValue(m, QStringLiteral("placement/wards")))));
    o.cityForWards = sectionFlag(m, QStringLiteral("placement/city-for-wards"), false);
    o.stationsInside = sectionFlag(m, QStringLiteral("placement/stations-inside"), false);
    o.mainStations = sectionFlag(m, QStringLiteral("placement/main-stations"), false);
    o.orderByStatistic = sectionFlag(m, QStringLiteral("placement/by-statistic"), false);
    const QStringList halo = sectionValue(m, QStringLiteral("placement/halo")).split(QLatin1Char(','));
    for (size_t k = 0; k < o.halo.size(); ++k)
        o.halo[k] = static_cast<layers::PlacementOptions::Halo>(std::max<qsizetype>(0, kHalo.indexOf(halo.value(static_cast<qsizetype>(k)))));
    o.haloColor = wholeOf(m, QStringLiteral("placement/halo-color"), 0, 0xFFFFFF, o.haloColor);
    o.contrastText = sectionFlag(m, QStringLiteral("placement/contrast-text"), true);
    return o;
}

void putExportSize(const ExportOptions& o, state::SavedMap& m)
{
    clearSection(m, QStringLiteral("export"), kExportKeys);
    const ExportOptions d;
    if (o.size == d.size && o.antialias == d.antialias && o.credit == d.credit && o.creditText == d.creditText &&
        o.northArrow == d.northArrow && o.symbolLegend == d.symbolLegend)
        return;
    setSectionValue(m, QStringLiteral("export/size"), kSizes.value(static_cast<int>(o.size)));
    if (o.size == ExportSize::Paper) {
        setSectionValue(m, QStringLiteral("export/paper"), (o.paper == Paper::A3 ? QStringLiteral("A3") : QStringLiteral("A4")) +
                                                               (o.landscape ? QStringLiteral("L") : QStringLiteral("P")));
        setSectionValue(m, QStringLiteral("export/dpi"), QString::number(o.dpi));
    }
    if (o.size == ExportSize::Pixels)
        setSectionValue(m, QStringLiteral("export/pixels"), QStringLiteral("%1x%2").arg(o.pixels.width()).arg(o.pixels.height()));
    if (o.antialias)
        setSectionValue(m, QStringLiteral("export/antialias"), flagText(*o.antialias));
    setSectionValue(m, QStringLiteral("export/credit"), flagText(o.credit));
    setSectionValue(m, QStringLiteral("export/credit-text"), o.creditText);
    setSectionValue(m, QStringLiteral("export/north-arrow"), flagText(o.northArrow));
    setSectionValue(m, QStringLiteral("export/symbol-legend"), flagText(o.symbolLegend));
}

ExportOptions exportSizeOf(const state::SavedMap& m)
{
    ExportOptions o;
    const QString size = sectionValue(m, QStringLiteral("export/size"));
    if (size == QLatin1String("paper") && setPaper(o, sectionValue(m, QStringLiteral("export/paper")))) {
        const int dpi = wholeOf(m, QStringLiteral("export/dpi"), 150, 300, 150);
        o.dpi = dpi == 300 ? 300 : 150;
    } else if (size == QLatin1String("pixels")) {
        setPixelSize(o, sectionValue(m, QStringLiteral("export/pixels")));
    }
    const QString aa = sectionValue(m, QStringLiteral("export/antialias"));
    if (!aa.isEmpty())
        o.antialias = aa == QLatin1String("1");
    o.credit = sectionFlag(m, QStringLiteral("export/credit"), false);
    o.creditText = sectionValue(m, QStringLiteral("export/credit-text"));
    o.northArrow = sectionFlag(m, QStringLiteral("export/north-arrow"), false);
    o.symbolLegend = sectionFlag(m, QStringLiteral("export/symbol-legend"), false);
    return o;
}

} // namespace miratos::output
