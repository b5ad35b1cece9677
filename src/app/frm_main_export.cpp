// The map window's "画像出力": note settings, the file, and the picture written through the same
// export code as the render command.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "mapview/map_drawing.h"
#include "output/frm_location.h"
#include "output/image_export.h"
#include "platform/app_folder.h"
#include "platform/prompts.h"

#include <QCheckBox>
#include <QRadioButton>

namespace miratos::app {

using state::MdlMain;
using state::mdlMain;

output::ExportScene frmMain::exportScene()
{
    output::ExportScene scene;
    scene.map = &m_canvas;
    scene.view = shownView();
    scene.data = m_tables.DataExtent;
    scene.zoomed = m_viewport.zoomed;
    scene.typedX2 = m_viewport.typedX2;
    scene.typedY2 = m_viewport.typedY2;
    scene.labels = &m_labels;
    scene.buildNames = findChild<QCheckBox*>(QStringLiteral("chkBuildName"))->isChecked();
    scene.buildRank = findChild<QCheckBox*>(QStringLiteral("chkBuildRank"))->isChecked();
    scene.buildRankTitle = m_facilities.BuildRankTitle;
    const auto bar = mapview::scaleBarFor(shownView(), m_canvas.height());
    scene.scaleVisible = bar.visible;
    scene.scaleLengthPx = bar.lengthPx;
    scene.scaleText = bar.text;
    int style = 0;
    for (int i = 0; i < 4; ++i) {
        if (m_optMode[i]->isChecked())
            style = i;
    }
    // For PDF the boundaries are drawn again as vectors with the colours the screen shows.
    const bool railways = findChild<QCheckBox*>(QStringLiteral("chkTrain"))->isChecked();
    const layers::RoadClasses roads = roadClassesTicked();
    scene.symbolLegend = m_symbolLegend;
    const bool symbols = findChild<QCheckBox*>(QStringLiteral("chkSymbols"))->isChecked();
    scene.drawVectorMap = [this, style, railways, roads, symbols](QPainter& p) {
        mapview::drawBoundariesOn(p, {m_tables, m_canvas, m_labels, m_waterFill, m_colorCacheValid}, shownView(), mdlMain(),
                                  mapview::mapModeOf(mdlMain().MapMode), style);
        if (railways)
            layers::drawRailwaysOn(p, m_railway, m_canvas, m_tables.DataExtent, layers::railwayColorsOf(mdlMain()));
        if (roads[0] || roads[1] || roads[2])
            layers::drawRoadsOn(p, m_road, m_canvas, layers::roadColorsOf(mdlMain()), roads);
        if (symbols)
            layers::drawSymbolsOn(p, m_canvas, m_symbolList, m_symbols);
    };
    return scene;
}

void frmMain::cmdImageExport_Click()
{
    MdlMain& s = mdlMain();
    s.NoteCancelled = true;
    output::frmLocation location(this);
    location.exec();
    if (s.NoteCancelled)
        return;
    platform::FileDialogRequest request;
    request.title = QStringLiteral("イメージ出力");
    // The bitmap comes first; PNG is the same picture, PDF draws the map as vectors.
    request.filter = QStringLiteral("ビットマップ (*.bmp);;PNG 画像 (*.png);;PDF (*.pdf)");
    request.proposedName = QStringLiteral("image");
    request.startFolder = platform::AppFolder::root();
    const auto path = platform::prompts().saveFile(request);
    if (!path)
        return;
    const Status saved = output::saveExport(*path, exportScene(), s);
    if (!saved.ok())
        platform::warn(QStringLiteral("残念"), QStringLiteral("画像を書き込めませんでした。\n") + saved.error());
}

} // namespace miratos::app
