#pragma once
// The note settings asked at the start of every image export (frmLocation, "パラメータ出力様式"):
// font size of the note box, its position and the copyright holder. The caller sets
// NoteCancelled before showing it; only 決定 clears it.
#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLineEdit;

namespace miratos::output {

class frmLocation : public QDialog {
    Q_OBJECT
public:
    explicit frmLocation(QWidget* parent = nullptr);

    void cmdGo_Click();

private:
    QComboBox* m_cmbFont = nullptr;
    QButtonGroup* m_optLocation = nullptr;
    QLineEdit* m_txtMaker = nullptr;
};

} // namespace miratos::output
