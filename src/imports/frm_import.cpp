#include "imports/frm_import.h"

#include "imports/import_engine.h"
#include "platform/app_folder.h"
#include "platform/prompts.h"
#include "platform/widgets_ui.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <new>

namespace miratos::imports {
namespace {

const QString kFilter = QStringLiteral(
    "取り込めるファイル (*.zip *.geojson *.json *.topojson *.shp *.gpkg *.gml *.csv *.txt *.xlsx *.xls);;すべてのファイル (*)");

enum Column { KindColumn, YearColumn, PlacesColumn, CountColumn, FileColumn, ProblemColumn, ColumnCount };

QString countText(const ImportInput& input)
{
    if (input.count < 0)
        return QStringLiteral("—");
    return QLocale(QLocale::Japanese).toString(input.count) + QLatin1Char(' ') + input.countUnit;
}

} // namespace

frmImport::frmImport(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("データ取込"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);

    auto* hint = new QLabel(QStringLiteral("ダウンロードしたファイル・フォルダ・zip をここにドロップするか、「追加…」で選んでください。"
                                           "「取込」を押すまで何も書きません。"),
                            this);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);

    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("grdInputs"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("種類"), QStringLiteral("年"), QStringLiteral("地域"),
                                       QStringLiteral("件数"), QStringLiteral("ファイル"), QStringLiteral("問題")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    m_grid->setWordWrap(false);
    m_grid->setTextElideMode(Qt::ElideMiddle);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    m_cmdAdd = platform::makeButton(this, QStringLiteral("cmdAdd"), QStringLiteral("追加…"));
    m_cmdClear = platform::makeButton(this, QStringLiteral("cmdClear"), QStringLiteral("一覧を空にする"));
    m_cmdImport = platform::makeButton(this, QStringLiteral("cmdImport"), QStringLiteral("取込"));
    m_cmdCancel = platform::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("中止"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgImport"));
    m_progress->setValue(0);
    m_lblNow = new QLabel(this);
    m_lblNow->setObjectName(QStringLiteral("lblNow"));
    m_summary = new QPlainTextEdit(this);
    m_summary->setObjectName(QStringLiteral("txtSummary"));
    m_summary->setReadOnly(true);
    m_summary->setPlaceholderText(QStringLiteral("取込の結果がここに出ます"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdAdd);
    buttons->addWidget(m_cmdClear);
    buttons->addStretch();
    buttons->addWidget(m_cmdImport);
    buttons->addWidget(m_cmdCancel);
    auto* run = new QHBoxLayout;
    run->addWidget(m_progress, 1);
    run->addWidget(m_lblNow, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_grid, 3);
    layout->addLayout(buttons);
    layout->addLayout(run);
    layout->addWidget(m_summary, 2);

    connect(m_cmdAdd, &QPushButton::clicked, this, &frmImport::chooseFiles);
    connect(m_cmdClear, &QPushButton::clicked, this, [this] {
        m_inputs.clear();
        m_expansions.clear();
        m_grid->setRowCount(0);
        updateButtons();
    });
    connect(m_cmdImport, &QPushButton::clicked, this, &frmImport::startImport);
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] {
        if (m_cancel)
            *m_cancel = true;
        m_lblNow->setText(QStringLiteral("中止しています…（読んでいるファイルの後で止まります）"));
    });
    resize(900, 560);
    updateButtons();
}

frmImport::~frmImport()
{
    if (m_thread) {
        *m_cancel = true;
        m_thread->wait();
    }
}

void frmImport::addInputs(const QStringList& paths)
{
    QStringList fresh;
    for (const QString& path : paths) {
        const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        const bool listed = std::any_of(m_inputs.begin(), m_inputs.end(), [&](const ImportInput& i) {
            return QDir::cleanPath(QFileInfo(i.path).absoluteFilePath()) == clean;
        });
        if (!listed && !fresh.contains(clean))
            fresh << clean;
    }
    // One path at a time, so that a zip that gives nothing gets its own row with the reason.
    for (const QString& path : fresh) {
        ExpandedInputs expanded;
        std::vector<ImportInput> found = recogniseInputs({path}, expanded);
        for (const QString& error : expanded.errors) {
            ImportInput failed;
            failed.path = path;
            failed.shown = QDir::toNativeSeparators(path);
            failed.problems << error;
            found.push_back(failed);
        }
        for (ImportInput& input : found) {
            // The note on the formats of a zip passed over goes with the member that was taken.
            for (const QString& note : expanded.notes) {
                if (note.contains(QFileInfo(input.shown).fileName()))
                    input.problems << note;
            }
            appendRow(input);
            m_inputs.push_back(std::move(input));
        }
        m_expansions.push_back(std::move(expanded));
    }
    updateButtons();
}

void frmImport::appendRow(const ImportInput& input)
{
    const int row = m_grid->rowCount();
    m_grid->insertRow(row);
    const QString texts[ColumnCount] = {kindName(input.kind), input.year, input.places, countText(input),
                                        input.shown, input.problems.join(QStringLiteral(" / "))};
    for (int c = 0; c < ColumnCount; ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        item->setToolTip(texts[c]);
        if (c == CountColumn)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (!input.problems.isEmpty() && input.kind == InputKind::Unknown)
            item->setForeground(QColor(0xb0, 0x00, 0x00));
        m_grid->setItem(row, c, item);
    }
    m_grid->resizeColumnsToContents();
    // Long zip member paths are shortened in the middle, so the problems stay in sight.
    m_grid->setColumnWidth(FileColumn, std::min(m_grid->columnWidth(FileColumn), 380));
    m_grid->horizontalHeader()->setStretchLastSection(true);
}

void frmImport::updateButtons()
{
    const bool running = isRunning();
    const bool anyImportable = std::any_of(m_inputs.begin(), m_inputs.end(), [](const ImportInput& i) { return i.kind != InputKind::Unknown; });
    m_cmdAdd->setEnabled(!running);
    m_cmdClear->setEnabled(!running && !m_inputs.empty());
    m_cmdImport->setEnabled(!running && anyImportable);
    m_cmdCancel->setEnabled(running);
    setAcceptDrops(!running);
}

void frmImport::chooseFiles()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("取り込むファイル");
    request.filter = kFilter;
    request.startFolder = platform::AppFolder::convertFolder();
    if (const auto files = platform::prompts().openFiles(request))
        addInputs(*files);
}

void frmImport::dragEnterEvent(QDragEnterEvent* event)
{
    if (!isRunning() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmImport::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    addInputs(paths);
}

void frmImport::startImport()
{
    std::vector<ImportInput> importable;
    QStringList skipped;
    for (const ImportInput& input : m_inputs) {
        if (input.kind == InputKind::Unknown)
            skipped << QStringLiteral("%1: %2").arg(input.shown, input.problems.join(QStringLiteral(" / ")));
        else
            importable.push_back(input);
    }
    if (importable.empty())
        return;
    m_written.clear();
    m_problems = skipped;
    m_summary->clear();
    m_progress->setRange(0, static_cast<int>(importable.size()));
    m_progress->setValue(0);
    m_lblNow->setText(QStringLiteral("取り込んでいます…"));
    m_cancel = std::make_shared<std::atomic<bool>>(false);

    // The hooks run on the worker thread; what they tell goes to the window through its queue.
    QPointer<frmImport> self(this);
    auto post = [self](std::function<void(frmImport&)> f) {
        QMetaObject::invokeMethod(self.data(), [self, f] {
            if (self)
                f(*self);
        }, Qt::QueuedConnection);
    };
    ImportHooks hooks;
    // Messages name a zip's copies by the zip and member, as the rows do.
    const auto expansions = m_expansions;
    const auto shown = [expansions](QString text) {
        for (const ExpandedInputs& e : expansions)
            text = e.shown(text);
        return text;
    };
    hooks.progress = [post, shown](const QString& raw) {
        const QString line = shown(raw);
        post([line](frmImport& w) {
            w.m_lblNow->setText(line);
            if (line.contains(QStringLiteral("書きました")) && !w.m_written.contains(line))
                w.m_written << line; // a prefecture's boundary files
        });
    };
    hooks.result = [post, shown](const QString& raw) {
        const QString line = shown(raw);
        post([line](frmImport& w) {
            if (!w.m_written.contains(line))
                w.m_written << line;
        });
    };
    hooks.problem = [post, shown](const QString& raw) {
        const QString message = shown(raw);
        post([message](frmImport& w) { w.m_problems << message; });
    };
    hooks.step = [post](int done, int) { post([done](frmImport& w) { w.m_progress->setValue(done); }); };
    const auto cancel = m_cancel;
    hooks.cancelled = [cancel] { return cancel->load(); };

    m_thread = QThread::create([importable = std::move(importable), hooks, post] {
        ImportOutcome outcome;
        try {
            outcome = runImport(importable, {}, hooks);
        } catch (const std::bad_alloc&) {
            outcome.failed = true;
            hooks.problem(QStringLiteral("メモリが足りません"));
        }
        post([outcome](frmImport& w) { w.finishImport(outcome.cancelled, outcome.failed); });
    });
    updateButtons();
    m_thread->start();
}

void frmImport::finishImport(bool cancelled, bool failed)
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    QStringList text;
    if (cancelled) {
        text << QStringLiteral("中止しました。ファイルは何も変わっていません。");
    } else {
        text << (failed ? QStringLiteral("取込が終わりました（取り込めなかったものがあります）。") : QStringLiteral("取込が終わりました。"));
        text << QString() << QStringLiteral("書いたもの:");
        text << (m_written.isEmpty() ? QStringList{QStringLiteral("（なし）")} : m_written);
    }
    if (!m_problems.isEmpty())
        text << QString() << QStringLiteral("飛ばしたもの:") << m_problems;
    m_summary->setPlainText(text.join(QLatin1Char('\n')));
    m_lblNow->setText(cancelled ? QStringLiteral("中止しました") : QStringLiteral("終わりました"));
    if (!cancelled)
        m_progress->setValue(m_progress->maximum());
    updateButtons();
    emit importFinished();
    if (m_closeAfterRun)
        close();
}

void frmImport::closeEvent(QCloseEvent* event)
{
    // A running import is cancelled first; the window closes once it has stopped.
    if (isRunning()) {
        *m_cancel = true;
        m_closeAfterRun = true;
        event->ignore();
        return;
    }
    if (m_onClose)
        m_onClose();
    event->accept();
}

} // namespace miratos::imports
