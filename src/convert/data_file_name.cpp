#include "convert/data_file_name.h"

#include "platform/ini_file.h"

namespace miratos::convert {

QString prefCodeFromDataFileName(const QString& path)
{
    if (path.endsWith(QLatin1String("xml"))) {
        // Both separators: the file may come from a Windows path typed into the box.
        const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        const QString name = path.mid(slash + 1);
        QString code = name.mid(name.lastIndexOf(QLatin1Char('_')) + 1);
        return code.remove(QLatin1String(".xml"));
    }
    if (path.endsWith(QLatin1String("txt")) && path.size() >= 6)
        return path.mid(path.size() - 6, 2);
    return QString();
}

QString prefNameFromDataFileName(const QString& path, const QString& initIni)
{
    const QString code = prefCodeFromDataFileName(path);
    if (code.isEmpty())
        return QStringLiteral("ERROR");
    return platform::GetINIValue(code, QStringLiteral("Pref"), initIni);
}

} // namespace miratos::convert
