#include "quiz/quiz_questions.h"

#include "platform/seams.h"
#include "store/district_file_name.h"

#include <algorithm>
#include <cmath>

namespace miratos::quiz {

int drawQuestion(int count)
{
    const int k = static_cast<int>(std::floor(platform::randomUnit() * count)) + 1;
    return std::clamp(k, 1, count); // a source that returns 1.0 still draws the last entry
}

QString cityAnswer(const QString& prefName, const QString& fileName)
{
    const auto parsed = store::parseDistrictFileName(fileName);
    return prefName + (parsed ? parsed->name : QString());
}

void selectCityQuestion(const CityQuizEntry& entry, state::MdlMain& state)
{
    state.clearTikuSelection();
    state.TikuCount = 1;
    state.TikuPath.push_back(entry.path);
    state.TikuPrefix.push_back(store::districtFilePrefix(entry.path));
    state.TikuTable.push_back({});
}

} // namespace miratos::quiz
