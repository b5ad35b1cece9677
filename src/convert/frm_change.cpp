#include "convert/frm_change.h"
#include "convert/facility_converter.h"

#include "platform/program_end_ui.h"
#include "platform/widgets_ui.h"
#include "convert/boundary_converter.h"
#include "convert/data_file_name.h"
#include "convert/railway_converter.h"
#include "convert/road_converter.h"
#include "store/railway_files.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "platform/path_part.h"
#include "platform/prompts.h"
#include "platform/ui_yield.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace miratos::convert {
namespace {

using platform::makeButton;
using platform::makeCheck;
using platform::makeLabel;
using platform::makeText;

const QString kXmlFilter = QStringLiteral("データファイル(*.xml)");
// The filter "*.xml;*.txt" written the way the Qt dialog takes several patterns.
const QString kXmlTxtFilter = QStringLiteral("データファイル(*.xml *.txt)");

// The end of a road conversion: the lines left out, then the end message; or why it failed.
void reportRoadConversion(const Result<RoadConversion>& result)
{
    platform::flushUi();
    if (!result) {
        platform::warn(QStringLiteral("残念"), QStringLiteral("変換できませんでした。\n") + result.error());
        return;
    }
    if (!result->problems.isEmpty()) {
        QStringList notes{QStringLiteral("次の行は形式が違うため、そのまま変換できませんでした。")};
        notes << result->problems.mid(0, 20);
        if (result->problems.size() > 20)
            notes << QStringLiteral("ほか %1 件").arg(result->problems.size() - 20);
        platform::warn(QStringLiteral("要確認"), notes.join(QLatin1Char('\n')));
    }
    platform::prompts().message(platform::MsgIcon::None, platform::MsgButtons::Ok, QStringLiteral("変換終了"), QStringLiteral("変換終了！"));
}

} // namespace

// ---- shared frame

ChangeWindow::ChangeWindow(const QString& name, const QString& title, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    m_txtFile2 = makeText(this, QStringLiteral("txtFile2"));
    m_cmdFile2 = makeButton(this, QStringLiteral("cmdFile2"), QStringLiteral("参照"));
    m_cmdChange = makeButton(this, QStringLiteral("cmdChange"), QStringLiteral("変換"));
    m_lblIng = makeLabel(this, QStringLiteral("lblIng"), QStringLiteral("処理中"));
    m_lblNow = makeLabel(this, QStringLiteral("lblNow"), QString());
    m_lblSub = makeLabel(this, QStringLiteral("lblSub"), QString());
    m_label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("/"));
    m_lblAll = makeLabel(this, QStringLiteral("lblAll"), QString());
    m_lblIng->setVisible(false);
    m_label1->setVisible(false);
    m_lblAll->setVisible(false);
    m_lblNow->setMinimumWidth(90);
    m_lblSub->setMinimumWidth(90);
}

ChangeWindow::~ChangeWindow() = default;

QRadioButton* ChangeWindow::addOption(int index, const QString& caption)
{
    return platform::makeOption(this, platform::arrayName("optMode", index), caption);
}

QCheckBox* ChangeWindow::addCheck(const QString& name, const QString& caption)
{
    QCheckBox* check = makeCheck(this, name, caption);
    check->setChecked(true);
    return check;
}

QString ChangeWindow::askDataFile(const QString& filter) const
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("xmlファイルデータ変換");
    request.filter = filter;
    request.startFolder = platform::AppFolder::convertFolder();
    return platform::prompts().openFile(request).value_or(QString());
}

void ChangeWindow::beginRun()
{
    m_running = true;
    m_cmdChange->setEnabled(false);
    m_lblIng->setVisible(true);
    platform::flushUi();
}

void ChangeWindow::endRun(bool clearCounters)
{
    m_cmdChange->setEnabled(true);
    m_lblIng->setVisible(false);
    if (clearCounters) {
        m_lblAll->clear();
        m_lblNow->clear();
        m_lblSub->clear();
    }
    m_running = false;
    if (m_closeRequested)
        close();
}

void ChangeWindow::showCounter(qint64 counter)
{
    m_lblNow->setText(QString::number(counter));
    serveUi();
}

void ChangeWindow::serveUi()
{
    // Timed here rather than by counting calls: a call comes every 100 nodes, or after every
    // chunk of a file being read, which can be far apart.
    if (m_uiTimer.isValid() && m_uiTimer.elapsed() < 30)
        return;
    platform::flushUi();
    m_uiTimer.restart();
}

QHBoxLayout* ChangeWindow::runRow()
{
    auto* run = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{m_cmdChange, m_lblIng, m_lblNow, m_label1, m_lblAll, m_lblSub})
        run->addWidget(w);
    run->addStretch();
    return run;
}

void ChangeWindow::closeEvent(QCloseEvent* event)
{
    // Closing ends the program. A running conversion serves the user interface on its way, so a
    // close then waits until the conversion has finished.
    if (m_running) {
        m_closeRequested = true;
        hide();
        event->ignore();
        return;
    }
    event->accept();
    platform::endProgram();
}

// ---- frmChange_P

frmChange_P::frmChange_P(QWidget* parent)
    : ChangeWindow(QStringLiteral("frmChange_P"), QStringLiteral("都道府県データ変換プログラム"), parent)
{
    m_optMode[0] = addOption(0, QStringLiteral("行政区域データ（県によっては時間かかります）"));
    m_optMode[1] = addOption(1, QStringLiteral("公共施設データ"));
    m_optMode[3] = addOption(3, QStringLiteral("道路データ"));
    m_optMode[4] = addOption(4, QStringLiteral("国勢調査データ"));
    m_optMode[0]->setChecked(true);

    auto* label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("説明ファイル（行政区域データ=KS-META-N～～.xml)"));
    m_txtFile1 = makeText(this, QStringLiteral("txtFile1"));
    auto* cmdFile1 = makeButton(this, QStringLiteral("cmdFile1"), QStringLiteral("参照"));
    auto* label3 = makeLabel(this, QStringLiteral("Label3"),
                             QStringLiteral("データファイル（行政区域データ=N～～.xml)（公共施設データ=P～～.xml)(道路データ=N～～.txt)"));
    auto* label4 = makeLabel(this, QStringLiteral("Label4"), QStringLiteral("県名"));
    m_cboPref = new QComboBox(this);
    m_cboPref->setObjectName(QStringLiteral("cboPref"));
    // Editable, as the window writes "ERROR" into it for a file name it cannot place.
    m_cboPref->setEditable(true);
    m_cboPref->setInsertPolicy(QComboBox::NoInsert);
    const QString initIni = platform::AppFolder::initIni();
    for (int i = 1; i <= 47; ++i)
        m_cboPref->addItem(platform::GetINIValue(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Pref"), initIni));
    m_cboPref->setCurrentIndex(0);

    auto* label5 = makeLabel(this, QStringLiteral("Label5"), QStringLiteral("国勢調査Ｈ１２　第１次基本集計結果　（各都道府県）"));
    auto* chk1 = addCheck(QStringLiteral("chk1"), QStringLiteral("12a001.xls  「第 1 表 人口，人口増減（平成7年～12年），面積及び人口密度」"));
    auto* chk2 = addCheck(QStringLiteral("chk2"), QStringLiteral("12a003.xls  「第 2 表 男女別人口及び世帯の種類（2区分）別世帯数」"));
    auto* label6 = makeLabel(this, QStringLiteral("Label6"), QStringLiteral("国勢調査Ｈ１７　統計表　第２表　（各都道府県）"));
    auto* chk3 = addCheck(QStringLiteral("chk3"), QStringLiteral("17a002.xls  「全国・都道府県・市区町村別人口(要計表による人口)」"));
    label6->setVisible(false);
    chk3->setVisible(false);
    auto* label7 = makeLabel(this, QStringLiteral("Label7"), QStringLiteral("国勢調査Ｈ１７　第１次基本集計結果　（各都道府県）"));
    auto* chk4 = addCheck(QStringLiteral("chk4"), QStringLiteral("17a001.xls  「第 1 表 人口，人口増減（平成12年～17年），面積及び人口密度」"));
    auto* chk5 = addCheck(QStringLiteral("chk5"), QStringLiteral("17a003.xls  「第 2 表 男女別人口及び世帯の種類（2区分）別世帯数」"));

    auto* layout = new QVBoxLayout(this);
    for (int i : {0, 1, 3, 4})
        layout->addWidget(m_optMode[i]);
    layout->addSpacing(8);
    auto* files = new QGridLayout;
    files->addWidget(label2, 0, 0, 1, 2);
    files->addWidget(m_txtFile1, 1, 0);
    files->addWidget(cmdFile1, 1, 1);
    files->addWidget(label3, 2, 0, 1, 2);
    files->addWidget(m_txtFile2, 3, 0);
    files->addWidget(m_cmdFile2, 3, 1);
    layout->addLayout(files);
    auto* pref = new QHBoxLayout;
    pref->addWidget(label4);
    pref->addWidget(m_cboPref);
    pref->addStretch();
    layout->addLayout(pref);
    layout->addSpacing(8);
    for (QWidget* w : std::initializer_list<QWidget*>{label5, chk1, chk2, label6, chk3, label7, chk4, chk5})
        layout->addWidget(w);
    layout->addSpacing(8);
    layout->addLayout(runRow());

    connect(cmdFile1, &QPushButton::clicked, this, [this] { cmdFile1_Click(); });
    connect(m_cmdFile2, &QPushButton::clicked, this, [this] { cmdFile2_Click(); });
    connect(m_cmdChange, &QPushButton::clicked, this, [this] { cmdChange_Click(); });
}

void frmChange_P::cmdFile1_Click()
{
    const QString path = askDataFile(kXmlFilter);
    if (!path.isEmpty())
        m_txtFile1->setText(path);
}

void frmChange_P::cmdFile2_Click()
{
    const QString path = askDataFile(kXmlTxtFilter);
    if (path.isEmpty())
        return;
    m_txtFile2->setText(path);
    m_cboPref->setEditText(prefNameFromDataFileName(path, platform::AppFolder::initIni()));
}

void frmChange_P::cmdChange_Click()
{
    if (m_optMode[0]->isChecked())
        行政区域();
    else if (m_optMode[1]->isChecked())
        公共施設();
    else if (m_optMode[3]->isChecked())
        道路();
    else
        統計();
}

void frmChange_P::行政区域()
{
    beginRun();
    const QString meta = m_txtFile1->text();
    const QString data = m_txtFile2->text();
    if (!isXmlPath(meta) || !isXmlPath(data)) {
        endRun(true);
        return;
    }
    QString prefName;
    int code = 0;
    if (!chosenPrefecture(&prefName, &code)) {
        endRun(true);
        return;
    }
    BoundaryProgress progress;
    progress.counter = [this](qint64 counter) { showCounter(counter); };
    progress.yield = [this] { serveUi(); };
    const auto report = convert::行政区域({meta, data, code}, platform::AppFolder::prefFolder(prefName), progress);
    platform::flushUi();
    if (!report) {
        platform::warn(QStringLiteral("残念"), QStringLiteral("変換できませんでした。\n") + report.error());
    } else {
        // One message for everything the user should know: the features left out, each by its
        // identifier (the first 20), and the warnings.
        QStringList notes = report->warnings;
        if (!report->skipped.isEmpty()) {
            notes << QStringLiteral("次の %1 件は変換できないため飛ばしました。").arg(report->skipped.size());
            notes << report->skipped.mid(0, 20);
            if (report->skipped.size() > 20)
                notes << QStringLiteral("ほか %1 件").arg(report->skipped.size() - 20);
        }
        if (!notes.isEmpty())
            platform::warn(QStringLiteral("要確認"), notes.join(QLatin1Char('\n')));
        platform::prompts().message(platform::MsgIcon::None, platform::MsgButtons::Ok, QStringLiteral("変換終了"), boundaryDoneText());
    }
    endRun(true);
}

bool frmChange_P::chosenPrefecture(QString* name, int* code)
{
    const QString prefName = m_cboPref->currentText();
    const int index = m_cboPref->findText(prefName, Qt::MatchExactly);
    if (index < 0 || prefName.isEmpty()) {
        platform::warn(QStringLiteral("要確認"), QStringLiteral("県名「%1」は一覧にありません。県名を選んでください。").arg(prefName));
        return false;
    }
    // The output folder is built from the name; one that is no plain folder name (such as
    // "..\x" in Init.ini) would lead out of MapData.
    if (platform::safePathPart(prefName) != prefName) {
        platform::warn(QStringLiteral("要確認"),
                       QStringLiteral("県名「%1」は MapData の中のフォルダ名に使えません（「\\」「/」「..」などを含みます）。"
                                      "Init.ini の [Pref] を確かめてください。")
                           .arg(prefName));
        return false;
    }
    *name = prefName;
    *code = index + 1;
    return true;
}

void frmChange_P::道路()
{
    const QString data = m_txtFile2->text();
    if (!isTxtPath(data))
        return; // nothing happens, as for an empty path
    beginRun();
    QString prefName;
    int code = 0;
    if (!chosenPrefecture(&prefName, &code)) {
        endRun(true);
        return;
    }
    RoadProgress progress;
    progress.total = [this](qint64 lines) { m_lblAll->setText(QString::number(lines)); };
    progress.counter = [this](qint64 counter) { showCounter(counter); };
    progress.yield = [this] { serveUi(); };
    reportRoadConversion(convert::道路(data, platform::AppFolder::prefFolder(prefName), progress));
    endRun(true);
}

void frmChange_P::公共施設()
{
    beginRun();
    const QString data = m_txtFile2->text();
    if (!isXmlPath(data)) {
        endRun(true);
        return;
    }
    const QString prefName = m_cboPref->currentText();
    if (m_cboPref->findText(prefName, Qt::MatchExactly) < 0 || prefName.isEmpty() || platform::safePathPart(prefName) != prefName) {
        platform::warn(QStringLiteral("要確認"), QStringLiteral("県名「%1」は一覧にありません。県名を選んでください。").arg(prefName));
        endRun(true);
        return;
    }
    FacilityProgress progress;
    // This conversion counts its nodes in lblSub.
    progress.counter = [this](qint64 counter) {
        m_lblSub->setText(QString::number(counter));
        serveUi();
    };
    progress.yield = [this] { serveUi(); };
    const auto report = convert::公共施設(data, platform::AppFolder::initIni(), platform::AppFolder::prefFolder(prefName), progress);
    platform::flushUi();
    if (!report) {
        platform::warn(QStringLiteral("残念"), QStringLiteral("変換できませんでした。\n") + report.error());
    } else {
        QStringList notes;
        if (report->unknownCodes > 0)
            notes << QStringLiteral("Init.ini の BuildMa・BuildMi・BuildAd にないコードが %1 種類あり、「ERROR」と書きました。").arg(report->unknownCodes);
        notes << report->notes.mid(0, 20);
        if (report->notes.size() > 20)
            notes << QStringLiteral("ほか %1 件").arg(report->notes.size() - 20);
        if (!notes.isEmpty())
            platform::warn(QStringLiteral("要確認"), notes.join(QLatin1Char('\n')));
        platform::prompts().message(platform::MsgIcon::None, platform::MsgButtons::Ok, QStringLiteral("変換終了"), QStringLiteral("変換終了！"));
    }
    endRun(true);
}

// ---- frmChange_J

frmChange_J::frmChange_J(QWidget* parent)
    : ChangeWindow(QStringLiteral("frmChange_J"), QStringLiteral("全国データ変換プログラム"), parent)
{
    m_optMode[0] = addOption(0, QStringLiteral("鉄道データ（時間かかります）"));
    m_optMode[1] = addOption(1, QStringLiteral("道路名データ"));
    m_optMode[2] = addOption(2, QStringLiteral("国勢調査データ"));
    m_optMode[0]->setChecked(true);
    auto* label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("データファイル（鉄道データ=N～～.xml)(道路データ=N～～台.txt)"));
    auto* label4 = makeLabel(this, QStringLiteral("Label4"), QStringLiteral("国勢調査Ｈ１７　第１次基本集計結果　（全国）"));
    auto* chk1 = addCheck(QStringLiteral("chk1"), QStringLiteral("17a001.xls  「第 1 表 人口，人口増減（平成12年～17年），面積及び人口密度」"));
    auto* chk2 = addCheck(QStringLiteral("chk2"), QStringLiteral("17a002.xls  「第 2 表 男女別人口及び世帯の種類（2区分）別世帯数」"));

    auto* layout = new QVBoxLayout(this);
    for (QRadioButton* option : m_optMode)
        layout->addWidget(option);
    layout->addSpacing(8);
    layout->addWidget(label3);
    auto* file = new QHBoxLayout;
    file->addWidget(m_txtFile2);
    file->addWidget(m_cmdFile2);
    layout->addLayout(file);
    layout->addSpacing(8);
    layout->addWidget(label4);
    layout->addWidget(chk1);
    layout->addWidget(chk2);
    layout->addSpacing(8);
    layout->addLayout(runRow());

    connect(m_cmdFile2, &QPushButton::clicked, this, [this] { cmdFile2_Click(); });
    connect(m_cmdChange, &QPushButton::clicked, this, [this] { cmdChange_Click(); });
}

void frmChange_J::cmdFile2_Click()
{
    const QString path = askDataFile(kXmlTxtFilter);
    if (!path.isEmpty())
        m_txtFile2->setText(path);
}

void frmChange_J::cmdChange_Click()
{
    if (m_optMode[0]->isChecked())
        鉄道();
    else if (m_optMode[1]->isChecked())
        道路();
    else
        統計();
}

void frmChange_J::鉄道()
{
    beginRun();
    const QString data = m_txtFile2->text();
    if (!isXmlPath(data)) {
        endRun(true);
        return;
    }
    RailwayProgress progress;
    progress.counter = [this](qint64 counter) { showCounter(counter); };
    progress.yield = [this] { serveUi(); };
    const auto report = convert::鉄道(data, store::railwayFolder(platform::AppFolder::mapData()), progress);
    platform::flushUi();
    if (!report)
        platform::warn(QStringLiteral("残念"), QStringLiteral("変換できませんでした。\n") + report.error());
    else
        platform::prompts().message(platform::MsgIcon::None, platform::MsgButtons::Ok, QStringLiteral("変換終了"), boundaryDoneText());
    endRun(true);
}

void frmChange_J::道路()
{
    const QString data = m_txtFile2->text();
    if (!isTxtPath(data))
        return; // nothing happens, as for an empty path
    beginRun();
    RoadProgress progress;
    progress.total = [this](qint64 lines) { m_lblAll->setText(QString::number(lines)); };
    progress.counter = [this](qint64 counter) { showCounter(counter); };
    progress.yield = [this] { serveUi(); };
    reportRoadConversion(convert::道路名(data, platform::AppFolder::mapData(), progress));
    endRun(true);
}

} // namespace miratos::convert
