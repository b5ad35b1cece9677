#include "convert/frm_change_c.h"

#include "convert/small_area_converter.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "platform/path_part.h"
#include "platform/prompts.h"
#include "platform/ui_yield.h"
#include "platform/widgets_ui.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace miratos::convert {

using platform::makeLabel;

frmChange_C::frmChange_C(QWidget* parent)
    : ChangeWindow(QStringLiteral("frmChange_C"), QStringLiteral("市区町村データ変換プログラム"), parent)
{
    m_optMode[0] = addOption(0, QStringLiteral("行政区域データ"));
    m_optMode[1] = addOption(1, QStringLiteral("国勢調査データ"));
    m_optMode[0]->setChecked(true);
    auto* label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("データファイル（～～.xml)"));

    auto* frame1 = new QGroupBox(QStringLiteral("変換するデータの年"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* years = new QHBoxLayout(frame1);
    m_optNen[0] = platform::makeOption(frame1, platform::arrayName("optNen", 0), QStringLiteral("１２年版"));
    m_optNen[1] = platform::makeOption(frame1, platform::arrayName("optNen", 1), QStringLiteral("１７年版"));
    years->addWidget(m_optNen[0]);
    years->addWidget(m_optNen[1]);
    years->addStretch();

    auto* label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("行政区コード"));
    m_txtCode = platform::makeText(this, QStringLiteral("txtCode"));
    m_txtCode->setMaximumWidth(90);
    auto* label18 = makeLabel(this, QStringLiteral("Label18"), QStringLiteral("※5桁の数字　（例：東京都千代田区＝13101）"));

    auto* names = new QGridLayout;
    const auto& tables = smallAreaTables();
    for (int k = 1; k <= 11; ++k) {
        auto* number = makeLabel(this, QStringLiteral("Label%1").arg(k + 6), QString::number(k));
        m_txtFileName[k] = platform::makeText(this, platform::arrayName("txtFileName", k));
        m_chk[k] = addCheck(QStringLiteral("chk%1").arg(k), tables.at(static_cast<size_t>(k - 1)).caption);
        names->addWidget(number, k - 1, 0);
        names->addWidget(m_txtFileName[k], k - 1, 1);
        names->addWidget(m_chk[k], k - 1, 2);
    }
    names->setColumnStretch(2, 1);
    auto* label19 = makeLabel(this, QStringLiteral("Label19"),
                              QStringLiteral("※ここのテキストの後に、行政区コードを加えたものが、処理するファイル名となる。"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_optMode[0]);
    layout->addWidget(m_optMode[1]);
    layout->addSpacing(8);
    layout->addWidget(label3);
    auto* file = new QHBoxLayout;
    file->addWidget(m_txtFile2);
    file->addWidget(m_cmdFile2);
    layout->addLayout(file);
    layout->addWidget(frame1);
    auto* code = new QHBoxLayout;
    code->addWidget(label2);
    code->addWidget(m_txtCode);
    code->addWidget(label18);
    code->addStretch();
    layout->addLayout(code);
    layout->addSpacing(8);
    layout->addLayout(names);
    layout->addWidget(label19);
    layout->addSpacing(8);
    layout->addLayout(runRow());

    connect(m_optNen[0], &QRadioButton::clicked, this, [this] { optNen_Click(0); });
    connect(m_optNen[1], &QRadioButton::clicked, this, [this] { optNen_Click(1); });
    connect(m_cmdFile2, &QPushButton::clicked, this, [this] { cmdFile2_Click(); });
    connect(m_cmdChange, &QPushButton::clicked, this, [this] { cmdChange_Click(); });
    m_optNen[1]->setChecked(true);
    optNen_Click(1);
}

void frmChange_C::optNen_Click(int index)
{
    const QString section = index == 0 ? QStringLiteral("FileName12") : QStringLiteral("FileName17");
    const QString initIni = platform::AppFolder::initIni();
    for (int k = 1; k <= 11; ++k)
        m_txtFileName[k]->setText(platform::GetINIValue(QString::number(k), section, initIni));
    m_year = index == 0 ? 12 : 17;
    // Tables 7, 9, 10 and 11 exist only for the year-12 census.
    for (int k : {7, 9, 10, 11})
        m_chk[k]->setEnabled(index == 0);
}

void frmChange_C::cmdFile2_Click()
{
    const QString path = askDataFile(QStringLiteral("データファイル(*.xml)"));
    if (!path.isEmpty())
        m_txtFile2->setText(path);
}

void frmChange_C::cmdChange_Click()
{
    if (m_optMode[0]->isChecked())
        境界線データ変換();
    else if (m_optMode[1]->isChecked())
        統計データ変換();
}

namespace {

void done()
{
    platform::prompts().message(platform::MsgIcon::None, platform::MsgButtons::Ok, QStringLiteral("変換終了"), QStringLiteral("変換終了！"));
}

} // namespace

void frmChange_C::境界線データ変換()
{
    const auto code = smallAreaCodeOfPath(m_txtFile2->text());
    if (!code)
        return;
    m_txtCode->setText(*code);
    const QString folder = smallAreaPrefFolder(*code);
    if (folder.isEmpty())
        return;
    if (!QDir(folder).exists()) {
        platform::warn(QStringLiteral("要確認"),
                       QStringLiteral("出力先のフォルダ %1 がありません。先に都道府県の行政区域データを変換してください。")
                           .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    beginRun();
    const auto report = convertSmallAreaBoundary(m_txtFile2->text(), m_year, *code, folder, [this](qint64 n) { showCounter(n); });
    platform::flushUi();
    endRun(true);
    if (!report)
        platform::warn(QStringLiteral("残念"), QStringLiteral("変換できませんでした。\n") + report.error());
    else
        done();
}

void frmChange_C::統計データ変換()
{
    const QString code = m_txtCode->text();
    const QString folder = smallAreaPrefFolder(code);
    if (folder.isEmpty())
        return;
    beginRun();
    m_lblAll->setVisible(true);
    QStringList problems;
    const QDir in(platform::AppFolder::convertFolder());
    for (int n = 1; n <= 11; ++n) {
        m_lblAll->setText(QString::number(n));
        serveUi();
        if (!m_chk[n]->isChecked())
            continue;
        const QString input = in.filePath(platform::safePathPart(m_txtFileName[n]->text() + code + QStringLiteral(".txt")));
        if (!QFileInfo::exists(input))
            continue;
        const QString output = QDir(folder).filePath(
            platform::safePathPart(QStringLiteral("%1_%2_statistic%3.csv").arg(m_year).arg(code).arg(n)));
        if (Status written = convertSmallAreaTable(input, output, smallAreaTables().at(static_cast<size_t>(n - 1))); !written)
            problems << written.error();
    }
    platform::flushUi();
    m_lblAll->setVisible(false);
    endRun(true);
    if (!problems.isEmpty())
        platform::warn(QStringLiteral("要確認"), QStringLiteral("次の表は変換できませんでした。\n") + problems.join(QLatin1Char('\n')));
    done();
}

} // namespace miratos::convert
