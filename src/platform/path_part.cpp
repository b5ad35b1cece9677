#include "platform/path_part.h"

namespace miratos::platform {

QString safePathPart(const QString& text)
{
    QString part;
    part.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"/\\:*?\"<>|").contains(c))
            continue;
        part += c;
    }
    part = part.trimmed();
    if (part == QLatin1String(".") || part == QLatin1String(".."))
        return QString();
    return part;
}

} // namespace miratos::platform
