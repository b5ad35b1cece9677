#include "imports/attribute_probe.h"

#include "platform/read_limits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace miratos::imports {

QByteArray attributeProbe(const QString& path, qint64 bytes, bool withEnd)
{
    const QFileInfo info(path);
    QString probe = path;
    if (info.suffix().compare(QLatin1String("shp"), Qt::CaseInsensitive) == 0)
        probe = info.dir().filePath(info.completeBaseName() + QStringLiteral(".dbf"));
    QFile file;
    if (!platform::openForReading(file, probe, platform::kAnySize))
        return {};
    QByteArray head = file.read(bytes);
    if (withEnd && file.size() > bytes && file.seek(std::max(bytes, file.size() - bytes)))
        head += file.read(bytes);
    return head;
}

} // namespace miratos::imports
