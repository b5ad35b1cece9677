#pragma once
// frmChange_C "市区町村データ変換プログラム": one municipality's census small areas for City
// mode. "行政区域データ" converts a small-area boundary XML into the district file; "国勢調査データ"
// converts up to eleven small-area census tables found in 変換フォルダ into statistic files.
#include "convert/frm_change.h"

class QGroupBox;

namespace miratos::convert {

class frmChange_C : public ChangeWindow {
    Q_OBJECT
public:
    explicit frmChange_C(QWidget* parent = nullptr);

    void 境界線データ変換();
    void 統計データ変換();
    int year() const { return m_year; }

private:
    void optNen_Click(int index);
    void cmdFile2_Click();
    void cmdChange_Click();

    QRadioButton* m_optMode[2] = {};
    QRadioButton* m_optNen[2] = {};
    QLineEdit* m_txtCode = nullptr;
    QLineEdit* m_txtFileName[12] = {}; // 1..11
    QCheckBox* m_chk[12] = {};         // 1..11
    int m_year = 17;
};

} // namespace miratos::convert
