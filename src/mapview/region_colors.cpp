#include "mapview/region_colors.h"

#include "platform/number_text.h"
#include "state/color_schemes.h"
#include "platform/seams.h"

#include <cmath>

namespace miratos::mapview {

QPoint kenLabelPosition(int n)
{
    const int index = n - 1;
    return QPoint(8 + 80 * (index / 10), 8 + 24 * (index % 10));
}

void setPrefectureColor(int prefCode, int color, bool cityMode, state::MdlMain& state, platform::KeyedTable& lvwTikuColor)
{
    if (cityMode) {
        for (int k = 1; k <= state.TikuCount && k <= lvwTikuColor.count(); ++k) {
            auto& row = lvwTikuColor.at(k);
            if (row.key.left(2).toInt() == prefCode)
                row.text = QString::number(color);
        }
    }
    if (prefCode >= 1 && prefCode <= 47)
        state.PrefTable[static_cast<size_t>(prefCode)][2] = QString::number(color);
}

static QString colorKey(const state::MdlMain& state, int k)
{
    return state.TikuTable[static_cast<size_t>(k)][3] + QLatin1Char('G');
}

int municipalityColor(const state::MdlMain& state, const platform::KeyedTable& lvwTikuColor, int k)
{
    const auto* row = lvwTikuColor.find(colorKey(state, k));
    const auto value = row ? platform::toNumber(row->text) : std::nullopt;
    return value ? static_cast<int>(*value) : state::kYellow;
}

void setMunicipalityColor(const state::MdlMain& state, platform::KeyedTable& lvwTikuColor, int k, int color)
{
    if (auto* row = lvwTikuColor.find(colorKey(state, k)))
        row->text = QString::number(color);
}

bool applyRegionScheme(const QString& scheme, state::MdlMain& state, platform::KeyedTable& lvwTikuColor)
{
    const state::SchemeInfo* info = state::findScheme(scheme);
    if (!info || info->kind != state::SchemeKind::Qualitative)
        return false;
    const QVector<int> colors = state::schemeColors(scheme, 47);
    int n = 0;
    for (int i = 1; i <= 47; ++i) {
        if (state.PrefTable[static_cast<size_t>(i)][0] == QLatin1String("TRUE"))
            state.PrefTable[static_cast<size_t>(i)][2] = QString::number(colors.at(n++));
    }
    if (state.MapMode == QLatin1String("City")) {
        const QVector<int> many = state::schemeColors(scheme, std::max<int>(state.TikuCount, 1));
        for (int k = 1; k <= state.TikuCount; ++k)
            setMunicipalityColor(state, lvwTikuColor, k, many.at(k - 1));
    }
    return true;
}

void randomMunicipalityColors(const state::MdlMain& state, platform::KeyedTable& lvwTikuColor)
{
    for (int k = 1; k <= state.TikuCount; ++k) {
        const int red = static_cast<int>(std::floor(platform::randomUnit() * 256));
        const int green = static_cast<int>(std::floor(platform::randomUnit() * 256));
        const int blue = static_cast<int>(std::floor(platform::randomUnit() * 256));
        setMunicipalityColor(state, lvwTikuColor, k, state::rgbColor(red, green, blue));
    }
}

} // namespace miratos::mapview
