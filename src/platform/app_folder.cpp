#include "platform/app_folder.h"

#include "platform/path_part.h"

#include <QCoreApplication>
#include <QDir>

namespace miratos::platform {
namespace {
QString& overrideFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString AppFolder::root()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    static const QString folder =
        defaultFor(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath());
    return folder;
}

QString AppFolder::defaultFor(const QString& exeFolder)
{
    const QDir dir(exeFolder);
    if (!dir.exists(QStringLiteral("Init.ini")) && dir.exists(QStringLiteral("app/Init.ini")))
        return QDir::cleanPath(dir.filePath(QStringLiteral("app")));
    return QDir::cleanPath(exeFolder);
}

void AppFolder::set(const QString& folder)
{
    overrideFolder() = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

QString AppFolder::path(const QString& backslashPath)
{
    QString relative = backslashPath;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    return root() + QLatin1Char('/') + relative;
}

QString AppFolder::prefFolder(const QString& prefName)
{
    return path(QStringLiteral("\\MapData\\") + safePathPart(prefName) + QStringLiteral("\\"));
}

QStringList AppFolder::applyArguments(const QStringList& arguments)
{
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--app-folder") && i + 1 < arguments.size()) {
            set(arguments.at(++i));
        } else if (a.startsWith(QLatin1String("--app-folder="))) {
            set(a.mid(13));
        } else {
            rest.append(a);
        }
    }
    return rest;
}

} // namespace miratos::platform
