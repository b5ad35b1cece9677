#include "state/district_selection.h"

#include "state/prefectures.h"
#include "platform/app_folder.h"
#include "platform/text_file.h"
#include "store/district_file_name.h"
#include "store/pref_folder.h"

#include <QFile>

namespace miratos::state {
namespace {
QString selectCityPath()
{
    return platform::AppFolder::path(QStringLiteral("\\MapData\\SelectCity.txt"));
}
} // namespace

QVector<DistrictListItem> listDistrictFiles(const MdlMain& state)
{
    QVector<DistrictListItem> items;
    for (int i = 1; i <= kPrefectureCount; ++i) {
        const auto& row = state.PrefTable[static_cast<size_t>(i)];
        if (row[0] != QLatin1String("TRUE"))
            continue;
        const QString folder = platform::AppFolder::prefFolder(row[1]);
        for (const QString& name : store::districtFilesOfYear(folder, state.DataYear))
            items.append({name, folder + name});
    }
    return items;
}

QStringList readSelectCity()
{
    if (!QFile::exists(selectCityPath()))
        return {};
    auto lines = platform::readTextLines(selectCityPath());
    return lines ? *lines : QStringList();
}

void fillDistrictSelection(const QVector<DistrictListItem>& chosen, MdlMain& state, platform::KeyedTable& lvwTikuColor)
{
    state.clearTikuSelection();
    for (const DistrictListItem& item : chosen) {
        ++state.TikuCount;
        state.TikuPath.push_back(item.path);
        const QString prefix = store::districtFilePrefix(item.path);
        state.TikuPrefix.push_back(prefix);
        std::array<QString, 4> row{};
        const auto parsed = store::parseDistrictFileName(item.fileName);
        row[0] = parsed ? parsed->name : QString();
        QString last = prefix.mid(prefix.lastIndexOf(QLatin1Char('/')) + 1);
        last.remove(QLatin1Char('_'));
        row[3] = last.mid(2);
        state.TikuTable.push_back(row);
        lvwTikuColor.add(row[3] + QLatin1Char('G'), QString::number(kYellow));
    }
}

Status applyDistrictSelection(const QVector<DistrictListItem>& chosen, MdlMain& state, platform::KeyedTable& lvwTikuColor)
{
    fillDistrictSelection(chosen, state, lvwTikuColor);
    QStringList names;
    for (const DistrictListItem& item : chosen)
        names << item.fileName;
    return platform::writeTextLines(selectCityPath(), names);
}

} // namespace miratos::state
