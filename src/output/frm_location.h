#pragma once
// The note settings asked at the start of every image export (frmLocation, "パラメータ出力様式"):
// font size of the note box, its position and the copyright holder. The caller sets
// NoteCancelled before showing it; only 決定 clears it. Below the specified controls: the
// picture's size (paper or pixels), the credit and the north arrow, kept in windowExportOptions().
#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace miratos::output {

class frmLocation : public QDialog {
    Q_OBJECT
public:
    // credit: the lines of the data the map shows, proposed while the user has not written their own.
    explicit frmLocation(QWidget* parent = nullptr, const QStringList& credit = {});

    void cmdGo_Click();

private:
    QComboBox* m_cmbFont = nullptr;
    QButtonGroup* m_optLocation = nullptr;
    QLineEdit* m_txtMaker = nullptr;
    QButtonGroup* m_optSize = nullptr;
    QComboBox* m_cmbPaper = nullptr;
    QComboBox* m_cmbDpi = nullptr;
    QLineEdit* m_txtPixels = nullptr;
    QPlainTextEdit* m_txtCredit = nullptr;
    QCheckBox* m_chkCredit = nullptr;
    QCheckBox* m_chkNorth = nullptr;
    QCheckBox* m_chkSymbols = nullptr;
    QStringList m_proposedCredit;
};

} // namespace miratos::output
