#include "store/map_keys.h"

namespace miratos::store {

QString pointKeyOf(const QString& polygonKey)
{
    QString key = polygonKey;
    key.replace(QLatin1Char('a'), QLatin1Char('p'));
    return key;
}

QString prefCodeOfKey(QStringView key)
{
    return key.left(2).toString();
}

QVector<RingPart> parseRing(QStringView ring)
{
    QVector<RingPart> parts;
    if (ring.isEmpty())
        return parts;
    for (QStringView part : ring.tokenize(u'@')) {
        const bool reversed = part.startsWith(u'_');
        parts.append({(reversed ? part.mid(1) : part).toString(), reversed});
    }
    return parts;
}

QString formatRing(const QVector<RingPart>& parts)
{
    QString ring;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const RingPart& part = parts.at(i);
        if (i > 0)
            ring += QLatin1Char('@');
        if (part.reversed)
            ring += QLatin1Char('_');
        ring += part.key;
    }
    return ring;
}

} // namespace miratos::store
