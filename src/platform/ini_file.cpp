#include "platform/ini_file.h"

#include "platform/cp932.h"
#include "platform/text_file.h"

namespace miratos::platform {
namespace {

const QString kMissing = QStringLiteral("ERROR");

QString stripQuotes(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// The profile reader's buffer holds 254 bytes and a NUL; a double-byte character that would be
// split is left out whole.
QString cutTo254Bytes(const QString& value)
{
    auto bytes = toCp932(value);
    if (!bytes || bytes->size() <= 254)
        return value;
    QString cut;
    qsizetype used = 0;
    for (qsizetype i = 0; i < value.size();) {
        const qsizetype len = value.at(i).isHighSurrogate() ? 2 : 1;
        auto one = toCp932(value.mid(i, len));
        const qsizetype size = one ? one->size() : 2;
        if (used + size > 254)
            break;
        cut += value.mid(i, len);
        used += size;
        i += len;
    }
    return cut;
}

} // namespace

QString GetINIValue(const QString& key, const QString& section, const QString& file)
{
    auto lines = readTextLines(file);
    if (!lines)
        return kMissing;
    bool inSection = false;
    for (const QString& raw : *lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        return cutTo254Bytes(stripQuotes(line.mid(eq + 1).trimmed()));
    }
    return kMissing;
}

} // namespace miratos::platform
