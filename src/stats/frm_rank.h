#pragma once
// The ranking dialog: rank count, colour series, class bounds and rank colours. It works on
// copies and stores RankCount, RankBound and RankColor only on "決定", so a dialog closed with
// its close box leaves the map's ranking whole.
#include "state/scheme_options.h"

#include <QDialog>
#include <QVector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace miratos::stats {

class frmRank : public QDialog {
    Q_OBJECT
public:
    // values: the joined values, for the extra class proposals and the count of regions per rank.
    explicit frmRank(const QVector<float>& values, QWidget* parent = nullptr);

    void cmbCo_Change();
    void cmbColor_Change();
    void cmbClass_Change();
    void lblRank_Click(int rank);
    void cmdGo_Click();
    void cmdColorSave_Click();
    void cmdColorLoad_Click();

    int rankCount() const { return m_rankCount; }
    int swatchColor(int rank) const { return m_colors.value(rank - 1); }
    // The scheme settings the controls show now (centred only for a diverging scheme).
    state::SchemeOptions schemeOptions() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void propose();
    void applySeries();
    void setSwatch(int rank, int color);
    void updateCounts();

    QVector<float> m_values;
    int m_rankCount = 5;
    QVector<int> m_colors; // swatches of ranks 1..10
    QComboBox* m_cmbCo = nullptr;
    QComboBox* m_cmbColor = nullptr;
    QComboBox* m_cmbClass = nullptr;
    QCheckBox* m_chkSuimen = nullptr;
    QCheckBox* m_chkCenter = nullptr; // diverging schemes: colours centred on txtCenter
    QLineEdit* m_txtCenter = nullptr;
    QCheckBox* m_chkNoData = nullptr;
    QCheckBox* m_chkNice = nullptr;
    QLabel* m_lblRank[11] = {};
    QLineEdit* m_txtS[11] = {};
    QLabel* m_lbl[11] = {};
    QLineEdit* m_txtG[11] = {};
    QLabel* m_lblCount[11] = {};
};

} // namespace miratos::stats
