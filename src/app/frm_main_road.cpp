// The map window's road layer: the road-name table read at the start, each prefecture's roads
// read while the boundaries load, the ticked classes drawn; the work itself is in the layer.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "mapview/map_canvas_ui.h"
#include "platform/app_folder.h"
#include "platform/path_part.h"
#include "platform/ui_yield.h"
#include "platform/widgets_ui.h"
#include "store/road_files.h"

#include <QCheckBox>
#include <QDir>

namespace miratos::app {

using state::mdlMain;

void frmMain::道路名データ読込()
{
    const QString path = QDir(platform::AppFolder::mapData()).filePath(QString::fromUtf16(store::kRoadNameFile));
    m_road = layers::RoadLayer();
    // Without the name table no road could be drawn: the layer is off for this window.
    if (!m_road.loadNames(path, &m_roadProblems))
        mdlMain().UseRoad = false;
}

void frmMain::道路データ読込(int prefCode)
{
    const QString name = mdlMain().PrefTable[static_cast<size_t>(prefCode)][1];
    if (platform::safePathPart(name).isEmpty())
        return;
    const QString path = platform::AppFolder::prefFolder(name) + QString::fromUtf16(store::kRoadFile);
    m_roadProblems << m_road.loadRoads(path, m_tables.DataExtent, platform::yieldToUi);
}

layers::RoadClasses frmMain::roadClassesTicked() const
{
    layers::RoadClasses ticked{};
    for (int i = 0; i < 3; ++i) {
        const auto* box = findChild<QCheckBox*>(platform::arrayName("chkRoad", i));
        ticked[static_cast<size_t>(i)] = box && box->isChecked();
    }
    return ticked;
}

void frmMain::道路描画()
{
    m_road.draw(m_canvas, layers::roadColorsOf(mdlMain()), roadClassesTicked(), platform::yieldToUi);
    m_picMain->update();
}

} // namespace miratos::app
