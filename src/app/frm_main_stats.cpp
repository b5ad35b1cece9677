// The map window's statistics frame: "統計データ", "ランキング" and "不一致地区".
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "platform/app_folder.h"
#include "platform/prompts.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"
#include "stats/join.h"
#include "stats/painted_regions.h"
#include "store/statistic_file.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

namespace miratos::app {

using state::mdlMain;

namespace {
platform::KeyedTable& districtTable(mapview::MapTables& t, mapview::MapMode mode)
{
    return mode == mapview::MapMode::Japan ? t.lvwUsePref : t.lvwUseTiku;
}
} // namespace

void frmMain::cmdStatistic_Click()
{
    const auto mode = mapview::mapModeOf(mdlMain().MapMode);
    if (districtTable(m_tables, mode).isEmpty())
        return;
    std::unique_ptr<stats::StatisticDialog> dialog;
    if (mode == mapview::MapMode::Japan)
        dialog = std::make_unique<stats::frmStatistic_J>(this);
    else if (mode == mapview::MapMode::Pref)
        dialog = std::make_unique<stats::frmStatistic_P>(this);
    else
        dialog = std::make_unique<stats::frmStatistic_C>(this);
    dialog->setAreaLookup(m_areas.lookup(m_tables, mode));
    dialog->setPaintedTable([this, mode](const QString& path) {
        return stats::writePaintedTable(path, stats::paintedRegions(m_tables, mode), mdlMain());
    });
    dialog->exec();
    if (dialog->extracted())
        m_ownDataFile = dialog->ownDataFile();
    if (mdlMain().StatColumn == -1)
        return;
    m_cmdRank->setEnabled(true);
    const stats::JoinResult lists = stats::joinStatistic(m_tables, mdlMain(), mode);
    if (auto* label = findChild<QLabel*>(QStringLiteral("lblUnmatched")))
        label->setText(stats::unmatchedRowsText(lists.unmatchedRows));
    if (!lists.rankProblem.isEmpty()) {
        // Bounds would come out as "INF": this column cannot be ranked.
        m_cmdRank->setEnabled(false);
        platform::warn(QStringLiteral("だめだめ"), lists.rankProblem);
    }
    if (mode == mapview::MapMode::Pref) {
        m_mapSide = lists.mapSide;
        m_statSide = lists.statSide;
        m_cmdUnmatch->setEnabled(!m_mapSide.isEmpty() || !m_statSide.isEmpty());
    }
}

void frmMain::cmdRank_Click()
{
    const auto mode = mapview::mapModeOf(mdlMain().MapMode);
    platform::KeyedTable& table = districtTable(m_tables, mode);
    if (table.isEmpty())
        return;
    stats::frmRank dialog(stats::joinedValues(m_tables, mode), this);
    if (dialog.exec() != QDialog::Accepted)
        return; // closed with its close box: the ranking stays as it was
    m_colorCacheValid = false;
    for (auto& row : table) {
        if (mode == mapview::MapMode::City) {
            row.setSubItem(2, QString());
            row.setSubItem(3, QString());
        } else {
            row.setSubItem(4, QString());
        }
    }
    m_optMode[3]->setChecked(true);
    処理中(false);
    描画();
    処理中(true);
}

void frmMain::cmdUnmatch_Click()
{
    if (m_mapSide.isEmpty() && m_statSide.isEmpty()) {
        platform::prompts().message(platform::MsgIcon::Information, platform::MsgButtons::Ok, QStringLiteral("よかったね"),
                                    QStringLiteral("不一致地区なし！"));
        return;
    }
    const QString path = platform::AppFolder::path(QStringLiteral("\\不一致地区.txt"));
    const Status written = store::writeUnmatchedReport(path, m_mapSide, m_statSide);
    if (!written.ok()) {
        platform::warn(QStringLiteral("残念"), written.error());
        return;
    }
    platform::prompts().message(platform::MsgIcon::Information, platform::MsgButtons::Ok, QStringLiteral("出力しました。"),
                                QDir::toNativeSeparators(path));
}

} // namespace miratos::app
