#pragma once
// The display settings of one overlay kind (frmProperty, "各設定"): font size, colour and white
// background of a kind of label, the railway colours, one road colour, or the size rule and
// colour of the facility-rank circles. The row comes from PropertyKind (and PropertyRoadIndex).
#include "output/layer_settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;

namespace miratos::output {

class frmProperty : public QDialog {
    Q_OBJECT
public:
    frmProperty(mapview::LabelLayer& labels, const platform::Canvas& scale, QWidget* parent = nullptr);

    void lblColor_Click(int index);
    void chkBack_Click();
    void cmdGo_Click();
    // What the map window still has to draw after 決定.
    LayerFollowUp followUp() const { return m_followUp; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRow();

    mapview::LabelLayer& m_labels;
    const platform::Canvas& m_scale;
    int m_kind = 0;
    int m_roadIndex = 0;
    LayerFollowUp m_followUp = LayerFollowUp::Repaint;

    QLabel* m_lblFont = nullptr;
    QComboBox* m_cmbFont = nullptr;
    QLabel* m_lblRatio = nullptr;
    QComboBox* m_cmbRatio = nullptr;
    QLabel* m_lbl1 = nullptr;
    QLabel* m_lbl2 = nullptr;
    QLabel* m_lblColor[3] = {}; // elements 1 and 2
    QCheckBox* m_chkBack = nullptr;
};

} // namespace miratos::output
