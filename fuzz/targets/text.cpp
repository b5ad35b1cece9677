// Text as it enters: CP932 and UTF-8 decoding, line splitting, number text and path parts. Text
// decoded from any bytes can be written as CP932 again (bytes that are not CP932 become a
// character CP932 holds), and number text written and read again stays the same.
#include "fuzz_support.h"
#include "platform/cp932.h"
#include "platform/number_text.h"
#include "platform/path_part.h"
#include "platform/text_file.h"

#include <cmath>

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = FUZZ_INPUT;
    const QString cp932 = platform::fromCp932(bytes);
    auto encoded = platform::toCp932(cp932);
    FUZZ_CHECK(encoded.ok(), encoded.ok() ? QString() : encoded.error());
    FUZZ_CHECK(platform::fromCp932(*encoded) == cp932, QStringLiteral("CP932 text changes when written and read"));

    const QString guessed = platform::decodeText(bytes, platform::guessEncoding(bytes));
    const QString path = writeScratch(QStringLiteral("lines.txt"), bytes);
    auto lines = platform::readTextLinesGuessing(path);
    FUZZ_CHECK(lines.ok() != platform::isUtf16(bytes), QStringLiteral("only UTF-16 is refused"));
    if (lines)
        FUZZ_CHECK(*lines == platform::splitLines(guessed), QString());

    for (const QString& line : platform::splitLines(cp932).mid(0, 50)) {
        const QString part = platform::safePathPart(line);
        FUZZ_CHECK(!part.contains(QLatin1Char('/')) && !part.contains(QLatin1Char('\\')) && part != QStringLiteral("..") &&
                       part != QStringLiteral("."),
                   part);
        FUZZ_CHECK(platform::safePathPart(part) == part, part);
        if (auto value = platform::toNumber(line)) {
            FUZZ_CHECK(platform::isNumeric(line), line);
            if (std::isfinite(*value)) {
                const QString text = platform::formatDouble(*value);
                auto again = platform::toNumber(text);
                FUZZ_CHECK(again && platform::formatDouble(*again) == text, line + QStringLiteral(" -> ") + text);
            }
        }
        if (auto single = platform::toSingle(line)) {
            const QString text = platform::formatSingle(*single);
            auto again = platform::toSingle(text);
            FUZZ_CHECK(again && platform::formatSingle(*again) == text, line + QStringLiteral(" -> ") + text);
        }
        const QByteArray utf8 = line.toUtf8();
        if (auto parsed = platform::parseNumber(utf8))
            FUZZ_CHECK(std::isfinite(*parsed), line);
    }
    return 0;
}
