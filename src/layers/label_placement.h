#pragma once
// "ラベル配置": moves name labels to free places instead of only hiding them. Municipality names
// go first, then towns, stations and facility names; within a kind larger regions (or a chosen
// statistic) first. A region name tries its label point, then points inside its region; a point
// name tries the eight places around its point. A name that fits nowhere is hidden.
// Beside it: ward names told apart by their city, station filters, halos and text colours that
// contrast with the fill below.
#include "mapview/labels.h"
#include "mapview/map_tables.h"
#include "mapview/renderer.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <vector>

namespace miratos::layers {

// Every setting of label placement, kept together so a saved map can store them.
struct PlacementOptions {
    bool placeLabels = false;    // ラベル配置 / --place-labels
    enum class WardStyle { Off, Prefixed, TwoLines };
    WardStyle qualifyWards = WardStyle::Off; // 緑区 that repeats shown as 横浜市緑区 (or on two lines)
    bool cityForWards = false;   // a designated city drawn small shows its name instead of its wards
    bool stationsInside = false; // only stations inside the chosen prefectures' polygons
    bool mainStations = false;   // only stations that serve several lines (主要駅)
    bool orderByStatistic = false; // the drawn statistic, not the area, orders region names
    // Halo per label kind (LabelKind order): Auto draws one over a statistic fill only.
    enum class Halo { Auto, On, Off };
    std::array<Halo, mapview::kLabelKinds> halo{Halo::Auto, Halo::Auto, Halo::Auto, Halo::Auto, Halo::Auto};
    int haloColor = 16777215; // colour value, white
    bool contrastText = true; // black or white text over a statistic fill, whichever contrasts more
};

// One label to place: candidate rectangles in pixels, best first.
struct PlacementItem {
    int priority = 0;  // 0 municipality, 1 town, 2 station, 3 facility
    double weight = 0; // larger first within a priority
    std::vector<QRectF> candidates;
    int chosen = -1;   // index of the candidate taken, -1 when hidden
};

// Places the items greedily by priority and weight: each takes its first candidate that lies in
// bounds and meets no rectangle already taken. Returns how many were placed.
int placeItems(std::vector<PlacementItem>& items, const QRectF& bounds);

// The eight places of a w×h label around a point (pixels): right, left, above, below, then the
// diagonals, each a gap away from the point.
std::vector<QRectF> pointCandidates(const QPointF& point, double w, double h, double gap = 2);

// Up to `count` points well inside a ring (grid samples inside it, farthest from its edge first).
QVector<QPointF> interiorPoints(const QVector<QPointF>& ring, int count);

// Area of a ring in the longitude-latitude plane (for ordering only).
double planarArea(const QVector<QPointF>& ring);

// Region geometry the placement needs per municipality label, parallel to the lblPref copies.
struct RegionShape {
    QVector<QPointF> largestRing; // empty when the label has no region of its own
    double area = 0;
    QString code;
};
std::vector<RegionShape> regionShapes(const mapview::MapTables& tables, mapview::MapMode mode);

// Captions of Pref-mode municipality labels from their name parts: a ward caption that repeats
// among them gets its city ("横浜市緑区", or "横浜市\n緑区").
QStringList wardCaptions(const QStringList& nameParts, PlacementOptions::WardStyle style);
// The same on the layer's municipality labels (Pref mode; other modes have no ward names).
void qualifyWards(mapview::LabelLayer& labels, const mapview::MapTables& tables, mapview::MapMode mode,
                  PlacementOptions::WardStyle style, const platform::Canvas& scale);

// Pref mode: the wards of one city whose label points lie within spanPx of each other give way
// to one label with the city's name, at the middle of their points.
void cityInsteadOfWards(mapview::LabelLayer& labels, const mapview::MapTables& tables, mapview::MapMode mode,
                        const platform::Canvas& scale, int spanPx = 150);

// All rings of the loaded regions (the chosen prefectures' polygons), for the station filter.
std::vector<QVector<QPointF>> loadedRings(const mapview::MapTables& tables, mapview::MapMode mode);
// Hides station labels whose point lies in none of the rings, and (mainOnly) those serving one
// line; lines[i] is the number of lines of station label i + 1.
void filterStations(mapview::LabelLayer& labels, const std::vector<QVector<QPointF>>* rings, bool mainOnly,
                    const std::vector<int>& lines);

// Black or white, whichever contrasts more with the fill (WCAG relative luminance).
int contrastingTextColor(int fillColor);
double relativeLuminance(int colorValue);

struct PlacementInput {
    const mapview::MapTables* tables = nullptr;
    mapview::MapMode mode = mapview::MapMode::Pref;
    std::vector<double> regionOrder; // parallel to lblPref copies: a statistic per label (optional)
    std::vector<int> stationLines;   // parallel to lblEki copies (optional)
};

// The part of a label's pixel rectangle its glyphs cover (the line's leading left out): placed
// labels never share a pixel of it.
QRect inkRect(const mapview::LabelArray& array, const mapview::Label& label, const platform::Canvas& scale);

// ラベル配置 on the layer at the canvas scale: moves and hides labels. Returns labels placed.
int placeLabels(mapview::LabelLayer& labels, const platform::Canvas& scale, const PlacementInput& input,
                const PlacementOptions& options);

// Halos and text colours: over a statistic fill (a map pixel under the label that is not the
// blank background) Auto halos are drawn and text turns black or white by contrast.
void applyHalos(mapview::LabelLayer& labels, const platform::Canvas& canvas, bool statDrawn, const PlacementOptions& options);

// Everything the options ask for, in order, on labels just made: ward captions, station filters,
// placement (region names ordered by the drawn statistic when asked), then halos and colours.
// Nothing is done when no option is set.
void applyPlacementOptions(mapview::LabelLayer& labels, const platform::Canvas& canvas, const mapview::MapTables& tables,
                           mapview::MapMode mode, bool statDrawn, const std::vector<int>& stationLines,
                           const PlacementOptions& options, bool halosAsked = false);

} // namespace miratos::layers
