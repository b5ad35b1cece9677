#include "state/mdl_main.h"

namespace miratos::state {

void MdlMain::clearTikuSelection()
{
    TikuCount = 0;
    TikuPath.assign(1, QString());
    TikuPrefix.assign(1, QString());
    TikuTable.assign(1, std::array<QString, 4>{});
}

int colorValueOf(const QVariant& cell)
{
    const qlonglong value = cell.toLongLong();
    if (value < 0 || value > 0xFFFFFF)
        return 0; // a system colour: the button text colour, black
    return static_cast<int>(value);
}

MdlMain& mdlMain()
{
    static MdlMain state;
    return state;
}

void resetMdlMain()
{
    mdlMain() = MdlMain{};
}

void prepareMode(MdlMain& state)
{
    state.NoteFontSize = 10;
    for (size_t i = 1; i < state.PrefTable.size(); ++i)
        state.PrefTable[i][2] = QString::number(kYellow);
    state.LayerProperty = layerPropertyDefaults(state.MapMode);
}

std::array<std::array<QVariant, 3>, 8> layerPropertyDefaults(const QString& mapMode)
{
    std::array<std::array<QVariant, 3>, 8> p{};
    const QVariant systemText = QVariant::fromValue<qlonglong>(kSystemTextColor);
    const bool pref = mapMode == QLatin1String("Pref");
    const bool city = mapMode == QLatin1String("City");

    if (pref)
        p[0] = {8, rgbColor(64, 0, 0), 0};
    else
        p[0] = {10, rgbColor(255, 0, 0), 0};
    if (city)
        p[1] = {8, systemText, 0};
    for (int row = 2; row <= 4; ++row)
        p[static_cast<size_t>(row)] = {8, systemText, 0};
    p[5] = {QVariant(), rgbColor(0, 0, 255), rgbColor(0, 255, 255)};
    p[6] = {rgbColor(128, 0, 128), rgbColor(128, 128, 128), rgbColor(192, 192, 192)};
    p[7] = {QStringLiteral("0.0003 2"), rgbColor(128, 255, 128), 0};
    return p;
}

} // namespace miratos::state
