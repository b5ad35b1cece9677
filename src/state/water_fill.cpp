#include "state/water_fill.h"

#include "platform/ini_file.h"
#include "platform/number_text.h"

namespace miratos::state {

WaterFill readWaterFill(const QString& iniFile)
{
    WaterFill fill;
    const auto read = [&](const char* key, int& target, int maxValue) {
        const auto value = platform::toNumber(platform::GetINIValue(QString::fromLatin1(key), QStringLiteral("WaterColor"), iniFile));
        if (!value || *value < 0 || *value > maxValue) {
            fill.complete = false;
            return;
        }
        target = static_cast<int>(*value);
    };
    read("R", fill.red, 255);
    read("G", fill.green, 255);
    read("B", fill.blue, 255);
    read("S", fill.style, 7);
    return fill;
}

} // namespace miratos::state
