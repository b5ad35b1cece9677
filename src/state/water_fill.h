#pragma once
// The fill of water-surface districts, read from the WaterColor section of Init.ini.
#include <QString>

namespace miratos::state {

struct WaterFill {
    int red = 160;
    int green = 200;
    int blue = 255;
    int style = 0; // 0 solid, 1 transparent, 2–7 hatch
    bool complete = true; // false when a key was missing or not a number (defaults used for it)
};

// Reads R, G, B and S; a missing or non-numeric key keeps that component's default (a light
// blue solid fill), so a damaged settings file never produces an unreadable map.
WaterFill readWaterFill(const QString& iniFile);

} // namespace miratos::state
