#include "state/pref_folders.h"

#include "platform/ini_file.h"
#include "platform/path_part.h"
#include "state/prefectures.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace miratos::state {

Status checkPrefectureFolders(const QString& initIni)
{
    if (!QFileInfo(initIni).isFile())
        return {};
    const QString shown = QDir::toNativeSeparators(initIni);
    QHash<QString, QString> codeOfFolder;
    for (int code = 1; code <= kPrefectureCount; ++code) {
        const QString key = prefectureCodeText(code);
        const QString value = platform::GetINIValue(key, QStringLiteral("Pref"), initIni);
        const bool missing = value == QLatin1String("ERROR");
        const QString name = missing ? prefectureName(code) : value.trimmed();
        if (!missing && (name.isEmpty() || platform::safePathPart(name) != name))
            return Error{QStringLiteral("%1: [Pref] の %2=%3 は都道府県のフォルダ名にできません").arg(shown, key, value)};
        const QString folded = name.toCaseFolded();
        if (const auto it = codeOfFolder.constFind(folded); it != codeOfFolder.constEnd())
            return Error{QStringLiteral("%1: [Pref] の %2 と %3 が同じフォルダ「%4」を指しています").arg(shown, *it, key, name)};
        codeOfFolder.insert(folded, key);
    }
    return {};
}

} // namespace miratos::state
