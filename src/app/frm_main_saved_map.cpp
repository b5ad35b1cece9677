// The map window's saved maps: "地図の保存" and "地図を開く".
#include "app/frm_main.h"
#include "output/saved_map_sections.h"
#include "state/mdl_main.h"
#include "state/saved_map.h"
#include "mapview/label_edits.h"
#include "stats/saved_statistic.h"
#include "store/facility_files.h"
#include "cli/render_command.h"
#include "platform/app_folder.h"
#include "platform/prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>

namespace miratos::app {

using state::mdlMain;

namespace {
const QString kFilter = QStringLiteral("地図ファイル (*.miratos)");

QCheckBox* check(const QWidget* w, const char* name)
{
    return w->findChild<QCheckBox*>(QString::fromLatin1(name));
}

// The stored path of a file the map uses; a file outside the app folder cannot be stored.
QString storedPath(const QString& file, const QString& what, QStringList& problems)
{
    if (file.isEmpty())
        return QString();
    if (const auto stored = state::pathForSavedMap(file))
        return *stored;
    problems << QStringLiteral("%1 %2 はアプリフォルダの外にあるので、地図ファイルには入りません。").arg(what, QDir::toNativeSeparators(file));
    return QString();
}
} // namespace

void frmMain::noteLabelEdit(int kind, int index)
{
    // The first edit of a label keeps the caption the map built it with.
    const auto key = std::make_pair(kind, index);
    if (!m_labelEdits.contains(key))
        m_labelEdits[key] = m_labels.array(static_cast<mapview::LabelKind>(kind)).at(index).caption;
}

state::SavedMap frmMain::savedMap() const
{
    const auto& s = mdlMain();
    state::SavedMap m;
    m.unknown = m_savedUnknown;
    state::takeSharedState(s, m);
    for (int i = 0; i < 4; ++i)
        if (m_optMode[i]->isChecked())
            m.style = i;
    m.labels = m_chkCity->isChecked();
    m.towns = m_chkTown->isChecked();
    m.railways = check(this, "chkTrain")->isChecked();
    m.stations = check(this, "chkEki")->isChecked();
    m.roads = roadClassesTicked();
    m.facilities = check(this, "chkBuild")->isChecked();
    m.facilityNames = check(this, "chkBuildName")->isChecked();
    m.facilitySymbols = m_optMato[1]->isChecked();
    m.facilityRanks = check(this, "chkBuildRank")->isChecked();
    m.facilityCsv = m_facilityCsv;
    m.stat = s.StatKind;
    m.ownData = s.StatKind == 0 ? m_ownDataFile : QString();
    m.computes = stats::computedColumnSpecs(s.StatTable);
    for (const auto& [key, built] : m_labelEdits) {
        const auto kind = static_cast<mapview::LabelKind>(key.first);
        if (key.second < m_labels.array(kind).count())
            m.labelEdits.push_back(mapview::labelEditOf(m_labels, kind, key.second, built));
    }
    output::putSymbols(m_symbols, m);
    layers::PlacementOptions placement = m_placement;
    placement.placeLabels = m_labelsPlaced;
    output::putPlacement(placement, m);
    output::putExportSize(output::windowExportOptions(), m);
    return m;
}

void frmMain::cmdSaveMap_Click()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("地図の保存");
    request.filter = kFilter;
    request.startFolder = platform::AppFolder::root();
    request.proposedName = QStringLiteral("地図.miratos");
    const auto path = platform::prompts().saveFile(request);
    if (!path || path->isEmpty())
        return;
    QString file = *path;
    if (!file.endsWith(QLatin1String(".miratos"), Qt::CaseInsensitive))
        file += QStringLiteral(".miratos");
    state::SavedMap m = savedMap();
    QStringList problems;
    m.ownData = storedPath(m.ownData, QStringLiteral("統計の表"), problems);
    m.facilityCsv = storedPath(m.facilityCsv, QStringLiteral("施設の表"), problems);
    if (!m_ownDataFile.isEmpty() && m.stat == 0 && m.ownData.isEmpty())
        m.column.clear(); // without its table the column cannot be painted again
    const Status written = state::writeSavedMap(file, m);
    if (!written.ok()) {
        platform::warn(QStringLiteral("残念"), written.error());
        return;
    }
    if (!problems.isEmpty())
        platform::warn(QStringLiteral("要確認"), problems.join(QLatin1Char('\n')));
}

void frmMain::cmdOpenMap_Click()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("地図を開く");
    request.filter = kFilter;
    request.startFolder = platform::AppFolder::root();
    const auto path = platform::prompts().openFile(request);
    if (!path || path->isEmpty())
        return;
    QStringList problems;
    auto read = state::readSavedMap(*path, problems);
    if (!read) {
        platform::warn(QStringLiteral("残念"), read.error());
        return;
    }
    openSavedMap(std::move(*read), problems, this);
}

frmMain* frmMain::openSavedMap(state::SavedMap map, QStringList problems, frmMain* replaced,
                               const std::function<void(frmMain&)>& beforeShow, const std::function<void(frmMain&)>& beforeLoad)
{
    state::resolveSavedPaths(map, problems);
    state::MdlMain& s = mdlMain();
    const state::MdlMain before = s; // kept for the window that stays when the map names nothing
    state::resetMdlMain();
    const bool wasAuto = autoLoad();
    setAutoLoad(false); // the choices come from the file: no selection dialogs
    auto* window = new frmMain;
    setAutoLoad(wasAuto);
    s.UseTrain = map.railways || map.stations;
    s.UseRoad = map.roads[0] || map.roads[1] || map.roads[2];
    s.UseBuild = map.facilities || map.facilityRanks || !map.facilityCsv.isEmpty();
    if (const auto problem = cli::applyMapChoices(map.mode, map.prefs, map.districts, s, window->tables().lvwTikuColor)) {
        delete window;
        s = before;
        platform::warn(QStringLiteral("残念"), (problems + QStringList{QStringLiteral("地図を開けません: ") + *problem}).join(QLatin1Char('\n')));
        return nullptr;
    }
    state::applySharedState(map, s);
    if (replaced) {
        window->setGeometry(replaced->geometry());
        replaced->hide();
        replaced->deleteLater(); // not closed: closing the map window would end the program
    }
    if (beforeShow)
        beforeShow(*window);
    window->show();
    if (beforeLoad)
        beforeLoad(*window);
    window->初期化();
    if (s.UseTrain)
        window->鉄道データ読込();
    problems << window->applySavedChoices(map);
    if (!problems.isEmpty())
        platform::warn(QStringLiteral("要確認"), problems.join(QLatin1Char('\n')));
    return window;
}

QStringList frmMain::applySavedChoices(const state::SavedMap& m)
{
    QStringList problems;
    auto& s = mdlMain();
    const auto mode = mapview::mapModeOf(s.MapMode);
    m_savedUnknown = m.unknown;
    state::applySharedState(m, s); // 初期化 reset the display settings to the mode's
    applyLabelStyles();
    s.NoteLocation = static_cast<int16_t>(m.noteLocation);
    s.NoteMaker = m.noteMaker;
    s.NoteFontSize = static_cast<int16_t>(m.noteFontSize);
    m_chkCity->setChecked(m.labels);
    m_chkTown->setChecked(m.towns);
    check(this, "chkTrain")->setChecked(m.railways);
    check(this, "chkEki")->setChecked(m.stations);
    for (int i = 0; i < 3; ++i)
        findChild<QCheckBox*>(QStringLiteral("chkRoad_%1").arg(i))->setChecked(m.roads[static_cast<size_t>(i)]);
    if (!m.facilityCsv.isEmpty()) {
        auto read = store::readFacilityCsv(m.facilityCsv);
        if (read) {
            m_facilities.BuildRankTitle = read->title;
            m_facilities.append(std::move(read->rows));
            syncBuildTree();
            showBuildTree(true);
            m_facilityCsv = m.facilityCsv;
        } else {
            problems << read.error();
        }
    }
    m_optMato[m.facilitySymbols ? 1 : 0]->setChecked(true);
    m_facilities.MarkerStyle = m.facilitySymbols ? 1 : 0;
    check(this, "chkBuild")->setChecked(m.facilities);
    check(this, "chkBuildName")->setChecked(m.facilityNames);
    check(this, "chkBuildRank")->setChecked(m.facilityRanks);

    bool painted = false;
    if (!m.column.isEmpty()) {
        QStringList notes;
        const auto problem = stats::applySavedStatistic(m, s, m_tables, mode, m_areas.lookup(m_tables, mode), notes);
        problems << notes;
        if (problem) {
            problems << *problem;
        } else {
            m_ownDataFile = m.ownData;
            m_cmdRank->setEnabled(true);
            m_colorCacheValid = false;
            painted = true;
        }
    }
    m_symbols = output::symbolsOf(m);
    findChild<QCheckBox*>(QStringLiteral("chkSymbols"))->setChecked(m_symbols.enabled);
    const layers::PlacementOptions placement = output::placementOf(m);
    m_placement = placement;
    m_placement.placeLabels = false; // the button places; the setting only says it was pressed
    output::windowExportOptions() = output::exportSizeOf(m);
    const int style = m.style.value_or(painted ? 3 : 0);
    // Without a statistic its fill has nothing to show.
    m_optMode[style == 3 && !painted ? 0 : style]->setChecked(true);
    処理中(false);
    描画();
    処理中(true);
    if (placement.placeLabels)
        cmdPlaceLabels_Click();
    if (m.declutter)
        cmdDecrease_Click();
    problems << mapview::applyLabelEdits(m.labelEdits, m_labels);
    for (const state::LabelEdit& e : m.labelEdits) {
        const auto kind = static_cast<mapview::LabelKind>(e.kind);
        if (e.index < m_labels.array(kind).count())
            m_labelEdits[{e.kind, e.index}] = e.builtCaption;
    }
    return problems;
}

} // namespace miratos::app
