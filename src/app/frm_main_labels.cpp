// The map window's name labels: the check boxes of "属性表示" and the label layer on the canvas.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "mapview/map_canvas_ui.h"
#include "mapview/name_labels.h"
#include "platform/number_text.h"

#include <QCheckBox>
#include <QLineEdit>

namespace miratos::app {

using state::mdlMain;

using mapview::LabelKind;

void frmMain::applyLabelStyles()
{
    for (int k = 0; k < mapview::kLabelKinds; ++k) {
        const auto kind = static_cast<LabelKind>(k);
        m_labels.array(kind).restyle(mapview::labelStyleOf(mdlMain(), kind));
    }
}

void frmMain::chkCity_Click()
{
    m_labelEdits.clear();
    mapview::buildNameLabels(m_labels, m_tables, mdlMain(), mapview::mapModeOf(mdlMain().MapMode), m_chkCity->isChecked(), m_canvas);
    m_picMain->update();
}

mapview::TownFilter frmMain::townFilter() const
{
    mapview::TownFilter filter;
    filter.representativeOnly = m_chkRepresentTownOnly->isChecked();
    filter.minimumArea = m_chkArea->isChecked();
    filter.minimum = platform::toNumber(m_txtArea->text()).value_or(0);
    filter.topRankOnly = m_chkNoOne->isChecked();
    return filter;
}

void frmMain::chkTown_Click()
{
    m_labelEdits.clear();
    mapview::buildTownLabels(m_labels, m_tables, mdlMain(), m_chkTown->isChecked(), townFilter(), m_canvas);
    m_picMain->update();
}

void frmMain::txtArea_Change()
{
    // A new minimum takes effect when the user ticks the box again; text that is not a number
    // becomes "0". Unticking the box is a click of it: the town labels follow at once.
    if (!platform::isNumeric(m_txtArea->text())) {
        m_txtArea->setText(QStringLiteral("0"));
        return;
    }
    if (m_chkArea->isChecked()) {
        m_chkArea->setChecked(false);
        chkTown_Click();
    }
}

} // namespace miratos::app
