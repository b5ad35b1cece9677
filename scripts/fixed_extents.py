#!/usr/bin/env python3
"""Compute the [SpecialCoordinate] lines of data/Init.ini from the municipal boundaries.

For prefectures whose far islands stretch the whole extent far beyond the main area, the map
shows a fixed area instead: the extent of the polygons kept below, widened by MARGIN degrees and
rounded outward to two decimals. Each value is "east west south north" in degrees.

Usage: fixed_extents.py [DATA_DIR] [--verbose]
DATA_DIR defaults to ../shared/data beside the repository and must hold
n03-2021/geojson/N03-21_PP_210101.json. The lines are printed to standard output only; with
--verbose the whole and the kept extent of each prefecture go to standard error.
"""

import argparse
import json
import math
import sys
from pathlib import Path

MARGIN = 0.02

# code: None is land not yet assigned to a municipality (所属未定地).
# lon, lat: centre of the bounding box of one polygon's outer ring.


def tokyo(code, lon, lat):
    # The 23 wards, the Tama cities and Nishitama county (codes below 13360). None of the Izu or
    # Ogasawara islands is kept: even Izu Oshima, the nearest, would double the height of the map
    # with open sea. Unassigned land is the reclaimed land in the bay, inside the wards' extent,
    # and Torishima far south: both go.
    return code is not None and code < "13360"


def okinawa(code, lon, lat):
    # Okinawa Island and the Okinawa Islands around it (Kerama, Aguni, Tonaki, Kume, Iheya, Izena,
    # Ie); Kume stays so that no municipality of this group falls outside the map. Dropped: the
    # Miyako, Yaeyama and Daito municipalities, and Io-Torishima, an uninhabited islet of
    # Kumejima town 90 km north of Iheya.
    miyako_yaeyama_daito = {"47207", "47214", "47375", "47381", "47382", "47357", "47358"}
    return code not in miyako_yaeyama_daito and lat < 27.5


def hokkaido(code, lon, lat):
    # The main island with Rishiri, Rebun, Okushiri and the other near islands. Dropped: the six
    # villages of Etorofu, Kunashiri and Shikotan, and the Habomai islets of Nemuro east of Cape
    # Nosappu. The islets off Matsumae stay: they widen the map by less than 0.1 degree.
    northern_territories = {"01695", "01696", "01697", "01698", "01699", "01700"}
    return code not in northern_territories and lon < 145.85


def kagoshima(code, lon, lat):
    # Satsuma and Osumi with Koshiki, Nagashima, the Mishima villages, Tanegashima and Yakushima.
    # Dropped: the Amami islands (Amami city and Oshima county, 465xx) and the Tokara islands
    # (Toshima village), and the uninhabited Uji and Kusagaki islets of Minamisatsuma west of
    # 129.6 degrees, which alone would widen the map by a quarter of a degree.
    amami = code == "46222" or (code is not None and "46523" <= code <= "46535")
    tokara = code == "46304"
    return not amami and not tokara and lon >= 129.6


def nagasaki(code, lon, lat):
    # The mainland with Hirado, Iki and the Goto islands, which together make up the prefecture.
    # Dropped: Tsushima, 130 km north, which would add most of a degree of sea to the height, and
    # the uninhabited Danjo islets of Goto city far to the south-west.
    return code != "42209" and lat >= 32.3


def shimane(code, lon, lat):
    # The mainland. Dropped: the Oki islands (Oki county, 32525..32528), 50 km offshore, which
    # would add more than half the height again in open sea.
    return code is None or not "32525" <= code <= "32528"


KEEP = {
    "01": hokkaido,
    "13": tokyo,
    "32": shimane,
    "42": nagasaki,
    "46": kagoshima,
    "47": okinawa,
}


def polygons(geometry):
    if geometry["type"] == "Polygon":
        return [geometry["coordinates"]]
    return geometry["coordinates"]


class Extent:
    def __init__(self):
        self.west = self.south = math.inf
        self.east = self.north = -math.inf

    def add(self, other):
        self.west = min(self.west, other.west)
        self.east = max(self.east, other.east)
        self.south = min(self.south, other.south)
        self.north = max(self.north, other.north)

    @staticmethod
    def of_ring(ring):
        e = Extent()
        e.west = min(p[0] for p in ring)
        e.east = max(p[0] for p in ring)
        e.south = min(p[1] for p in ring)
        e.north = max(p[1] for p in ring)
        return e

    def text(self):
        return "W %.3f E %.3f S %.3f N %.3f" % (self.west, self.east, self.south, self.north)


def extents(path, keep):
    """Whole extent and kept extent of one prefecture file (outer rings hold the holes)."""
    with open(path, encoding="utf-8") as f:
        features = json.load(f)["features"]
    whole, kept = Extent(), Extent()
    for feature in features:
        code = feature["properties"].get("N03_007")
        for polygon in polygons(feature["geometry"]):
            ring = Extent.of_ring(polygon[0])
            whole.add(ring)
            if keep(code, (ring.west + ring.east) / 2, (ring.south + ring.north) / 2):
                kept.add(ring)
    return whole, kept


def outward(value, margin, up):
    # Round on hundredths after removing float noise, so 35.48 stays 35.48.
    hundredths = round((value + margin if up else value - margin) * 100, 6)
    return (math.ceil(hundredths) if up else math.floor(hundredths)) / 100


def value_text(kept):
    return "%.2f %.2f %.2f %.2f" % (
        outward(kept.east, MARGIN, True),
        outward(kept.west, MARGIN, False),
        outward(kept.south, MARGIN, False),
        outward(kept.north, MARGIN, True),
    )


def main():
    repository = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data", nargs="?", default=repository.parent / "shared" / "data",
                        type=Path, help="data folder (default: ../shared/data)")
    parser.add_argument("--verbose", action="store_true",
                        help="print whole and kept extents to standard error")
    args = parser.parse_args()

    print("[SpecialCoordinate]")
    for pref, keep in sorted(KEEP.items()):
        path = args.data / "n03-2021" / "geojson" / ("N03-21_%s_210101.json" % pref)
        whole, kept = extents(path, keep)
        print("%s=%s" % (pref, value_text(kept)))
        if args.verbose:
            print("%s whole %s" % (pref, whole.text()), file=sys.stderr)
            print("%s kept  %s" % (pref, kept.text()), file=sys.stderr)


if __name__ == "__main__":
    main()
