#include "app/frm_main.h"

#include "app/frm_ken_list.h"
#include "app/frm_tiku_list.h"
#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "platform/widgets_ui.h"
#include "mapview/frm_ken_color.h"
#include "mapview/map_canvas_ui.h"
#include "platform/app_folder.h"
#include "platform/program_end_ui.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace miratos::app {

using platform::arrayName;
using platform::makeButton;
using platform::makeCheck;
using platform::makeOption;
using platform::makeLabel;
using platform::makeFrame;
using platform::makeText;
using state::MdlMain;
using state::mdlMain;
using state::prepareMode;
using state::readWaterFill;
namespace {
bool g_autoLoad = true;
constexpr int kCanvasSize = 600;
constexpr int kQuizWidthTwips = 9300;
constexpr int kTwipsPerPixel = 15;

QFrame* makeLine(QWidget* parent, const QString& name, QFrame::Shape shape)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    return line;
}
} // namespace

void frmMain::setAutoLoad(bool enabled)
{
    g_autoLoad = enabled;
}

bool frmMain::autoLoad()
{
    return g_autoLoad;
}

frmMain::frmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("都道府県地図"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    if (g_autoLoad)
        QTimer::singleShot(0, this, [this] { loadSequence(); });
}

void frmMain::buildControls()
{
    // Map area: the canvas inside its floor, the zoom bar, the readout and the scale bar.
    m_picFloor = new QWidget(this);
    m_picFloor->setObjectName(QStringLiteral("picFloor"));
    // The specified 600 × 600 is the size the window opens with; the floor grows with the window.
    m_picFloor->setMinimumSize(kCanvasSize, kCanvasSize);
    m_picFloor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_picFloor->installEventFilter(this);
    m_picMain = new mapview::MapCanvasWidget(m_picFloor);
    m_picMain->setObjectName(QStringLiteral("picMain"));
    m_picMain->setGeometry(0, 0, kCanvasSize, kCanvasSize);
    m_canvas.resize(kCanvasSize, kCanvasSize);
    m_picMain->setImage(&m_canvas.image());

    m_scrZoom = new QScrollBar(Qt::Horizontal, this);
    m_scrZoom->setObjectName(QStringLiteral("scrZoom"));
    m_scrZoom->setRange(0, 10); // up to 2600 × 2600 pixels
    m_scrZoom->setPageStep(1);
    m_lblSho = makeLabel(this, QStringLiteral("lblSho"), QStringLiteral("縮小"));
    m_lblDai = makeLabel(this, QStringLiteral("lblDai"), QStringLiteral("拡大"));
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(m_lblSho);
    zoomRow->addWidget(m_scrZoom, 1);
    zoomRow->addWidget(m_lblDai);

    auto* lblX = m_lblX = makeLabel(this, QStringLiteral("lblX"), QString());
    auto* lblY = m_lblY = makeLabel(this, QStringLiteral("lblY"), QString());
    lblX->setMinimumWidth(130);
    lblY->setMinimumWidth(130);
    auto* scale = new QWidget(this);
    scale->setObjectName(QStringLiteral("fmeScale"));
    scale->setFixedSize(440, 26);
    m_linShaku = makeLine(scale, QStringLiteral("linShaku"), QFrame::HLine);
    m_linShaku->setGeometry(20, 18, 400, 1);
    m_linShakuLeft = makeLine(scale, QStringLiteral("linShakuLeft"), QFrame::VLine);
    m_linShakuLeft->setGeometry(20, 12, 1, 7);
    m_linShakuRight = makeLine(scale, QStringLiteral("linShakuRight"), QFrame::VLine);
    m_linShakuRight->setGeometry(419, 12, 1, 7);
    auto* lblkm = m_lblkm = makeLabel(scale, QStringLiteral("lblkm"), QStringLiteral("1000km"));
    lblkm->setGeometry(360, 0, 60, 14);
    lblkm->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // The readout and the scale bar share a row only as far as the map is wide, so the narrow
    // quiz window still shows them whole.
    auto* readoutRow = new QHBoxLayout;
    readoutRow->addWidget(lblX);
    readoutRow->addWidget(lblY);
    readoutRow->addStretch();
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addStretch();
    scaleRow->addWidget(scale);

    // The quiz buttons sit under the map: the quiz window is narrowed to the map alone.
    m_cmdNext = makeButton(this, QStringLiteral("cmdNext"), QStringLiteral("次の問題"));
    m_cmdAnswer = makeButton(this, QStringLiteral("cmdAnswer"), QStringLiteral("答え"));
    m_cmdHint = makeButton(this, QStringLiteral("cmdHint"), QStringLiteral("ヒント"));
    m_txtAnswer = makeText(this, QStringLiteral("txtAnswer"));
    auto* quiz = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(m_cmdNext), static_cast<QWidget*>(m_cmdAnswer),
                       static_cast<QWidget*>(m_txtAnswer), static_cast<QWidget*>(m_cmdHint)}) {
        quiz->addWidget(w);
        w->setVisible(false);
    }

    m_lblStatus = makeLabel(this, QStringLiteral("lblStatus"), QString());
    m_lblStatus->setMinimumWidth(kCanvasSize / 2);
    m_lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* left = new QVBoxLayout;
    left->addWidget(m_picFloor, 1);
    left->addWidget(m_lblStatus);
    left->addLayout(zoomRow);
    left->addLayout(readoutRow);
    left->addLayout(scaleRow);
    left->addLayout(quiz);

    // Control panel.
    m_fmeShow = buildShowFrame();
    auto* cmdColor = makeButton(this, QStringLiteral("cmdColor"), QStringLiteral("色"));
    connect(cmdColor, &QPushButton::clicked, this, [this] {
        // Colours change on the map at the next redraw.
        mapview::frmKenColor dialog(m_tables.lvwTikuColor, this);
        dialog.exec();
    });
    m_cmdReDraw = makeButton(this, QStringLiteral("cmdReDraw"), QStringLiteral("再描画"));
    m_cmdImageExport = makeButton(this, QStringLiteral("cmdImageExport"), QStringLiteral("画像出力"));
    connect(m_cmdReDraw, &QPushButton::clicked, this, [this] {
        処理中(false);
        描画();
        処理中(true);
    });
    connect(m_cmdImageExport, &QPushButton::clicked, this, [this] { cmdImageExport_Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdColor);
    buttons->addWidget(m_cmdReDraw);
    buttons->addWidget(m_cmdImageExport);
    // Saved maps, in a row of their own.
    auto* mapFileButtons = new QHBoxLayout;
    auto* cmdSaveMap = makeButton(this, QStringLiteral("cmdSaveMap"), QStringLiteral("地図の保存"));
    auto* cmdOpenMap = makeButton(this, QStringLiteral("cmdOpenMap"), QStringLiteral("地図を開く"));
    connect(cmdSaveMap, &QPushButton::clicked, this, [this] { cmdSaveMap_Click(); });
    connect(cmdOpenMap, &QPushButton::clicked, this, [this] { cmdOpenMap_Click(); });
    mapFileButtons->addWidget(cmdSaveMap);
    mapFileButtons->addWidget(cmdOpenMap);
    mapFileButtons->addStretch();
    m_fmeZoom = buildZoomFrame();
    m_fmeProperty = buildPropertyFrame();
    m_fmeModify = buildModifyFrame();
    m_fmeStatistic = buildStatisticFrame();
    m_tvwBuild = new QTreeWidget(this);
    m_tvwBuild->setObjectName(QStringLiteral("tvwBuild"));
    m_tvwBuild->setHeaderHidden(true);
    m_tvwBuild->setVisible(false);
    // Twelve rows at least, so the classes can be read without scrolling at once.
    m_tvwBuild->setMinimumHeight(12 * (m_tvwBuild->fontMetrics().height() + 4) + 2 * m_tvwBuild->frameWidth());
    m_tvwBuild->setMinimumWidth(200);
    m_buildTreeButtons = new QWidget(this);
    m_buildTreeButtons->setObjectName(QStringLiteral("fmeBuildTreeButtons"));
    auto* treeButtons = new QHBoxLayout(m_buildTreeButtons);
    treeButtons->setContentsMargins(0, 0, 0, 0);
    treeButtons->addWidget(makeButton(m_buildTreeButtons, QStringLiteral("cmdBuildAll"), QStringLiteral("すべて選択")));
    treeButtons->addWidget(makeButton(m_buildTreeButtons, QStringLiteral("cmdBuildNone"), QStringLiteral("すべて解除")));
    m_buildTreeButtons->setVisible(false);
    // The tree has a column of its own beside the panel, as high as the window, so the map still
    // opens at 600 × 600 with it shown.
    auto* buildColumn = new QVBoxLayout;
    buildColumn->addWidget(m_tvwBuild, 1);
    buildColumn->addWidget(m_buildTreeButtons);

    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("fmePanel"));
    auto* right = new QVBoxLayout(m_panel);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(m_fmeShow);
    right->addLayout(buttons);
    right->addLayout(mapFileButtons);
    right->addWidget(m_fmeZoom);
    right->addWidget(m_fmeProperty);
    right->addWidget(m_fmeModify);
    right->addWidget(m_fmeStatistic);
    right->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(m_panel);
    layout->addLayout(buildColumn);
    connectMapControls();
    connectFacilityControls();
    connectLabelTools();
    connectQuiz();
}


QGroupBox* frmMain::buildShowFrame()
{
    auto* frame = makeFrame(this, QStringLiteral("fmeShow"), QStringLiteral("表示スタイル"));
    auto* layout = new QVBoxLayout(frame);
    const char* captions[] = {"線のみ（行政界）", "線のみ（県のみ）", "塗りつぶし（行政界）", "統計塗りつぶし"};
    for (int i = 0; i < 4; ++i) {
        m_optMode[i] = makeOption(frame, arrayName("optMode", i), QString::fromUtf8(captions[i]));
        layout->addWidget(m_optMode[i]);
    }
    m_optMode[0]->setChecked(true);
    m_optMode[1]->setVisible(false); // Pref mode only
    return frame;
}

QGroupBox* frmMain::buildZoomFrame()
{
    auto* frame = makeFrame(this, QStringLiteral("fmeZoom"), QStringLiteral("座標系変更（ズーム）・距離"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(makeLabel(frame, QStringLiteral("lblLeftTop"), QStringLiteral("左上")), 0, 0);
    const char* names[] = {"txtX1", "txtY1", "txtX2", "txtY2"};
    for (int i = 0; i < 4; ++i)
        m_txt[i] = makeText(frame, QString::fromLatin1(names[i]));
    grid->addWidget(m_txt[0], 0, 1);
    grid->addWidget(m_txt[1], 0, 2);
    grid->addWidget(makeLabel(frame, QStringLiteral("lblRightBottom"), QStringLiteral("右下")), 1, 0);
    grid->addWidget(m_txt[2], 1, 1);
    grid->addWidget(m_txt[3], 1, 2);
    auto* cmdZoomBack = m_cmdZoomBack = makeButton(frame, QStringLiteral("cmdZoomBack"), QStringLiteral("１つ前"));
    cmdZoomBack->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addWidget(makeButton(frame, QStringLiteral("cmdZoom"), QStringLiteral("変更")));
    row->addWidget(cmdZoomBack);
    row->addWidget(makeButton(frame, QStringLiteral("cmdInit"), QStringLiteral("初期値")));
    row->addWidget(makeButton(frame, QStringLiteral("cmdSmall"), QStringLiteral("少し広域")));
    grid->addLayout(row, 2, 0, 1, 3);
    m_cmdDistance = makeButton(frame, QStringLiteral("cmdDistance"), QStringLiteral("２点間距離"));
    grid->addWidget(m_cmdDistance, 3, 0, 1, 2);
    grid->addWidget(makeButton(frame, QStringLiteral("cmdFullView"), QStringLiteral("全体表示")), 3, 2);
    return frame;
}

QGroupBox* frmMain::buildPropertyFrame()
{
    auto* frame = makeFrame(this, QStringLiteral("fmeProperty"), QStringLiteral("属性表示"));
    auto* grid = new QGridLayout(frame);
    m_chkCity = makeCheck(frame, QStringLiteral("chkCity"), QStringLiteral("市区町村名"));
    grid->addWidget(m_chkCity, 0, 0);
    grid->addWidget(makeCheck(frame, QStringLiteral("chkEki"), QStringLiteral("駅名")), 0, 1);
    grid->addWidget(makeCheck(frame, QStringLiteral("chkTrain"), QStringLiteral("鉄道")), 0, 2);

    auto* chkTown = m_chkTown = makeCheck(frame, QStringLiteral("chkTown"), QStringLiteral("町丁名"));
    auto* chkRepresent = m_chkRepresentTownOnly =
        makeCheck(frame, QStringLiteral("chkRepresentTownOnly"), QStringLiteral("代表町丁目のみ表示"));
    auto* chkArea = m_chkArea = makeCheck(frame, QStringLiteral("chkArea"), QStringLiteral("指定面積以上表示"));
    auto* txtArea = m_txtArea = makeText(frame, QStringLiteral("txtArea"), QStringLiteral("20000"));
    txtArea->setMaximumWidth(80);
    auto* lblm = makeLabel(frame, QStringLiteral("lblm"), QString());
    auto* chkNoOne = m_chkNoOne = makeCheck(frame, QStringLiteral("chkNoOne"), QStringLiteral("ランク１位のみ表示"));
    grid->addWidget(chkTown, 1, 0);
    grid->addWidget(chkRepresent, 1, 1, 1, 2);
    auto* areaRow = new QHBoxLayout;
    areaRow->addWidget(chkArea);
    areaRow->addWidget(txtArea);
    areaRow->addWidget(lblm);
    areaRow->addStretch();
    grid->addLayout(areaRow, 2, 0, 1, 2);
    grid->addWidget(chkNoOne, 2, 2);
    const QWidget* townControls[] = {chkTown, chkRepresent, chkArea, txtArea, lblm, chkNoOne};
    for (int i = 0; i < 6; ++i) {
        m_townControls[i] = const_cast<QWidget*>(townControls[i]);
        m_townControls[i]->setVisible(false); // City mode only
    }

    const char* roads[] = {"高速", "国道", "地方道"};
    for (int i = 0; i < 3; ++i)
        grid->addWidget(makeCheck(frame, arrayName("chkRoad", i), QString::fromUtf8(roads[i])), 3, i);
    grid->addWidget(makeCheck(frame, QStringLiteral("chkBuild"), QStringLiteral("施設指標")), 4, 0);
    grid->addWidget(makeCheck(frame, QStringLiteral("chkBuildName"), QStringLiteral("施設名")), 4, 1);
    grid->addWidget(makeCheck(frame, QStringLiteral("chkBuildRank"), QStringLiteral("施設ランク")), 4, 2);
    grid->addWidget(makeButton(frame, QStringLiteral("cmdBuildCSV"), QStringLiteral("施設取込")), 5, 0);
    auto* mato = new QHBoxLayout;
    const char* matoCaptions[] = {"点", "図"};
    for (int i = 0; i < 2; ++i) {
        m_optMato[i] = makeOption(frame, arrayName("optMato", i), QString::fromUtf8(matoCaptions[i]));
        mato->addWidget(m_optMato[i]);
    }
    m_optMato[0]->setChecked(true);
    mato->addStretch();
    grid->addLayout(mato, 5, 1, 1, 2);
    // Off: the layer boxes show at the next 再描画. On: a ticked box draws at once.
    grid->addWidget(makeCheck(frame, QStringLiteral("chkDrawAtOnce"), QStringLiteral("チェックですぐ描画")), 6, 0, 1, 3);
    return frame;
}

QGroupBox* frmMain::buildModifyFrame()
{
    auto* frame = makeFrame(this, QStringLiteral("fmeModify"), QStringLiteral("属性編集モード"));
    auto* layout = new QHBoxLayout;
    const char* captions[] = {"ＯＦＦ", "移動・名称変更", "消去"};
    for (int i = 0; i < 3; ++i) {
        auto* option = makeOption(frame, arrayName("optModify", i), QString::fromUtf8(captions[i]));
        option->setChecked(i == 0);
        layout->addWidget(option);
    }
    layout->addWidget(makeButton(frame, QStringLiteral("cmdDecrease"), QStringLiteral("属性非重")));
    // Placement on a row of its own under 属性非重, so the panel keeps its width.
    auto* placement = new QHBoxLayout;
    placement->addStretch();
    placement->addWidget(makeButton(frame, QStringLiteral("cmdPlaceLabels"), QStringLiteral("ラベル配置")));
    placement->addWidget(makeButton(frame, QStringLiteral("cmdPlacementSettings"), QStringLiteral("配置設定")));
    auto* rows = new QVBoxLayout;
    rows->addLayout(layout);
    rows->addLayout(placement);
    frame->setLayout(rows);
    return frame;
}

QGroupBox* frmMain::buildStatisticFrame()
{
    auto* frame = makeFrame(this, QStringLiteral("fmeStatistic"), QStringLiteral("統計"));
    auto* layout = new QHBoxLayout(frame);
    auto* cmdStatistic = makeButton(frame, QStringLiteral("cmdStatistic"), QStringLiteral("統計データ"));
    m_cmdRank = makeButton(frame, QStringLiteral("cmdRank"), QStringLiteral("ランキング"));
    m_cmdUnmatch = makeButton(frame, QStringLiteral("cmdUnmatch"), QStringLiteral("不一致地区"));
    m_cmdRank->setEnabled(false); // enabled by the first join
    m_cmdUnmatch->setEnabled(false);
    connect(cmdStatistic, &QPushButton::clicked, this, [this] { cmdStatistic_Click(); });
    connect(m_cmdRank, &QPushButton::clicked, this, [this] { cmdRank_Click(); });
    connect(m_cmdUnmatch, &QPushButton::clicked, this, [this] { cmdUnmatch_Click(); });
    layout->addWidget(cmdStatistic);
    layout->addWidget(m_cmdRank);
    layout->addWidget(m_cmdUnmatch);
    layout->addWidget(makeCheck(frame, QStringLiteral("chkSymbols"), QStringLiteral("比例シンボル")));
    // Rows of the last join that found no district, in every mode (empty before the first join).
    auto* lblUnmatched = new QLabel(frame);
    lblUnmatched->setObjectName(QStringLiteral("lblUnmatched"));
    layout->addWidget(lblUnmatched);
    return frame;
}

void frmMain::loadSequence()
{
    const QString mode = mdlMain().MapMode;
    m_picMain->setCursor(Qt::CrossCursor);
    if (mode == QLatin1String("Pref") || mode == QLatin1String("Japan") || mode == QLatin1String("City")) {
        frmKenList dialog(this);
        if (dialog.exec() == QDialog::Accepted && mode != QLatin1String("City"))
            初期化();
    }
    // Closed by the user during a load: the rest of the sequence would load and ask for nothing.
    if (m_closeRequested)
        return;
    // City mode always goes on to the district dialog, even after the prefecture dialog was
    // closed: it then lists nothing, and closing it leaves the window empty.
    if (mode == QLatin1String("City")) {
        frmTikuList dialog(m_tables.lvwTikuColor, this);
        if (dialog.exec() == QDialog::Accepted)
            初期化();
    }
    if (m_closeRequested)
        return;
    if (mdlMain().UseTrain)
        鉄道データ読込();
    if (mode == QLatin1String("WhatCity") || mode == QLatin1String("WhatPref"))
        初期化();
}

void frmMain::初期化()
{
    MdlMain& s = mdlMain();
    if (s.UseRoad)
        道路名データ読込();
    prepareMode(s);

    if (s.MapMode == QLatin1String("Japan")) {
        m_optMode[0]->setText(QStringLiteral("線のみ"));
        m_chkCity->setText(QStringLiteral("県名"));
        applyLabelStyles();
        データ読込_J();
    } else if (s.MapMode == QLatin1String("Pref")) {
        m_optMode[1]->setVisible(true);
        applyLabelStyles();
        データ読込_P();
    } else if (s.MapMode == QLatin1String("City")) {
        m_optMode[2]->setText(QStringLiteral("塗りつぶし"));
        for (QWidget* w : m_townControls)
            w->setVisible(true);
        findChild<QLabel*>(QStringLiteral("lblm"))->setText(QStringLiteral("㎡"));
        applyLabelStyles();
        m_waterFill = readWaterFill(platform::AppFolder::initIni());
        データ読込_C();
    } else if (s.MapMode == QLatin1String("WhatPref")) {
        quizSetUp(false);
    } else if (s.MapMode == QLatin1String("WhatCity")) {
        quizSetUp(true);
    }
}

void frmMain::quizSetUp(bool cityQuiz)
{
    MdlMain& s = mdlMain();
    s.MapMode = cityQuiz ? QStringLiteral("City") : QStringLiteral("Pref");
    for (QWidget* w : {static_cast<QWidget*>(m_lblSho), static_cast<QWidget*>(m_lblDai), static_cast<QWidget*>(m_scrZoom)})
        w->setVisible(false);
    for (QWidget* w : {static_cast<QWidget*>(m_cmdNext), static_cast<QWidget*>(m_cmdAnswer), static_cast<QWidget*>(m_txtAnswer)})
        w->setVisible(true);
    narrowToQuizWidth();
    bool empty = false;
    if (cityQuiz) {
        m_cityQuizList = quiz::buildCityQuizList();
        empty = m_cityQuizList.isEmpty();
    } else {
        m_prefQuizList = quiz::buildPrefQuizList();
        empty = m_prefQuizList.isEmpty();
    }
    if (empty) {
        platform::warn(QStringLiteral("要確認"), cityQuiz ? QStringLiteral("市区町村データが１つもありません") : QStringLiteral("都道府県データが１つもありません"));
        close();
        return;
    }
    次の問題();
}

void frmMain::narrowToQuizWidth()
{
    // The narrow window shows the map alone: the control panel goes out of sight and the side
    // margins shrink so the map plus margins is exactly the quiz width, shown or not.
    const int width = kQuizWidthTwips / kTwipsPerPixel;
    m_panel->setVisible(false);
    const int side = (width - kCanvasSize) / 2;
    const QMargins m = layout()->contentsMargins();
    layout()->setContentsMargins(side, m.top(), width - kCanvasSize - side, m.bottom());
    layout()->activate();
    resize(width, height());
}

void frmMain::処理中(bool enable)
{
    for (QWidget* w : {static_cast<QWidget*>(m_cmdReDraw), static_cast<QWidget*>(m_cmdImageExport),
                       static_cast<QWidget*>(m_scrZoom), static_cast<QWidget*>(m_fmeShow),
                       static_cast<QWidget*>(m_fmeZoom), static_cast<QWidget*>(m_fmeProperty),
                       static_cast<QWidget*>(m_fmeModify), static_cast<QWidget*>(m_fmeStatistic)})
        w->setEnabled(enable);
}


void frmMain::closeEvent(QCloseEvent* event)
{
    // Closing the map window ends the program; the launcher does not come back. During long work
    // the close waits until the work has handed control back.
    if (m_busy > 0) {
        m_closeRequested = true;
        hide();
        event->ignore();
        return;
    }
    event->accept();
    platform::endProgram();
}

} // namespace miratos::app
