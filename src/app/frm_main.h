#pragma once
// The map window. This file holds its controls and the load sequence; loaders, viewport and
// drawing live in the map view code it calls.
#include "app/water_fill.h"
#include "quiz/quiz_lists.h"

#include <QVector>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTreeWidget;

namespace miratos::app {

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // The window's load sequence (selection dialogs, then loading). Runs once the window is
    // shown; tests that drive 初期化 themselves switch it off first.
    void loadSequence();
    static void setAutoLoad(bool enabled);

    void 初期化();
    void 処理中(bool enable);
    void 描画();

    const WaterFill& waterFill() const { return m_waterFill; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QGroupBox* buildShowFrame();
    QGroupBox* buildZoomFrame();
    QGroupBox* buildPropertyFrame();
    QGroupBox* buildModifyFrame();
    QGroupBox* buildStatisticFrame();

    // Loaders, filled in by the map view.
    void データ読込_J();
    void データ読込_P();
    void データ読込_C();
    void 道路名データ読込();
    void 鉄道データ読込();

    void quizSetUp(bool cityQuiz);
    void 次の問題();

    WaterFill m_waterFill;
    QVector<int> m_prefQuizList;
    QVector<quiz::CityQuizEntry> m_cityQuizList;

    QWidget* m_picFloor = nullptr;
    QWidget* m_picMain = nullptr;
    QScrollBar* m_scrZoom = nullptr;
    QLabel* m_lblSho = nullptr;
    QLabel* m_lblDai = nullptr;
    QRadioButton* m_optMode[4] = {};
    QCheckBox* m_chkCity = nullptr;
    QWidget* m_townControls[6] = {};
    QPushButton* m_cmdReDraw = nullptr;
    QPushButton* m_cmdImageExport = nullptr;
    QGroupBox* m_fmeShow = nullptr;
    QGroupBox* m_fmeZoom = nullptr;
    QGroupBox* m_fmeProperty = nullptr;
    QGroupBox* m_fmeModify = nullptr;
    QGroupBox* m_fmeStatistic = nullptr;
    QTreeWidget* m_tvwBuild = nullptr;
    QPushButton* m_cmdNext = nullptr;
    QPushButton* m_cmdAnswer = nullptr;
    QPushButton* m_cmdHint = nullptr;
    QLineEdit* m_txtAnswer = nullptr;
};

} // namespace miratos::app
