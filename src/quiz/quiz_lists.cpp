#include "quiz/quiz_lists.h"

#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "store/pref_folder.h"

#include <QDir>

namespace miratos::quiz {
namespace {

QString readPrefName(int code)
{
    const QString name = platform::GetINIValue(state::prefectureCodeText(code), QStringLiteral("Pref"),
                                               platform::AppFolder::initIni());
    state::mdlMain().PrefTable[static_cast<size_t>(code)][1] = name;
    return name;
}

} // namespace

QVector<int> buildPrefQuizList()
{
    QVector<int> list;
    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        if (store::hasPrefectureData(platform::AppFolder::prefFolder(readPrefName(i))))
            list.append(i);
    }
    return list;
}

QVector<CityQuizEntry> buildCityQuizList()
{
    QVector<CityQuizEntry> list;
    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        const QString name = readPrefName(i);
        const QString folder = platform::AppFolder::prefFolder(name);
        for (const QString& file : store::districtFiles(folder))
            list.append({QDir(folder).filePath(file), name, file, QString()});
    }
    return list;
}

} // namespace miratos::quiz
