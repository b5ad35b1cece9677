#pragma once
// The colour dialogs of the filled styles: prefectures (frmKenColor) and, in City mode, the
// chosen municipalities (frmTikuColor).
#include "platform/keyed_table.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;
class QListWidget;

namespace miratos::mapview {

class frmKenColor : public QDialog {
    Q_OBJECT
public:
    frmKenColor(platform::KeyedTable& lvwTikuColor, QWidget* parent = nullptr);
    // Copies 1, 2, … of lblKen (element 0 is the hidden template).
    const QVector<QLabel*>& lblKen() const { return m_lblKen; }
    void lblKen_Click(int index);
    // "配色": the qualitative scheme chosen in cmbScheme over every region.
    void cmdScheme_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::KeyedTable& m_lvwTikuColor;
    QVector<QLabel*> m_lblKen;
    QComboBox* m_cmbScheme = nullptr;
};

class frmTikuColor : public QDialog {
    Q_OBJECT
public:
    frmTikuColor(platform::KeyedTable& lvwTikuColor, QWidget* parent = nullptr);
    void lstTiku_Click(int position);
    void lblColor_Click();
    void cmdRandom_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSwatch(int color);

    platform::KeyedTable& m_lvwTikuColor;
    QListWidget* m_lstTiku = nullptr;
    QLabel* m_lblColor = nullptr;
};

// Paints a label's background in a colour value.
void setLabelColor(QLabel* label, int color);
int labelColor(const QLabel* label);

} // namespace miratos::mapview
