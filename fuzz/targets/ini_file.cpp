// Init.ini and other INI files read through GetINIValue, and the values taken from them that
// become folder names (safePathPart) or the water colour.
#include "fuzz_support.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/path_part.h"
#include "state/water_fill.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeScratch(QStringLiteral("Init.ini"), FUZZ_INPUT);
    const QString error = QStringLiteral("ERROR");
    struct Query {
        const char* section;
        const char* key;
    };
    static const Query queries[] = {{"Pref", "13"}, {"Pref", "01"}, {"pref", "47"}, {"SpecialCoordinate", "13"},
                                    {"WaterColor", "R"}, {"WaterColor", "B"}, {"FileName12", "1"},
                                    {"FileName17", "5"}, {"BuildString", "学校"}, {"", ""}, {"Pref", ""}};
    for (const Query& q : queries) {
        const QString value = platform::GetINIValue(QString::fromUtf8(q.key), QString::fromUtf8(q.section), path);
        if (value == error)
            continue;
        // A UTF-8 file may hold characters CP932 cannot; the cut to 254 bytes holds for the others.
        auto bytes = platform::toCp932(value);
        if (bytes)
            FUZZ_CHECK(bytes->size() <= 254, QStringLiteral("an INI value longer than 254 bytes: ") + value);
        const QString part = platform::safePathPart(value);
        FUZZ_CHECK(!part.contains(QLatin1Char('/')) && !part.contains(QLatin1Char('\\')) && part != QStringLiteral("..") &&
                       part != QStringLiteral("."),
                   part);
    }
    (void)state::readWaterFill(path);
    return 0;
}
