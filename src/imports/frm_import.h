#pragma once
// データ取込: today's downloads dropped on the window (files, folders, zips) or added with 追加…
// are listed with what each holds; 取込 imports them with the same engine as `miratos import`,
// on a worker thread so that the progress bar moves and 中止 is heard. Nothing is written before
// 取込, and a cancelled run writes nothing.
#include "imports/import_inputs.h"

#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;

namespace miratos::imports {

class frmImport : public QWidget {
    Q_OBJECT
public:
    explicit frmImport(QWidget* parent = nullptr);
    ~frmImport() override;

    // What a drop or 追加… does: the paths are recognised and listed (a path already listed is
    // not listed twice).
    void addInputs(const QStringList& paths);
    const std::vector<ImportInput>& inputs() const { return m_inputs; }
    bool isRunning() const { return m_thread != nullptr; }

    // Called when the window closes (the launcher comes back).
    void setOnClose(std::function<void()> onClose) { m_onClose = std::move(onClose); }

signals:
    void importFinished();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void chooseFiles();
    void startImport();
    void finishImport(bool cancelled, bool failed);
    void appendRow(const ImportInput& input);
    void updateButtons();

    QTableWidget* m_grid = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdImport = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_lblNow = nullptr;
    QPlainTextEdit* m_summary = nullptr;

    std::vector<ImportInput> m_inputs;
    std::vector<ExpandedInputs> m_expansions; // the copies of zip members the rows point to
    QThread* m_thread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    QStringList m_written;
    QStringList m_problems;
    bool m_closeAfterRun = false;
    std::function<void()> m_onClose;
};

} // namespace miratos::imports
