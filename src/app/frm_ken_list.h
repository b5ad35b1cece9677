#pragma once
// The prefecture dialog: which prefectures and overlay layers to load, and the mode's options.
#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace miratos::app {

class frmKenList : public QDialog {
    Q_OBJECT
public:
    explicit frmKenList(QWidget* parent = nullptr);

private:
    void chkAll_Click();
    void cmdGo_Click();

    QCheckBox* m_chkKen[48] = {};
    QCheckBox* m_chkAll = nullptr;
    QCheckBox* m_chkTrain = nullptr;
    QCheckBox* m_chkRoad = nullptr;
    QCheckBox* m_chkBuild = nullptr;
    QCheckBox* m_chkSeparate = nullptr;
    QCheckBox* m_chkSpecialCoordinate = nullptr;
    QCheckBox* m_chkTownLevel = nullptr;
    QRadioButton* m_optNen[2] = {};
    QList<QRadioButton*> m_optNenOther; // years of imported district files besides 12 and 17
};

} // namespace miratos::app
