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
    // Placed names are spread over the map; the scale bar then takes the corner they leave free.
    scene.placeScaleBar = m_placement.placeLabels;
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
    scene.drawVectorMap = [this, style, railways, roads, symbols](QPainter& p, const platform::Canvas& at) {
        const mapview::ViewRect view{static_cast<float>(at.scaleLeft()), static_cast<float>(at.scaleTop()),
                                     static_cast<float>(at.scaleRight()), static_cast<float>(at.scaleBottom())};
        // The boundaries read only the canvas's size and scale.
        mapview::drawBoundariesOn(p, {m_tables, const_cast<platform::Canvas&>(at), m_labels, m_waterFill, m_colorCacheValid}, view,
                                  mdlMain(), mapview::mapModeOf(mdlMain().MapMode), style);
        if (railways)
            layers::drawRailwaysOn(p, m_railway, at, m_tables.DataExtent, layers::railwayColorsOf(mdlMain()));
        if (roads[0] || roads[1] || roads[2])
            layers::drawRoadsOn(p, m_road, at, layers::roadColorsOf(mdlMain()), roads);
        if (symbols)
            layers::drawSymbolsOn(p, at, m_symbolList, m_symbols);
    };
    // A paper or pixel size draws the map again on a fresh canvas; the screen's stays as it is.
    scene.redraw = [this](platform::Canvas& at, mapview::LabelLayer& labels) {
        const mapview::ViewRect view{static_cast<float>(at.scaleLeft()), static_cast<float>(at.scaleTop()),
                                     static_cast<float>(at.scaleRight()), static_cast<float>(at.scaleBottom())};
        bool cache = m_colorCacheValid;
        mapview::drawScene({m_tables, at, labels, m_waterFill, cache}, view, mdlMain(), mapview::mapModeOf(mdlMain().MapMode),
                           drawOptions(at, false));
    };
    const MdlMain& s = mdlMain();
    const bool city = s.MapMode == QLatin1String("City");
    scene.drawn = {!city, city, railways || findChild<QCheckBox*>(QStringLiteral("chkEki"))->isChecked(),
                   m_labels.array(mapview::LabelKind::BuildP).count() > 1 || !m_labels.circles().empty(),
                   s.StatDrawn && s.StatKind > 0, output::boundaryCreditsOf(s)};
    if (m_labels.array(mapview::LabelKind::BuildP).count() > 1)
        scene.symbols = m_facilities.symbolKey(platform::AppFolder::buildSymbolFile());
    return scene;
}

void frmMain::cmdImageExport_Click()
{
    MdlMain& s = mdlMain();
    s.NoteCancelled = true;
    output::frmLocation location(this, output::creditLines(exportScene().drawn));
    location.exec();
    if (s.NoteCancelled)
        return;
    platform::FileDialogRequest request;
    request.title = QStringLiteral("イメージ出力");
    // The bitmap comes first; PNG is the same picture, PDF draws the map as vectors.
    request.filter = QStringLiteral("ビットマップ (*.bmp);;PNG 画像 (*.png);;PDF (*.pdf);;SVG (*.svg)");
    request.proposedName = QStringLiteral("image");
    request.startFolder = platform::AppFolder::root();
    const auto path = platform::prompts().saveFile(request);
    if (!path)
        return;
    const Status saved = output::saveExport(*path, exportScene(), s, output::windowExportOptions());
    if (!saved.ok())
        platform::warn(QStringLiteral("残念"), QStringLiteral("画像を書き込めませんでした。\n") + saved.error());
}

} // namespace miratos::app
