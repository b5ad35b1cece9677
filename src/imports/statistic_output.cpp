#include "imports/statistic_output.h"

#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/path_part.h"
#include "platform/safe_write.h"

#include <QDir>

namespace miratos::imports {

QString prefectureFolder(const QString& prefCode, const QString& mapData, const QString& initIni, QString* error)
{
    const QString name = platform::GetINIValue(prefCode, QStringLiteral("Pref"), initIni);
    if (name == QLatin1String("ERROR") || name.isEmpty() || platform::safePathPart(name) != name) {
        *error = QStringLiteral("都道府県コード %1 が Init.ini の [Pref] にありません").arg(prefCode);
        return {};
    }
    const QString folder = QDir(mapData).filePath(name);
    if (Status made = platform::makeFolder(folder); !made) {
        *error = made.error();
        return {};
    }
    return folder;
}

QStringList markedForCp932(QStringList lines, const QString& file, QStringList* notes)
{
    qsizetype marked = 0;
    qsizetype firstLine = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        qsizetype n = 0;
        lines[i] = platform::withCp932Marks(lines[i], &n);
        if (n > 0 && marked == 0)
            firstLine = i + 1;
        marked += n;
    }
    if (marked > 0 && notes)
        *notes << QDir::toNativeSeparators(file) + QStringLiteral(": ") +
                      platform::cp932MarksNote(QStringLiteral("%1 行目").arg(firstLine), marked);
    return lines;
}

} // namespace miratos::imports
