#pragma once
// The shown rectangle of the earth and its history: the initial view around the data, views made
// square in kilometres, the slightly wider view, and the scale bar under the map.
#include "mapview/map_tables.h"

#include <QString>
#include <QVector>

namespace miratos::mapview {

// X1 left longitude, Y1 top latitude, X2 right longitude, Y2 bottom latitude (Y1 > Y2).
struct ViewRect {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool operator==(const ViewRect&) const = default;
    bool isEmpty() const { return X1 == X2 || Y1 == Y2; }
};

constexpr double kKmPerDegreeLat = 111.12;
// Kilometres per degree of longitude at a latitude in degrees.
double kmPerDegreeLon(double latitudeDegrees);

struct Viewport {
    ViewRect view;
    ViewRect prevView;
    QVector<ViewRect> zoomHistory; // entries 1..zoomCount are zoomHistory[0..zoomCount-1]
    int zoomCount = 0;
    QVector<bool> movedEntries; // beside zoomHistory: made by pushView
    bool zoomed = false;
    float typedX2 = 0; // the right or bottom edge the user typed before squaring (export crops)
    float typedY2 = 0;

    // 座標設定: the initial view, a square in km with a 0.02 degree margin, anchored west and north.
    void setInitialView(const Extent& data);
    // ズーム処理共通 without the redraw: makes the view square in km; the typed values are the
    // numbers of txtX2/txtY2 (0 when not numbers).
    void makeSquare(float typedRight, float typedBottom);
    // "変更": pushes the typed rectangle; false (nothing changed) when a value is not a number.
    bool pushTyped(const QString& x1, const QString& y1, const QString& x2, const QString& y2);
    // A view the wheel, a drag or a key made becomes a history entry, so "１つ前" steps back over
    // it; the first such move keeps the view it left as the entry before it. A burst of moves
    // (replaceLast) changes its own last entry instead of adding one per wheel notch.
    void pushView(const ViewRect& next, bool replaceLast);
    // Whether the current history entry is such a move (shown as it was, not squared again).
    bool currentEntryMoved() const { return zoomCount > 0 && movedEntries.value(zoomCount - 1, false); }
    // "１つ前": back to the previous entry; false when there is none.
    bool stepBack();
    // "少し広域": widens the view by a twentieth on every side.
    void widen();
    // "初期値": clears the history.
    void reset();
    // The empty view after zooming: back to the previous view and one history entry less.
    void restorePrevious();
    bool canStepBack() const { return zoomCount > 1; }
};

struct ScaleBar {
    QString text;         // "15km", "300m"
    double lengthPx = 0;  // length of the bar in canvas pixels
    bool visible = true;  // hidden when longer than 400 pixels
};

// The round length (km) and text of a bar for b km per 100 pixels: "15km" for 12.3.
double roundScaleLength(float kmPer100Px, QString& text);

// 尺図描画: the bar for a view drawn on a canvas of the given pixel height.
ScaleBar scaleBarFor(const ViewRect& view, int canvasHeightPx);

} // namespace miratos::mapview
