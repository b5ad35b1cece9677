#pragma once
// The facility layer of the map window: the facility table (BuildTable) filled from the
// prefectures' Build.dat files and the user's import tables, the two-level class tree with check
// boxes (tvwBuild), the markers and names of the facilities of ticked classes (chkBuild,
// chkBuildName) and the rank circles of their values (chkBuildRank). Markers, names and circles
// go into the label layer, so they keep their places through zooming and are exported.
#include "state/mdl_main.h"
#include "mapview/labels.h"
#include "platform/canvas.h"
#include "store/facility_files.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace miratos::layers {

// The class tree: one top node per major class (key class + "p"), under it one node per minor
// class (key minor class + "c"), a minor class under the first major class it came with. Nodes
// only grow; a node with an existing key is not added again. New nodes start ticked, so that
// "施設指標" shows every facility until classes are unticked.
class BuildClassTree {
public:
    struct Node {
        QString key;
        QString text;
        int parent = -1; // index of the top node; -1 for a top node
        bool checked = true;
        int children = 0;
    };

    // Adds the major and minor class nodes of a facility (existing keys are left alone).
    void addClassesOf(const store::BuildRow& row);
    // The node check rule: a top node passes its state to every node without children whose
    // parent's text equals its text; any node keeps its own new state.
    void setChecked(int index, bool checked);
    // Every node ticked or unticked at once ("すべて選択", "すべて解除").
    void setAll(bool checked);
    // Whether the minor class node of this minor class is ticked (false when there is none).
    bool minorChecked(const QString& minorClass) const;

    int indexOf(const QString& key) const { return m_index.value(key, -1); }
    const std::vector<Node>& nodes() const { return m_nodes; }
    int count() const { return static_cast<int>(m_nodes.size()); }

private:
    int add(const QString& key, const QString& text, int parent);

    std::vector<Node> m_nodes;
    QHash<QString, int> m_index;
};

// The rank circle settings of LayerProperty row 7: size s (degrees of latitude), ratio r,
// "最小値 = 0", colour.
struct RankSettings {
    double size = 0.0003;
    double ratio = 2;
    bool minZero = false;
    int color = 0;
};
RankSettings rankSettingsOf(const state::MdlMain& state);

// Diameter of a value's circle between the smallest and largest selected value:
//  - "最小値 = 0": s × value / maximum, so 0 gets 0 and the maximum s; a negative value gets 0;
//    when no selected value is above 0 every circle gets s.
//  - otherwise: s + (r − 1) × s × (value − minimum) / (maximum − minimum), from s to r × s;
//    when all selected values are equal every circle gets s.
double circleDiameter(double value, double minimum, double maximum, const RankSettings& settings);

class FacilityLayer {
public:
    // Appends facilities (Build.dat or an import table) and adds their class nodes; returns how
    // many were added.
    int append(std::vector<store::BuildRow> rows);
    // City mode: the rows whose municipality code is one of codes, in file order.
    static std::vector<store::BuildRow> keepChosen(std::vector<store::BuildRow> rows, const QStringList& codes);

    const std::vector<store::BuildRow>& table() const { return m_rows; }
    int BuildCount() const { return static_cast<int>(m_rows.size()); }
    BuildClassTree& tvwBuild() { return m_tree; }
    const BuildClassTree& tvwBuild() const { return m_tree; }

    QString BuildRankTitle;
    int MarkerStyle = 0; // 0 "点", 1 "図"

    // chkBuild: with ticked, a marker and a name for every facility whose minor class is ticked
    // ("・", or in symbol mode the class's BuildString value of symbolFile unless that is
    // "ERROR"); without, none. Names are then shown or hidden as chkBuildName says.
    void markers(mapview::LabelLayer& layer, bool ticked, bool names, const QString& symbolFile,
                 const platform::Canvas& scale) const;
    // The symbols the markers show in symbol mode with their major class, once each in the order
    // the classes first come, for the legend; empty in "点" mode.
    QVector<QPair<QString, QString>> symbolKey(const QString& symbolFile) const;
    // chkBuildName: every facility name visible exactly when ticked.
    void showNames(mapview::LabelLayer& layer, bool ticked) const;
    // chkBuildRank: removes the circles; with ticked, one circle for every facility whose value is
    // a number and whose minor class is ticked. Returns the number of circles.
    int rankCircles(mapview::LabelLayer& layer, bool ticked, const RankSettings& settings) const;

private:
    std::vector<store::BuildRow> m_rows;
    // Parallel to m_rows, parsed once: position and value.
    std::vector<double> m_lat, m_lon;
    std::vector<std::optional<double>> m_value;
    BuildClassTree m_tree;
};

} // namespace miratos::layers
