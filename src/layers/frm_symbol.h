#pragma once
// "比例シンボル" settings, opened by a right click on the check box as the rank circles' settings
// are: the column, shape, size and colours of the symbols, and the value labels.
#include "layers/symbol_layer.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace miratos::layers {

class frmSymbol : public QDialog {
    Q_OBJECT
public:
    // columns: the headers the symbols may take (the painted column is always the first choice).
    frmSymbol(const SymbolOptions& options, const QStringList& columns, QWidget* parent = nullptr);

    // The settings as confirmed ("決定"); the ones given while the dialog is open or cancelled.
    const SymbolOptions& options() const { return m_options; }

    void cmdColor_Click(bool negative);
    void cmdGo_Click();

private:
    void showColors();

    SymbolOptions m_options;
    SymbolOptions m_edit;
    QComboBox* m_cboColumn = nullptr;
    QRadioButton* m_optCircle = nullptr;
    QRadioButton* m_optSquare = nullptr;
    QCheckBox* m_chkFlannery = nullptr;
    QSpinBox* m_txtSize = nullptr;
    QPushButton* m_cmdColor = nullptr;
    QPushButton* m_cmdNegColor = nullptr;
    QComboBox* m_cboValueLabels = nullptr;
    QSpinBox* m_txtDecimals = nullptr;
};

} // namespace miratos::layers
