#include "stats/extraction.h"

#include "state/prefectures.h"
#include "platform/app_folder.h"

namespace miratos::stats {

QVector<std::pair<QString, QString>> statisticFiles(mapview::MapMode mode, int kind, const state::MdlMain& state)
{
    const QString file = QStringLiteral("statistic%1.csv").arg(kind);
    QVector<std::pair<QString, QString>> files;
    switch (mode) {
    case mapview::MapMode::Japan:
        files.append({platform::AppFolder::path(QStringLiteral("\\MapData\\") + file), QString()});
        break;
    case mapview::MapMode::Pref:
        for (int i = 1; i <= state::kPrefectureCount; ++i) {
            const auto& row = state.PrefTable[static_cast<size_t>(i)];
            if (row[0] == QLatin1String("TRUE"))
                files.append({platform::AppFolder::prefFolder(row[1]) + file, row[1]});
        }
        break;
    case mapview::MapMode::City:
        for (int k = 1; k <= state.TikuCount; ++k)
            files.append({state.TikuPrefix[static_cast<size_t>(k)] + file, state.TikuTable[static_cast<size_t>(k)][0]});
        break;
    case mapview::MapMode::Other:
        break;
    }
    return files;
}

} // namespace miratos::stats
