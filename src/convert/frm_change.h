#pragma once
// The conversion windows the launcher opens: frmChange_P converts one prefecture's data
// (administrative boundaries, facilities, roads, census tables), frmChange_J nationwide data
// (railways, road names, census tables). Both share the run frame: "変換" disabled and "処理中"
// shown while a conversion runs, the node counter in lblNow, a message at the end. Closing either
// window ends the program.
#include <QElapsedTimer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace miratos::convert {

// The controls and the run frame both windows share.
class ChangeWindow : public QWidget {
    Q_OBJECT
public:
    ~ChangeWindow() override;

protected:
    ChangeWindow(const QString& name, const QString& title, QWidget* parent);

    // The options and check boxes are created by each window; the shared controls here.
    QRadioButton* addOption(int index, const QString& caption);
    QCheckBox* addCheck(const QString& name, const QString& caption);
    // A file dialog started in 変換フォルダ; empty text when cancelled.
    QString askDataFile(const QString& filter) const;

    // Run frame: disable "変換" and show "処理中"; at the end enable it again, hide "処理中" and
    // (clearCounters) clear lblAll, lblNow and lblSub.
    void beginRun();
    void endRun(bool clearCounters);
    // The counter of a running conversion, shown in lblNow; the user interface is served on the
    // way, but only every ~30 ms.
    void showCounter(qint64 counter);
    // Serves the user interface when ~30 ms have passed since the last time.
    void serveUi();
    // The census workbook run of either window (frm_change_census.cpp).
    void runCensus(bool prefEdition, const QString& outputFolder);
    // The row under the options: the 変換 button, 処理中 and the counters.
    QHBoxLayout* runRow();

    void closeEvent(QCloseEvent* event) override;

    QPushButton* m_cmdChange = nullptr;
    QLabel* m_lblIng = nullptr;
    QLabel* m_lblNow = nullptr;
    QLabel* m_lblSub = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_lblAll = nullptr;
    QLineEdit* m_txtFile2 = nullptr;
    QPushButton* m_cmdFile2 = nullptr;

private:
    bool m_running = false;
    bool m_closeRequested = false;
    QElapsedTimer m_uiTimer;
};

class frmChange_P : public ChangeWindow {
    Q_OBJECT
public:
    explicit frmChange_P(QWidget* parent = nullptr);

    // The administrative boundary conversion of the chosen files into the chosen prefecture's
    // folder.
    void 行政区域();
    // The road data of the chosen text file into the chosen prefecture's Road.dat.
    void 道路();
    // The census workbooks of 変換フォルダ into the chosen prefecture's folder.
    void 統計();
    // The facility conversion of the data file into the chosen prefecture's Build.dat.
    void 公共施設();

private:
    // The prefecture chosen in cboPref, when its name is in the list and usable as a folder
    // name; otherwise a message has been shown.
    bool chosenPrefecture(QString* name, int* code);
    void cmdFile1_Click();
    void cmdFile2_Click();
    void cmdChange_Click();

    QRadioButton* m_optMode[5] = {}; // element 2 does not exist in this window
    QLineEdit* m_txtFile1 = nullptr;
    QComboBox* m_cboPref = nullptr;
};

class frmChange_J : public ChangeWindow {
    Q_OBJECT
public:
    explicit frmChange_J(QWidget* parent = nullptr);

    // The railway conversion of the chosen file into MapData\鉄道.
    void 鉄道();
    // The road-name list of the chosen text file into MapData\RoadName.dat.
    void 道路();
    // The nationwide census workbooks of 変換フォルダ into MapData.
    void 統計();

private:
    void cmdFile2_Click();
    void cmdChange_Click();

    QRadioButton* m_optMode[3] = {};
};

} // namespace miratos::convert
