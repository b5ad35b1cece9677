// The map window's display settings: a right click on a layer check box opens frmProperty for
// the layer's row of LayerProperty.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "platform/widgets_ui.h"
#include "mapview/map_canvas_ui.h"
#include "output/frm_property.h"

#include <QCheckBox>
#include <QEvent>
#include <QHash>
#include <QMouseEvent>

namespace miratos::app {

using platform::arrayName;
using state::MdlMain;
using state::mdlMain;
namespace {

struct LayerBox {
    int kind;
    int roadIndex;
};

// Watches the layer check boxes for the right button. The press is swallowed, so a right click
// never ticks or unticks the box.
class RightClickFilter : public QObject {
public:
    RightClickFilter(frmMain* window, QHash<QObject*, LayerBox> boxes)
        : QObject(window), m_window(window), m_boxes(std::move(boxes))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
            return false;
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
            return false;
        const auto it = m_boxes.constFind(watched);
        if (it == m_boxes.constEnd())
            return false;
        if (type == QEvent::MouseButtonPress && static_cast<QWidget*>(watched)->isEnabled())
            m_window->openLayerProperty(it->kind, it->roadIndex);
        return true;
    }

private:
    frmMain* m_window;
    QHash<QObject*, LayerBox> m_boxes;
};

} // namespace

void frmMain::installLayerPropertyClicks()
{
    QHash<QObject*, LayerBox> boxes;
    const std::pair<const char*, int> rows[] = {{"chkCity", output::kRowNames},          {"chkTown", output::kRowTowns},
                                                {"chkEki", output::kRowStations},        {"chkBuild", output::kRowMarkers},
                                                {"chkBuildName", output::kRowFacilityNames}, {"chkTrain", output::kRowRailway},
                                                {"chkBuildRank", output::kRowRankCircles}};
    for (const auto& [name, kind] : rows) {
        if (auto* box = findChild<QCheckBox*>(QString::fromLatin1(name)))
            boxes.insert(box, {kind, 0});
    }
    for (int i = 0; i < 3; ++i) {
        if (auto* box = findChild<QCheckBox*>(arrayName("chkRoad", i)))
            boxes.insert(box, {output::kRowRoads, i});
    }
    auto* filter = new RightClickFilter(this, boxes);
    for (QObject* box : boxes.keys())
        box->installEventFilter(filter);
}

void frmMain::openLayerProperty(int kind, int roadIndex)
{
    MdlMain& s = mdlMain();
    s.PropertyKind = static_cast<int16_t>(kind);
    if (kind == output::kRowRoads)
        s.PropertyRoadIndex = static_cast<int16_t>(roadIndex);
    output::frmProperty dialog(m_labels, m_canvas, this);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    // The rank circles are rebuilt from row 7 after this dialog closes, confirmed or not.
    if (kind == output::kRowRankCircles) {
        chkBuildRank_Click();
        return;
    }
    if (!confirmed)
        return;

    auto ticked = [this](const QString& name) {
        const auto* box = findChild<QCheckBox*>(name);
        return box && box->isChecked();
    };
    if (dialog.followUp() == output::LayerFollowUp::RedrawRailways) {
        // The new colours are drawn over the railways already on the map.
        if (ticked(QStringLiteral("chkTrain"))) {
            処理中(false);
            鉄道描画();
            処理中(true);
        }
        m_picMain->update();
        return;
    }
    if (dialog.followUp() == output::LayerFollowUp::RedrawRoads && ticked(arrayName("chkRoad", roadIndex))) {
        // All ticked roads are drawn again at once over the old ones in the new colour.
        処理中(false);
        道路描画();
        処理中(true);
    }
    m_picMain->update();
}

} // namespace miratos::app
