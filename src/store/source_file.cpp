#include "store/source_file.h"

#include "platform/read_limits.h"
#include "platform/text_file.h"

#include <QFileInfo>

namespace miratos::store {

Status writeSourceFile(const QString& path, const QString& credit)
{
    return platform::writeFileAtomically(path, (credit.trimmed() + QLatin1Char('\n')).toUtf8());
}

QString readSourceFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return QString();
    // A credit is one short line; anything longer is not this file.
    auto bytes = platform::readCheckedFile(path, 4096);
    if (!bytes)
        return QString();
    const QString text = QString::fromUtf8(*bytes).trimmed();
    return text.contains(QLatin1Char('\n')) ? text.section(QLatin1Char('\n'), 0, 0).trimmed() : text;
}

} // namespace miratos::store
