// The map window's facility layer: reading the prefectures' facilities with the map, the class
// tree, "施設取込", and the markers, names and rank circles; the work itself is in the layer.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "mapview/map_canvas_ui.h"
#include "platform/app_folder.h"
#include "platform/prompts.h"
#include "platform/ui_yield.h"
#include "store/facility_files.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace miratos::app {

using state::mdlMain;

namespace {

QString buildDatOf(int prefCode)
{
    return platform::AppFolder::prefFolder(mdlMain().PrefTable[static_cast<size_t>(prefCode)][1]) +
           QString::fromUtf16(store::kBuildFile);
}

} // namespace

void frmMain::connectFacilityControls()
{
    connect(findChild<QPushButton*>(QStringLiteral("cmdBuildCSV")), &QPushButton::clicked, this, [this] { cmdBuildCSV_Click(); });
    connect(findChild<QCheckBox*>(QStringLiteral("chkBuild")), &QCheckBox::clicked, this, [this] { chkBuild_Click(); });
    connect(findChild<QCheckBox*>(QStringLiteral("chkBuildName")), &QCheckBox::clicked, this, [this] { chkBuildName_Click(); });
    connect(findChild<QCheckBox*>(QStringLiteral("chkBuildRank")), &QCheckBox::clicked, this, [this] { chkBuildRank_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(m_optMato[i], &QRadioButton::clicked, this, [this, i] { optMato_Click(i); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdBuildAll")), &QPushButton::clicked, this, [this] { setAllBuildClasses(true); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdBuildNone")), &QPushButton::clicked, this, [this] { setAllBuildClasses(false); });
    connect(m_tvwBuild, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (m_syncingTree)
            return;
        tvwBuild_NodeCheck(item->data(0, Qt::UserRole).toInt(), item->checkState(0) == Qt::Checked);
    });
}

void frmMain::公共施設データ読込(int prefCode)
{
    store::FacilityRead read = store::readBuildDat(buildDatOf(prefCode), platform::yieldToUi);
    if (!read.problem.isEmpty())
        m_facilityProblems << read.problem;
    m_facilities.append(std::move(read.rows));
}

void frmMain::公共施設データ全読込(int prefCode)
{
    store::FacilityRead read = store::readBuildDat(buildDatOf(prefCode), platform::yieldToUi);
    if (!read.problem.isEmpty())
        m_facilityProblems << read.problem;
    m_facilityTemp.insert(m_facilityTemp.end(), std::make_move_iterator(read.rows.begin()), std::make_move_iterator(read.rows.end()));
}

void frmMain::keepChosenFacilities()
{
    const auto& s = mdlMain();
    QStringList codes;
    for (int k = 1; k <= s.TikuCount; ++k)
        codes << s.TikuTable[static_cast<size_t>(k)][3];
    m_facilities.append(layers::FacilityLayer::keepChosen(std::move(m_facilityTemp), codes));
    m_facilityTemp.clear();
}

void frmMain::syncBuildTree()
{
    const auto& nodes = m_facilities.tvwBuild().nodes();
    m_syncingTree = true;
    m_tvwBuild->setUpdatesEnabled(false);
    for (int i = m_tvwBuild->property("nodes").toInt(); i < static_cast<int>(nodes.size()); ++i) {
        const auto& node = nodes[static_cast<size_t>(i)];
        QTreeWidgetItem* item = nullptr;
        if (node.parent < 0) {
            item = new QTreeWidgetItem(m_tvwBuild);
        } else {
            // Top nodes are found through their node index, kept with each item.
            QTreeWidgetItem* parent = nullptr;
            for (int t = 0; t < m_tvwBuild->topLevelItemCount() && !parent; ++t) {
                if (m_tvwBuild->topLevelItem(t)->data(0, Qt::UserRole).toInt() == node.parent)
                    parent = m_tvwBuild->topLevelItem(t);
            }
            item = new QTreeWidgetItem(parent);
        }
        item->setText(0, node.text);
        item->setData(0, Qt::UserRole, i);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, node.checked ? Qt::Checked : Qt::Unchecked);
    }
    m_tvwBuild->setProperty("nodes", static_cast<int>(nodes.size()));
    m_tvwBuild->setUpdatesEnabled(true);
    m_syncingTree = false;
}

void frmMain::refreshBuildTreeChecks()
{
    const auto& nodes = m_facilities.tvwBuild().nodes();
    m_syncingTree = true;
    for (QTreeWidgetItemIterator it(m_tvwBuild); *it; ++it) {
        const int i = (*it)->data(0, Qt::UserRole).toInt();
        const Qt::CheckState state = nodes[static_cast<size_t>(i)].checked ? Qt::Checked : Qt::Unchecked;
        if ((*it)->checkState(0) != state)
            (*it)->setCheckState(0, state);
    }
    m_syncingTree = false;
}

void frmMain::showBuildTree(bool visible)
{
    m_tvwBuild->setVisible(visible);
    m_buildTreeButtons->setVisible(visible);
}

void frmMain::setAllBuildClasses(bool checked)
{
    m_facilities.tvwBuild().setAll(checked);
    refreshBuildTreeChecks();
    // As after one node: the new selection shows once the facility boxes are ticked again.
    findChild<QCheckBox*>(QStringLiteral("chkBuild"))->setChecked(false);
    findChild<QCheckBox*>(QStringLiteral("chkBuildRank"))->setChecked(false);
    chkBuild_Click();
    chkBuildRank_Click();
}

void frmMain::tvwBuild_NodeCheck(int node, bool checked)
{
    m_facilities.tvwBuild().setChecked(node, checked);
    refreshBuildTreeChecks();
    for (QTreeWidgetItemIterator it(m_tvwBuild); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == node) {
            m_tvwBuild->setCurrentItem(*it);
            break;
        }
    }
    // The new selection shows once "施設指標" / "施設ランク" are ticked again.
    findChild<QCheckBox*>(QStringLiteral("chkBuild"))->setChecked(false);
    findChild<QCheckBox*>(QStringLiteral("chkBuildRank"))->setChecked(false);
    chkBuild_Click();
    chkBuildRank_Click();
}

void frmMain::cmdBuildCSV_Click()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("データ取り込み");
    request.filter = QStringLiteral("データファイル (*.csv)");
    const auto path = platform::prompts().openFile(request);
    if (!path || path->isEmpty())
        return;
    mdlMain().UseBuild = true;
    showBuildTree(true);
    ++m_busy;
    処理中(false);
    auto read = store::readFacilityCsv(*path, platform::yieldToUi);
    int added = 0;
    if (read) {
        m_facilities.BuildRankTitle = read->title;
        added = m_facilities.append(std::move(read->rows));
        syncBuildTree();
        m_facilityCsv = *path;
    }
    処理中(true);
    endWork();
    if (m_closeRequested)
        return; // closed during the import: the program is ending
    if (!read) {
        platform::warn(QStringLiteral("残念"), QStringLiteral("ファイルを読めませんでした。\n") + read.error());
        return;
    }
    if (!read->problem.isEmpty())
        showLoadProblems({read->problem});
    platform::prompts().message(platform::MsgIcon::Information, platform::MsgButtons::Ok, QStringLiteral("施設データ"),
                                QStringLiteral("施設データを、") + QString::number(added) + QStringLiteral("件取込ました。"));
}

void frmMain::chkBuild_Click()
{
    if (!mdlMain().UseBuild || m_facilities.BuildCount() == 0)
        return;
    m_facilities.markers(m_labels, findChild<QCheckBox*>(QStringLiteral("chkBuild"))->isChecked(),
                         findChild<QCheckBox*>(QStringLiteral("chkBuildName"))->isChecked(), platform::AppFolder::buildSymbolFile(),
                         m_canvas);
    m_picMain->update();
}

void frmMain::chkBuildName_Click()
{
    if (m_facilities.BuildCount() == 0)
        return;
    m_facilities.showNames(m_labels, findChild<QCheckBox*>(QStringLiteral("chkBuildName"))->isChecked());
    m_picMain->update();
}

void frmMain::chkBuildRank_Click()
{
    if (!mdlMain().UseBuild || m_facilities.BuildCount() == 0)
        return;
    m_facilities.rankCircles(m_labels, findChild<QCheckBox*>(QStringLiteral("chkBuildRank"))->isChecked(),
                             layers::rankSettingsOf(mdlMain()));
    m_picMain->update();
}

void frmMain::optMato_Click(int index)
{
    if (index == m_facilities.MarkerStyle)
        return;
    m_facilities.MarkerStyle = index;
    // The markers go; "施設指標" ticked again shows the new style.
    findChild<QCheckBox*>(QStringLiteral("chkBuild"))->setChecked(false);
    chkBuild_Click();
}

} // namespace miratos::app
