#!/usr/bin/python3
"""The yardstick for ラベル配置: the same map through QGIS's labelling engine (PAL).

The municipalities of 埼玉・千葉・東京・神奈川 (2021 boundaries, one feature per municipality)
with their names in 9 pt, and the stations of the 2016 railways in use with theirs (one name a station group), rendered at
600 x 600 px (96 dpi) and at A4 landscape 300 dpi (3508 x 2480). Municipality names have the
higher priority, as in Miratos. Prints, for each size, the time of the whole render and the names
QGIS placed of each kind. Needs Debian's python3-qgis; run as  /usr/bin/python3 bench/qgis_labels.py
(bench_label_placement gives the figures of Miratos on the same data).
"""
import json
import os
import sys
import time

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
from qgis.core import (QgsApplication, QgsFeature, QgsField, QgsGeometry, QgsMapRendererSequentialJob,
                       QgsMapSettings, QgsPalLayerSettings, QgsPointXY, QgsRectangle, QgsTextFormat,
                       QgsVectorLayer, QgsVectorLayerSimpleLabeling)
from qgis.PyQt.QtCore import QSize, QVariant
from qgis.PyQt.QtGui import QColor, QFont

SHARED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shared", "data")
PREFS = (11, 12, 13, 14)


def municipalities():
    """One polygon feature per municipality code, named as its label (a ward by its own name)."""
    layer = QgsVectorLayer("MultiPolygon?crs=EPSG:4326", "municipalities", "memory")
    layer.dataProvider().addAttributes([QgsField("name", QVariant.String)])
    layer.updateFields()
    parts = {}
    for p in PREFS:
        path = os.path.join(SHARED, "n03-2021", "geojson", "N03-21_%d_210101.json" % p)
        source = QgsVectorLayer(path, "n03", "ogr")
        for f in source.getFeatures():
            code = f["N03_007"]
            if not code:
                continue
            name = f["N03_004"] or f["N03_003"]
            parts.setdefault(code, [name, []])[1].append(f.geometry())
    features = []
    for name, geometries in parts.values():
        feature = QgsFeature(layer.fields())
        feature.setGeometry(QgsGeometry.unaryUnion(geometries))
        feature.setAttribute("name", name)
        features.append(feature)
    layer.dataProvider().addFeatures(features)
    layer.updateExtents()
    return layer


def stations(extent):
    """The stations in use inside the extent, one point per station group, named."""
    layer = QgsVectorLayer("Point?crs=EPSG:4326", "stations", "memory")
    layer.dataProvider().addAttributes([QgsField("name", QVariant.String)])
    layer.updateFields()
    with open(os.path.join(SHARED, "railway", "N05-16_station.topojson.json"), encoding="utf-8") as f:
        topo = json.load(f)
    # The stations are points (the station's middle) with their coordinates in place.
    def first_point(geometry):
        return geometry["coordinates"][0], geometry["coordinates"][1]

    seen = set()
    features = []
    for g in next(iter(topo["objects"].values()))["geometries"]:
        props = g["properties"]
        if props.get("endYear") != 9999 or props["groupId"] in seen or g.get("type") != "Point":
            continue
        x, y = first_point(g)
        if not extent.contains(QgsPointXY(x, y)):
            continue
        seen.add(props["groupId"])
        feature = QgsFeature(layer.fields())
        feature.setGeometry(QgsGeometry.fromPointXY(QgsPointXY(x, y)))
        feature.setAttribute("name", props["stationName"])
        features.append(feature)
    layer.dataProvider().addFeatures(features)
    layer.updateExtents()
    return layer


def label(layer, priority):
    text = QgsTextFormat()
    text.setFont(QFont("Noto Sans CJK JP"))
    text.setSize(9)
    text.setColor(QColor("black"))
    settings = QgsPalLayerSettings()
    settings.fieldName = "name"
    settings.setFormat(text)
    settings.priority = priority
    # As in Miratos: a region name over its label point, names may cross boundaries (only other
    # labels stop them), a station name around its point.
    if layer.geometryType() == 2:
        settings.placement = QgsPalLayerSettings.OverPoint
    else:
        settings.placement = QgsPalLayerSettings.AroundPoint
    settings.obstacleSettings().setIsObstacle(False)
    layer.setLabeling(QgsVectorLayerSimpleLabeling(settings))
    layer.setLabelsEnabled(True)


def render(layers, extent, size, dpi):
    settings = QgsMapSettings()
    settings.setLayers(layers)
    settings.setOutputSize(QSize(*size))
    settings.setOutputDpi(dpi)
    settings.setExtent(extent)
    settings.setBackgroundColor(QColor("white"))
    start = time.perf_counter()
    job = QgsMapRendererSequentialJob(settings)
    job.start()
    job.waitForFinished()
    seconds = time.perf_counter() - start
    placed = {}
    for position in job.takeLabelingResults().allLabels():
        placed[position.layerID] = placed.get(position.layerID, 0) + 1
    return seconds, placed


def main():
    if not os.path.exists(os.path.join(SHARED, "README.md")):
        sys.exit("../shared/data is absent")
    app = QgsApplication([], False)
    app.initQgis()
    towns = municipalities()
    # The four prefectures without Tokyo's far islands, as Miratos's 中心地の領域のみ shows them;
    # QGIS widens it to the picture's shape.
    extent = QgsRectangle(138.90, 34.85, 140.90, 36.30)
    points = stations(extent)
    label(towns, 10)
    label(points, 5)
    print("QGIS %s: %d municipalities, %d stations" % (app.applicationVersion() if hasattr(app, "applicationVersion") else "",
                                                        towns.featureCount(), points.featureCount()))
    print("| size | render (s) | municipality names placed | station names placed |")
    print("|---|---|---|---|")
    for title, size, dpi in (("600 px", (600, 600), 96), ("A4 300 dpi", (3508, 2480), 300)):
        for layers, what in (([towns], "names"), ([points, towns], "names and stations")):
            seconds, placed = render(layers, extent, size, dpi)
            print("| %s, %s | %.3f | %d | %s |" % (title, what, seconds, placed.get(towns.id(), 0),
                                                   placed.get(points.id(), 0) if points in layers else "-"))
    app.exitQgis()


if __name__ == "__main__":
    main()
