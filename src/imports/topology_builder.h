#pragma once
// Shared-line topology built from polygons that each repeat their borders (Shapefile, GeoJSON,
// GML, GeoPackage): every stretch of border is stored once as a line, and a line ends wherever
// the set of rings running along it changes. Each ring then refers to its lines, walked
// backwards where an earlier ring walked them the other way. The first point of each source ring
// also ends a line: TopoJSON tools cut their arcs there, and the same data then gives the same
// lines either way.
#include "imports/boundary_topology.h"

#include <QHash>
#include <QMap>
#include <cstdint>
#include <vector>

namespace miratos::imports {

// Features a boundary reader leaves out, for the messages after reading a file.
class SkippedFeatures {
public:
    void addWithoutCode(const QString& name); // unassigned land (所属未定地) and the like
    void addOtherType(const QString& geometryType); // points, lines
    int count() const;
    // One message per kind to progress, naming the file.
    void report(const QString& path, const ProgressFn& progress) const;

private:
    int m_withoutCode = 0;
    QStringList m_namesWithoutCode;
    QMap<QString, int> m_otherTypes;
};

struct TopologyCounts {
    qsizetype droppedRings = 0; // rings of fewer than three distinct points
    qsizetype snappedPoints = 0; // points moved onto another point or inserted into a border
};

class TopologyBuilder {
public:
    // snapTolerance in degrees; 0 joins points only when exactly equal (right for published data
    // whose neighbours share their vertices). With a tolerance, a point within it of an earlier
    // point becomes that point, and a point within it of another ring's segment is inserted into
    // that segment, so that borders whose vertices differ slightly still come out as one line.
    explicit TopologyBuilder(double snapTolerance = 0);

    // Adds a municipality and returns its index; its polygons are added by addPolygon.
    int addMunicipality(TopoMunicipality municipality);
    int municipalityCount() const { return int(m_municipalities.size()); }
    TopoMunicipality& municipality(int index) { return m_municipalities[index]; }

    // One polygon: its outer ring, then its holes. Rings may or may not repeat their first point
    // at the end; repeated consecutive points are dropped. Outer rings are turned clockwise and
    // holes anticlockwise, keeping their first point. A polygon whose outer ring has fewer
    // than three distinct points is left out, as is such a hole. A polygon of municipality -1
    // (land the file leaves unassigned) is no part of the result but still ends the lines of
    // its neighbours where it begins and ends, as a municipality would.
    void addPolygon(int municipality, const std::vector<QVector<QPointF>>& rings);

    // Builds the lines and the rings that use them. The builder is empty afterwards.
    BoundaryTopology finish(TopologyCounts* counts = nullptr);

private:
    struct Ring {
        qsizetype offset = 0; // into m_ringVertices
        qsizetype size = 0;
        int municipality = 0;
        int polygon = 0; // index into the municipality's polygons
        bool outer = false;
    };

    std::int32_t vertexOf(const QPointF& p);
    std::int32_t snappedVertexOf(const QPointF& p);
    void insertIntoSegments();

    double m_tolerance = 0;
    std::vector<QPointF> m_points;         // vertex id -> point
    std::vector<std::int32_t> m_slots;      // open-addressing table of vertex ids, -1 free
    QHash<QPair<qint64, qint64>, std::vector<std::int32_t>> m_cells; // snapping grid
    std::vector<std::int32_t> m_ringVertices;
    std::vector<Ring> m_rings;
    QVector<TopoMunicipality> m_municipalities;
    TopologyCounts m_counts;
};

} // namespace miratos::imports
