#pragma once
// The district dialog: which municipalities of the chosen prefectures to draw (City mode).
#include "state/district_selection.h"

#include <QDialog>

class QCheckBox;
class QListWidget;

namespace miratos::app {


class frmTikuList : public QDialog {
    Q_OBJECT
public:
    // lvwTikuColor is the map window's table of municipality colours, filled on confirm.
    frmTikuList(platform::KeyedTable& lvwTikuColor, QWidget* parent = nullptr);

private:
    void chkAll_Click();
    void chkBefore_Click();
    void cmdGo_Click();

    platform::KeyedTable& m_lvwTikuColor;
    QVector<state::DistrictListItem> m_items; // lstShadow: the full paths, same positions as lstTiku
    QListWidget* m_lstTiku = nullptr;
    QCheckBox* m_chkAll = nullptr;
    QCheckBox* m_chkBefore = nullptr;
};

} // namespace miratos::app
