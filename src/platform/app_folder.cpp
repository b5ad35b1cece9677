#include "platform/app_folder.h"

#include "platform/path_part.h"
#include "platform/prompts.h"
#include "platform/read_limits.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace miratos::platform {
namespace {
QString& overrideFolder()
{
    static QString folder;
    return folder;
}

QString exeFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

// Copies the regular files of from/ that to/ lacks.
Status copyMissingFiles(const QString& from, const QString& to)
{
    const QFileInfoList files = QDir(from).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : files) {
        const QString target = to + QLatin1Char('/') + file.fileName();
        if (QFileInfo::exists(target))
            continue;
        const Result<QByteArray> bytes = readCheckedFile(file.filePath());
        if (!bytes)
            return Error{bytes.error()};
        if (Status written = writeFileAtomically(target, *bytes); !written)
            return written;
    }
    return Status::success();
}
} // namespace

QString AppFolder::root()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    static const QString folder = defaultFor(exeFolder());
    return folder;
}

QString AppFolder::defaultFor(const QString& exeFolder)
{
    const QDir dir(exeFolder);
    if (dir.exists(QStringLiteral("Init.ini")))
        return QDir::cleanPath(exeFolder);
    if (dir.exists(QStringLiteral("app/Init.ini")))
        return QDir::cleanPath(dir.filePath(QStringLiteral("app")));
    // Root may write anywhere, so an installed program is told by its shared data, not only by
    // the rights on its folder.
    if (!sharedDataFor(exeFolder).isEmpty() || !QFileInfo(exeFolder).isWritable())
        return userFolder();
    return QDir::cleanPath(exeFolder);
}

QString AppFolder::userFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/miratos"));
}

QString AppFolder::sharedDataFor(const QString& exeFolder)
{
    const QString shared = QDir::cleanPath(exeFolder + QStringLiteral("/../share/miratos"));
    return QFileInfo(shared + QStringLiteral("/Init.ini")).isFile() ? shared : QString();
}

Result<bool> AppFolder::layOut(const QString& folder, const QString& sharedData)
{
    const bool created = !QFileInfo::exists(folder);
    for (const QString& sub : {QString(), QStringLiteral("/MapData"), QStringLiteral("/変換フォルダ")}) {
        if (Status made = makeFolder(folder + sub); !made)
            return Error{made.error()};
    }
    if (!sharedData.isEmpty()) {
        if (Status copied = copyMissingFiles(sharedData, folder); !copied)
            return Error{copied.error()};
        if (Status copied = copyMissingFiles(sharedData + QStringLiteral("/MapData"), folder + QStringLiteral("/MapData")); !copied)
            return Error{copied.error()};
    }
    return created;
}

Result<QString> AppFolder::prepareForStart()
{
    if (!overrideFolder().isEmpty() || root() != userFolder())
        return QString();
    const Result<bool> laidOut = layOut(root(), sharedDataFor(exeFolder()));
    if (!laidOut)
        return Error{QStringLiteral("個人用のアプリフォルダ %1 を用意できません: %2").arg(QDir::toNativeSeparators(root()), laidOut.error())};
    if (!*laidOut)
        return QString();
    return QStringLiteral("初めての起動のため、個人用のアプリフォルダ（Init.ini、MapData、変換フォルダ）を作りました:\n%1")
        .arg(QDir::toNativeSeparators(root()));
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

bool tellAppFolderStart(const Result<QString>& note, bool window, QTextStream& err)
{
    if (note && note->isEmpty())
        return true;
    const QString text = note ? *note : note.error();
    if (window) {
        prompts().message(note ? MsgIcon::Information : MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("ミラトス"), text);
    } else {
        err << "miratos: " << QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) << "\n";
        err.flush();
    }
    return note.ok();
}

} // namespace miratos::platform
