#pragma once
// "計算列": adds a column to the extracted statistic table from an expression, showing the
// values of its first rows while the expression is typed.
#include "stats/expression.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace miratos::stats {

class frmCompute : public QDialog {
    Q_OBJECT
public:
    // Rows the preview shows.
    static constexpr int kPreviewRows = 10;

    frmCompute(AreaLookup area, QWidget* parent = nullptr);

    void cmdAdd_Click();
    void updatePreview();

private:
    void insertColumn(const QString& header);

    AreaLookup m_area;
    QLineEdit* m_txtName = nullptr;
    QLineEdit* m_txtExpr = nullptr;
    QListWidget* m_lstColumns = nullptr;
    QTableWidget* m_tblPreview = nullptr;
    QLabel* m_lblProblem = nullptr;
};

} // namespace miratos::stats
