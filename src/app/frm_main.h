#pragma once
// The map window. This file holds its controls and the load sequence; loaders, viewport and
// drawing live in the map view code it calls.
#include "state/saved_map.h"
#include "state/water_fill.h"
#include "layers/facility_layer.h"
#include "layers/label_placement.h"
#include "layers/railway_layer.h"
#include "layers/road_layer.h"
#include "layers/symbol_layer.h"
#include "mapview/hover_index.h"
#include "mapview/labels.h"
#include "mapview/loaders.h"
#include "mapview/map_drawing.h"
#include "mapview/map_tables.h"
#include "mapview/name_labels.h"
#include "mapview/viewport.h"
#include "stats/region_area.h"
#include "output/image_export.h"
#include "platform/canvas.h"
#include "quiz/quiz_lists.h"

#include <QLineF>
#include <QVector>
#include <optional>
#include <functional>
#include <QElapsedTimer>
#include <map>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTreeWidget;
class QFrame;

namespace miratos::mapview {
class MapCanvasWidget;
struct DrawOptions;
}

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

    const state::WaterFill& waterFill() const { return m_waterFill; }
    const mapview::MapTables& tables() const { return m_tables; }
    mapview::MapTables& tables() { return m_tables; }
    const mapview::Viewport& viewport() const { return m_viewport; }
    const platform::Canvas& canvas() const { return m_canvas; }
    const mapview::LabelLayer& labels() const { return m_labels; }
    mapview::LabelLayer& labels() { return m_labels; }

    // Name labels: rebuilt by their check boxes and by every redraw.
    void chkCity_Click();
    void chkTown_Click();
    mapview::TownFilter townFilter() const;
    void txtArea_Change();
    // The label layer's templates take their style from LayerProperty.
    void applyLabelStyles();

    // "画像出力", and what it exports.
    void cmdImageExport_Click();
    output::ExportScene exportScene();

    // Statistics: join a column, rank it, report the unmatched districts.
    void cmdStatistic_Click();
    void cmdRank_Click();
    // "比例シンボル": symbols of the statistic at the label points, redrawn at once; a right click
    // opens their settings (and the value labels').
    void chkSymbols_Click();
    void openSymbolSettings();
    const layers::SymbolOptions& symbolOptions() const { return m_symbols; }
    void cmdUnmatch_Click();

    // Finishing tools: "属性非重" and "２点間距離".
    void cmdDecrease_Click();
    void cmdDistance_Click();
    // "ラベル配置" moves the names apart; "配置設定" opens its settings (kept until the window closes).
    void cmdPlaceLabels_Click();
    void cmdPlacementSettings_Click();
    const layers::PlacementOptions& placementOptions() const { return m_placement; }
    void setPlacementOptions(const layers::PlacementOptions& options) { m_placement = options; }
    // Quiz: "次の問題", "答え" and "ヒント" (municipality quiz).
    void 次の問題();
    void cmdAnswer_Click();
    void cmdHint_Click();
    // Label edit mode: 0 "ＯＦＦ", 1 "移動・名称変更", 2 "消去".
    int editMode() const;
    // Railways: the files read once when railways were asked for, the lines drawn while "鉄道"
    // is ticked, the station names while "駅名" is.
    void 鉄道データ読込();
    void 鉄道描画();
    void chkEki_Click();
    const layers::RailwayLayer& railway() const { return m_railway; }
    // Roads: the name table and the roads of the selected prefectures read while loading, the
    // classes of the ticked "高速", "国道", "地方道" drawn by every redraw.
    void 道路データ読込(int prefCode);
    void 道路描画();
    layers::RoadClasses roadClassesTicked() const;
    // The redraw's options as the controls say, with the facility markers scaled to the canvas given.
    mapview::DrawOptions drawOptions(const platform::Canvas& scale, bool yield);
    layers::RoadLayer& road() { return m_road; }
    // Facilities: read with the map when asked for, imported by "施設取込"; markers and names
    // while "施設指標" is ticked, circles while "施設ランク" is (frm_main_facilities.cpp).
    void 公共施設データ読込(int prefCode);
    void 公共施設データ全読込(int prefCode);
    void keepChosenFacilities();
    void cmdBuildCSV_Click();
    void chkBuild_Click();
    void chkBuildName_Click();
    void chkBuildRank_Click();
    void optMato_Click(int index);
    void tvwBuild_NodeCheck(int node, bool checked);
    const layers::FacilityLayer& facilities() const { return m_facilities; }

    // Display settings: a right click on a layer check box opens frmProperty for its row
    // (roadIndex: the road class of row 6).
    void openLayerProperty(int kind, int roadIndex = 0);

    // View operations (the buttons of "座標系変更（ズーム）・距離" and the zoom bar).
    void 座標設定();
    void ズーム処理共通();
    void cmdZoom_Click();
    void cmdZoomBack_Click();
    void cmdInit_Click();
    void cmdSmall_Click();
    void scrZoom_Change(int value);
    void 尺図描画();
    // Mouse on the canvas, in canvas pixels.
    void picMain_MouseDown(Qt::MouseButton button, QPoint pixel);
    void picMain_MouseMove(QPoint pixel, Qt::MouseButtons buttons);
    void picMain_MouseUp(Qt::MouseButton button, QPoint pixel);
    // Beside the specified controls: the wheel and +/- zoom about a canvas pixel by the zoom
    // bar's ratio, a drag or the arrow keys pan, "全体表示" and Home return to the first view.
    void zoomAt(QPoint pixel, int steps);
    void panBy(double dx, double dy);
    void moveView(const mapview::ViewRect& next);
    void 全体表示();
    bool picMain_Key(int key);
    // The rectangle the canvas shows: the view, widened along the longer side of the canvas.
    mapview::ViewRect shownView() const;
    // The status line under the map, for a canvas pixel.
    QString hoverTextAt(QPoint pixel) const;

    // Saved maps (frm_main_saved_map.cpp): "地図の保存" writes the map's choices to a .miratos
    // file; "地図を開く" reads one and loads it in a fresh map window of its mode (this one goes),
    // naming what could not be opened. openSavedMap is that load, from a file already read; it
    // returns the new window (nothing when the map names nothing to draw).
    void cmdSaveMap_Click();
    void cmdOpenMap_Click();
    state::SavedMap savedMap() const;
    // beforeShow and beforeLoad let a caller set the window up (off screen, a size) at those steps.
    static frmMain* openSavedMap(state::SavedMap map, QStringList problems, frmMain* replaced = nullptr,
                                 const std::function<void(frmMain&)>& beforeShow = {},
                                 const std::function<void(frmMain&)>& beforeLoad = {});
    // After the load: ticks the boxes, paints the statistic and draws; the problems met.
    QStringList applySavedChoices(const state::SavedMap& map);
    static bool autoLoad();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QGroupBox* buildShowFrame();
    QGroupBox* buildZoomFrame();
    QGroupBox* buildPropertyFrame();
    QGroupBox* buildModifyFrame();
    QGroupBox* buildStatisticFrame();

    void connectMapControls();
    // The canvas fills its floor (enlarged by the zoom bar's steps) and is drawn again.
    void layoutCanvas();
    void layoutCanvasRedraw();
    void connectLabelTools();
    // True once a map is drawn (the canvas has a geographic scale); the mouse does nothing before.
    bool mapShown() const { return m_canvas.scaleTop() > m_canvas.scaleBottom(); }
    void labelEditPress(Qt::MouseButton button, QPoint pixel);
    void labelEditMove(QPoint pixel);
    void labelEditDrop(QPoint pixel);
    // What lies over the map image: the labels and the two-point line.
    void paintOverlay(QPainter& painter, const QRect& clip);
    void installLayerPropertyClicks();
    void installSymbolControls();
    // The symbols' and value labels' parts of a redraw and of the export.
    void addSymbolDrawing(mapview::DrawOptions& options);
    void connectFacilityControls();
    // Adds tree items for the class nodes added since the last time.
    void syncBuildTree();
    void refreshBuildTreeChecks();
    void showBuildTree(bool visible);
    void setAllBuildClasses(bool checked);
    void runLoader(const std::function<mapview::LoadReport(const mapview::LoadHooks&)>& load);
    void showLoadProblems(const QStringList& problems);
    void endWork();

    // Loaders.
    void データ読込_J();
    void データ読込_P();
    void データ読込_C();
    void 道路名データ読込();

    void quizSetUp(bool cityQuiz);
    void narrowToQuizWidth();
    void connectQuiz();

    state::WaterFill m_waterFill;
    // What a saved map needs and no control shows: the own table and facility table read, and
    // the labels edited by hand since the last redraw ((kind, index) → the caption built).
    QString m_ownDataFile;
    QString m_facilityCsv;
    std::map<std::pair<int, int>, QString> m_labelEdits;
    std::vector<std::pair<QString, QString>> m_savedUnknown; // keys of a newer version, written back
    void noteLabelEdit(int kind, int index);
    QVector<int> m_prefQuizList;
    QVector<quiz::CityQuizEntry> m_cityQuizList;
    int m_question = 0; // index 1.. of the entry asked, in the mode's list

    mapview::MapTables m_tables;
    stats::RegionAreas m_areas; // 面積() of computed columns, cleared by every load
    layers::RailwayLayer m_railway;
    layers::RoadLayer m_road;
    QStringList m_roadProblems; // shown once the load has finished
    layers::FacilityLayer m_facilities;
    std::vector<store::BuildRow> m_facilityTemp; // City mode: whole prefectures before the choice
    QStringList m_facilityProblems;
    bool m_syncingTree = false;
    mapview::LabelLayer m_labels;
    layers::PlacementOptions m_placement;
    bool m_labelsPlaced = false; // ラベル配置 pressed since the labels were last made
    mapview::Viewport m_viewport;
    mapview::HoverIndex m_hover; // built after every load
    bool m_redrawPending = false; // a resize came while drawing
    platform::Canvas m_canvas;
    bool m_colorCacheValid = false;
    int m_prevScroll = 0;
    bool m_dragging = false;
    QPoint m_dragStart;
    QElapsedTimer m_navigationClock; // since the last wheel, key or drag move of the view
    QPoint m_dragOrigin; // where the canvas lay when the drag began
    int m_busy = 0;
    bool m_closeRequested = false;

    QWidget* m_picFloor = nullptr;
    QWidget* m_panel = nullptr; // everything right of the map
    mapview::MapCanvasWidget* m_picMain = nullptr;
    QLineEdit* m_txt[4] = {}; // txtX1, txtY1, txtX2, txtY2
    QPushButton* m_cmdZoomBack = nullptr;
    QPushButton* m_cmdDistance = nullptr;
    QPointF m_grab;       // map point under the pointer where a label drag started
    QPoint m_grabPixel;   // the same in canvas pixels
    std::optional<QLineF> m_twoPoint; // linTwoPoint in map coordinates, while a distance is shown
    QLabel* m_lblX = nullptr;
    QLabel* m_lblY = nullptr;
    QLabel* m_lblStatus = nullptr;
    QFrame* m_linShaku = nullptr;
    QFrame* m_linShakuLeft = nullptr;
    QFrame* m_linShakuRight = nullptr;
    QLabel* m_lblkm = nullptr;
    QScrollBar* m_scrZoom = nullptr;
    QLabel* m_lblSho = nullptr;
    QLabel* m_lblDai = nullptr;
    QRadioButton* m_optMode[4] = {};
    QCheckBox* m_chkCity = nullptr;
    QCheckBox* m_chkTown = nullptr;
    QCheckBox* m_chkRepresentTownOnly = nullptr;
    QCheckBox* m_chkArea = nullptr;
    QCheckBox* m_chkNoOne = nullptr;
    QLineEdit* m_txtArea = nullptr;
    QWidget* m_townControls[6] = {};
    QPushButton* m_cmdReDraw = nullptr;
    QPushButton* m_cmdRank = nullptr;
    QPushButton* m_cmdUnmatch = nullptr;
    layers::SymbolOptions m_symbols;
    layers::SymbolLegend m_symbolLegend; // what the last redraw's symbols call for
    std::vector<layers::Symbol> m_symbolList;
    QString m_mapSide;  // Pref: drawn districts without a value
    QString m_statSide; // Pref: statistic rows without a drawn district
    QPushButton* m_cmdImageExport = nullptr;
    QGroupBox* m_fmeShow = nullptr;
    QGroupBox* m_fmeZoom = nullptr;
    QGroupBox* m_fmeProperty = nullptr;
    QGroupBox* m_fmeModify = nullptr;
    QGroupBox* m_fmeStatistic = nullptr;
    QTreeWidget* m_tvwBuild = nullptr;
    QWidget* m_buildTreeButtons = nullptr; // "すべて選択", "すべて解除", shown with the tree
    QRadioButton* m_optMato[2] = {};
    QPushButton* m_cmdNext = nullptr;
    QPushButton* m_cmdAnswer = nullptr;
    QPushButton* m_cmdHint = nullptr;
    QLineEdit* m_txtAnswer = nullptr;
};

} // namespace miratos::app
