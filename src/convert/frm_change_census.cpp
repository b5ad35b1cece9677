// The census workbook run of frmChange_P ("国勢調査データ", five workbooks into the chosen
// prefecture's folder) and frmChange_J (two workbooks into MapData).
#include "convert/census_workbook.h"
#include "convert/frm_change.h"
#include "platform/app_folder.h"
#include "platform/path_part.h"
#include "platform/prompts.h"
#include "platform/ui_yield.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>

namespace miratos::convert {

void ChangeWindow::runCensus(bool prefEdition, const QString& outputFolder)
{
    beginRun();
    const auto ticked = [this](const QString& box) {
        const auto* check = findChild<QCheckBox*>(box);
        return check && check->isChecked();
    };
    CensusRunReport report;
    if (!QDir(outputFolder).exists())
        report.problems << QStringLiteral("出力先のフォルダ %1 がありません").arg(QDir::toNativeSeparators(outputFolder));
    else
        report = convertCensusFolder(prefEdition, platform::AppFolder::convertFolder(), outputFolder, ticked);
    platform::flushUi();
    if (!report.problems.isEmpty())
        platform::warn(QStringLiteral("要確認"), QStringLiteral("次のブックは変換できませんでした。\n") + report.problems.join(QLatin1Char('\n')));
    endRun(true);
    platform::prompts().message(platform::MsgIcon::None, platform::MsgButtons::Ok, QStringLiteral("変換終了"), QStringLiteral("変換終了！"));
}

void frmChange_P::統計()
{
    const QString prefName = m_cboPref->currentText();
    // The output folder is built from the chosen name; one that is no plain folder name, or that
    // is not in the list, cannot be written to.
    if (m_cboPref->findText(prefName, Qt::MatchExactly) < 0 || prefName.isEmpty()
        || platform::safePathPart(prefName) != prefName) {
        platform::warn(QStringLiteral("要確認"), QStringLiteral("県名「%1」は一覧にありません。県名を選んでください。").arg(prefName));
        return;
    }
    runCensus(true, platform::AppFolder::prefFolder(prefName));
}

void frmChange_J::統計()
{
    runCensus(false, platform::AppFolder::mapData());
}

} // namespace miratos::convert
