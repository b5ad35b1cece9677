// The map window's railway layer: reading the railway files, drawing the lines and the station
// names; the work itself is in the layer.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "mapview/map_canvas_ui.h"
#include "platform/app_folder.h"
#include "platform/ui_yield.h"
#include "store/railway_files.h"

#include <QCheckBox>

namespace miratos::app {

using state::mdlMain;

void frmMain::鉄道データ読込()
{
    ++m_busy;
    処理中(false);
    const QStringList problems = m_railway.load(store::railwayFolder(platform::AppFolder::mapData()), platform::yieldToUi);
    処理中(true);
    endWork();
    showLoadProblems(problems);
}

void frmMain::鉄道描画()
{
    m_railway.draw(m_canvas, m_tables.DataExtent, layers::railwayColorsOf(mdlMain()), platform::yieldToUi);
    m_picMain->update();
}

void frmMain::chkEki_Click()
{
    m_railway.stationLabels(m_labels, findChild<QCheckBox*>(QStringLiteral("chkEki"))->isChecked());
    m_picMain->update();
}

} // namespace miratos::app
