#include "stats/frm_statistic.h"

#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "platform/widgets_ui.h"
#include "platform/app_folder.h"
#include "platform/number_text.h"
#include "platform/prompts.h"
#include "platform/ui_yield.h"
#include "stats/extraction.h"
#include "stats/frm_compute.h"
#include "store/statistic_file.h"

#include <QFile>
#include <QListWidget>
#include <QVBoxLayout>

namespace miratos::stats {

using platform::makeButton;
using platform::makeLabel;
using state::mdlMain;
using platform::warn;

namespace {

QStringList captionsOf(mapview::MapMode mode)
{
    const QString own = QStringLiteral("独自データの取り込み");
    switch (mode) {
    case mapview::MapMode::Japan:
        return {own, QStringLiteral("人口，面積，人口密度 (H17国勢調査)"), QStringLiteral("人口，男女別人口，男女比，世帯数 (H17国勢調査) "),
                QStringLiteral("人口，男女別人口，男女比 (R2国勢調査)"), QStringLiteral("人口，男女別人口 (国勢調査 1920〜2015年)")};
    case mapview::MapMode::Pref:
        return {own,
                QStringLiteral("人口，面積，人口密度 (H12国勢調査)"),
                QStringLiteral("人口，男女別人口，男女比，世帯数 (H12国勢調査) "),
                QStringLiteral("人口，男女別人口，男女比，世帯数 (H17国勢調査　要計表による)"),
                QStringLiteral("人口，面積，人口密度 (H17国勢調査)"),
                QStringLiteral("人口，男女別人口，男女比，世帯数 (H17国勢調査)"),
                QStringLiteral("人口，男女別人口，男女比 (R2国勢調査)")};
    case mapview::MapMode::Other:
        break;
    case mapview::MapMode::City:
        return {own,
                QStringLiteral("男女別人口総数及び世帯総数"),
                QStringLiteral("年齢別（５歳階級、４区分）、男女別人口"),
                QStringLiteral("世帯人員別一般世帯数"),
                QStringLiteral("世帯の家族類型別一般世帯数"),
                QStringLiteral("住宅の種類・所有の関係別一般世帯数、延べ面積"),
                QStringLiteral("住宅の建て方別世帯数"),
                QStringLiteral("６５歳以上親族のみの一般世帯数"),
                QStringLiteral("産業別（大分類）・従業上の地位別就業者数"),
                QStringLiteral("在学学校・未就学の種類別在学者数・未就学者数"),
                QStringLiteral("世帯の経済構成別一般世帯数"),
                QStringLiteral("職業別（大分類）就業者数")};
    }
    return {own};
}

} // namespace

StatisticDialog::StatisticDialog(mapview::MapMode mode, const QString& objectName, QWidget* parent) : QDialog(parent), m_mode(mode)
{
    setObjectName(objectName);
    setWindowTitle(QStringLiteral("統計データ"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(this, QStringLiteral("Label2"), QStringLiteral("使用する統計の種類を選択してください")));
    // The options share one holder, so that the busy state can disable them together and give
    // back each one's own state afterwards.
    m_options = new QWidget(this);
    auto* optionLayout = new QVBoxLayout(m_options);
    optionLayout->setContentsMargins(0, 0, 0, 0);
    const QStringList captions = captionsOf(mode);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = platform::makeOption(m_options, platform::arrayName("optStatistic", i), captions.at(i));
        m_optStatistic.append(option);
        optionLayout->addWidget(option);
    }
    layout->addWidget(m_options);
    m_optStatistic.first()->setChecked(true);
    if (mode == mapview::MapMode::City && mdlMain().DataYear == 17) {
        for (int i : {7, 9, 10, 11})
            m_optStatistic.at(i)->setEnabled(false);
    }
    auto* cmdExtract = makeButton(this, QStringLiteral("cmdExtract"), QStringLiteral("抽出"));
    m_workButtons.append(cmdExtract);
    connect(cmdExtract, &QPushButton::clicked, this, [this] { cmdExtract_Click(); });
    layout->addWidget(cmdExtract, 0, Qt::AlignLeft);
    layout->addWidget(makeLabel(this, QStringLiteral("Label1"), QStringLiteral("抽出するデータを選択してください")));
    m_lstStatistic = new QListWidget(this);
    m_lstStatistic->setObjectName(QStringLiteral("lstStatistic"));
    layout->addWidget(m_lstStatistic);

    auto* buttons = new QHBoxLayout;
    auto* cmdExport = makeButton(this, QStringLiteral("cmdExport"),
                                 mode == mapview::MapMode::City ? QStringLiteral("データ出力（計行有）") : QStringLiteral("データ出力"));
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(false); });
    m_workButtons.append(cmdExport);
    buttons->addWidget(cmdExport);
    if (mode == mapview::MapMode::City) {
        auto* cmdExport2 = makeButton(this, QStringLiteral("cmdExport2"), QStringLiteral("データ出力(計行無)"));
        connect(cmdExport2, &QPushButton::clicked, this, [this] { cmdExport_Click(true); });
        m_workButtons.append(cmdExport2);
        buttons->addWidget(cmdExport2);
    }
    auto* cmdCompute = makeButton(this, QStringLiteral("cmdCompute"), QStringLiteral("計算列…"));
    connect(cmdCompute, &QPushButton::clicked, this, [this] { cmdCompute_Click(); });
    m_workButtons.append(cmdCompute);
    buttons->addWidget(cmdCompute);
    buttons->addStretch();
    m_cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("決定"));
    connect(m_cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    buttons->addWidget(m_cmdGo);
    layout->addLayout(buttons);

    // Reopening shows the last extraction at once.
    const auto& s = mdlMain();
    if (s.StatKind > 0 && s.StatKind < m_optStatistic.size())
        m_optStatistic.at(s.StatKind)->setChecked(true);
    if (!s.StatTable.empty())
        fillList();
}

int StatisticDialog::selectedKind() const
{
    for (int i = 0; i < m_optStatistic.size(); ++i) {
        if (m_optStatistic.at(i)->isChecked())
            return i;
    }
    return 0;
}

void StatisticDialog::fillList()
{
    m_lstStatistic->clear();
    const auto& s = mdlMain();
    if (s.StatTable.empty())
        return;
    const auto& header = s.StatTable.front();
    for (int c = 1; c <= s.StatColCount && c < static_cast<int>(header.size()); ++c)
        m_lstStatistic->addItem(header[static_cast<size_t>(c)]);
}

void StatisticDialog::setBusy(bool busy)
{
    m_busy = busy;
    for (QPushButton* button : m_workButtons)
        button->setEnabled(!busy);
    m_options->setEnabled(!busy);
    m_cmdGo->setEnabled(!busy);
}

void StatisticDialog::cmdExtract_Click()
{
    // Reading yields to the window; a second 抽出 then would mix two tables into one.
    if (m_busy)
        return;
    auto& s = mdlMain();
    const int kind = selectedKind();
    if (kind != 0 && kind == s.StatKind)
        return; // already extracted
    s.StatKind = static_cast<int16_t>(kind);
    m_extracted = true;
    m_ownDataFile.clear();
    s.StatTable.clear();
    s.StatColCount = 0;
    s.StatRowCount = 0;
    setBusy(true);
    readTable(kind);
    fillList();
    setBusy(false);
    if (m_closeWhenDone)
        reject();
}

void StatisticDialog::readTable(int kind)
{
    auto& s = mdlMain();
    if (kind > 0) {
        for (const auto& [path, name] : statisticFiles(m_mode, kind, s)) {
            if (!QFile::exists(path)) {
                warn(QStringLiteral("残念"), name + QStringLiteral("のデータファイルがありません。"));
                continue;
            }
            QString note;
            const Status read =
                store::appendStatisticFile(path, s.StatTable, s.StatColCount, s.StatRowCount, false, platform::yieldToUi, &note);
            if (!read.ok())
                warn(QStringLiteral("残念"), read.error());
            else if (!note.isEmpty())
                warn(QStringLiteral("要確認"), note);
        }
        return;
    }
    platform::FileDialogRequest request;
    request.title = QStringLiteral("データ取り込み");
    request.filter = QStringLiteral("データファイル (*.csv)");
    request.startFolder = platform::AppFolder::mapData(); // where own tables usually live
    if (const auto path = platform::prompts().openFile(request)) {
        m_ownDataFile = *path;
        QString note;
        const Status read =
            store::appendStatisticFile(*path, s.StatTable, s.StatColCount, s.StatRowCount, true, platform::yieldToUi, &note);
        if (!read.ok())
            warn(QStringLiteral("残念"), read.error());
        else if (!note.isEmpty())
            warn(QStringLiteral("要確認"), note);
    }
}

void StatisticDialog::cmdExport_Click(bool withoutTotals)
{
    const auto& s = mdlMain();
    if (m_busy || s.StatRowCount == 0)
        return; // a half-read table is never written
    platform::FileDialogRequest request;
    request.title = QStringLiteral("データファイル出力");
    request.filter = QStringLiteral("データファイル (*.txt)");
    // The second choice: what the map shows, one line per drawn region.
    if (m_paintedTable)
        request.filter += QStringLiteral(";;塗り分けの表 (*.csv)");
    request.proposedName = QStringLiteral("statistic_data");
    request.startFolder = platform::AppFolder::root();
    const auto path = platform::prompts().saveFile(request);
    if (!path)
        return;
    if (m_paintedTable && path->endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        const Status written = m_paintedTable(*path);
        if (!written.ok())
            warn(QStringLiteral("残念"), written.error());
        return;
    }
    const Status written = store::exportStatisticTable(*path, s.StatTable, s.StatColCount, s.StatRowCount, withoutTotals);
    if (!written.ok())
        warn(QStringLiteral("残念"), written.error());
}

void StatisticDialog::cmdCompute_Click()
{
    if (m_busy)
        return;
    if (mdlMain().StatTable.empty()) {
        warn(QStringLiteral("だめだめ"), QStringLiteral("統計データがまだ抽出されていません。"));
        return;
    }
    frmCompute dialog(m_area, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fillList();
    m_lstStatistic->setCurrentRow(m_lstStatistic->count() - 1); // the new column, ready for 決定
}

void StatisticDialog::cmdGo_Click()
{
    if (m_busy)
        return;
    auto& s = mdlMain();
    const int row = m_lstStatistic->currentRow();
    if (row < 0 || !m_lstStatistic->currentItem()->isSelected()) {
        warn(QStringLiteral("だめだめ"), QStringLiteral("統計項目が選択されていません。"));
        return;
    }
    s.StatColumn = static_cast<int16_t>(row + 1);
    // A table without data rows has nothing to rank.
    const bool numeric = canRankColumn(s.StatTable, s.StatColumn, s.StatRowCount);
    if (!numeric) {
        warn(QStringLiteral("だめだめ"), QStringLiteral("その項目は統計処理できません。"));
        return;
    }
    s.RankBound.clear();
    s.RankReady = false;
    accept();
}

void StatisticDialog::reject()
{
    if (m_busy) {
        m_closeWhenDone = true; // the table is finished first, then the dialog closes
        return;
    }
    mdlMain().StatColumn = -1;
    QDialog::reject();
}

} // namespace miratos::stats
