#pragma once
// "配置設定": the settings of "ラベル配置" — ward names with their city, which stations to name,
// the order of region names, and the halo of each label kind.
#include "layers/label_placement.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

namespace miratos::app {

class frmLabelPlacement : public QDialog {
    Q_OBJECT
public:
    explicit frmLabelPlacement(const layers::PlacementOptions& options, QWidget* parent = nullptr);
    // The settings as the controls show them.
    layers::PlacementOptions options() const;

private:
    layers::PlacementOptions m_options;
    QCheckBox* m_wards = nullptr;
    QCheckBox* m_twoLines = nullptr;
    QCheckBox* m_cityForWards = nullptr;
    QCheckBox* m_inside = nullptr;
    QCheckBox* m_main = nullptr;
    QCheckBox* m_byStatistic = nullptr;
    QCheckBox* m_contrast = nullptr;
    QComboBox* m_halo[4] = {};
};

} // namespace miratos::app
