#pragma once
// The statistic dialogs of the three map modes: choose a statistic kind, extract it from the
// statistic files of the drawn areas (or from a table of the user's own), export it, and choose
// the column to rank.
#include "mapview/renderer.h"
#include "stats/expression.h"

#include <QDialog>
#include <QVector>
#include <functional>

class QListWidget;
class QPushButton;
class QRadioButton;

namespace miratos::stats {

class StatisticDialog : public QDialog {
    Q_OBJECT
public:
    void cmdExtract_Click();
    void cmdExport_Click(bool withoutTotals);
    void cmdGo_Click();
    // "計算列…": a column computed from the others joins the table and is chosen in the list.
    void cmdCompute_Click();

    // Where 面積() of a computed column finds the drawn regions' areas.
    void setAreaLookup(AreaLookup area) { m_area = std::move(area); }
    // The map window's table of what was painted, offered by "データ出力" as a CSV choice.
    void setPaintedTable(std::function<Status(const QString&)> write) { m_paintedTable = std::move(write); }

    void reject() override; // the window's close box; while reading, the dialog closes after it

    // Whether 抽出 read a table while the dialog was open, and the own table it read (empty for a
    // statistic kind), for a saved map.
    bool extracted() const { return m_extracted; }
    const QString& ownDataFile() const { return m_ownDataFile; }

    // True while a table is being read: the buttons that start work are disabled meanwhile.
    bool isBusy() const { return m_busy; }

protected:
    StatisticDialog(mapview::MapMode mode, const QString& objectName, QWidget* parent);

private:
    void fillList();
    int selectedKind() const;
    void setBusy(bool busy);
    void readTable(int kind);

    mapview::MapMode m_mode;
    QWidget* m_options = nullptr;
    QVector<QRadioButton*> m_optStatistic;
    QListWidget* m_lstStatistic = nullptr;
    QPushButton* m_cmdGo = nullptr;
    QVector<QPushButton*> m_workButtons; // 抽出 and the export buttons
    AreaLookup m_area;
    std::function<Status(const QString&)> m_paintedTable;
    bool m_busy = false;
    bool m_closeWhenDone = false;
    bool m_extracted = false;
    QString m_ownDataFile;
};

class frmStatistic_J : public StatisticDialog {
    Q_OBJECT
public:
    explicit frmStatistic_J(QWidget* parent = nullptr) : StatisticDialog(mapview::MapMode::Japan, QStringLiteral("frmStatistic_J"), parent) {}
};

class frmStatistic_P : public StatisticDialog {
    Q_OBJECT
public:
    explicit frmStatistic_P(QWidget* parent = nullptr) : StatisticDialog(mapview::MapMode::Pref, QStringLiteral("frmStatistic_P"), parent) {}
};

class frmStatistic_C : public StatisticDialog {
    Q_OBJECT
public:
    explicit frmStatistic_C(QWidget* parent = nullptr) : StatisticDialog(mapview::MapMode::City, QStringLiteral("frmStatistic_C"), parent) {}
};

} // namespace miratos::stats
