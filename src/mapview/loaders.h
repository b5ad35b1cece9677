#pragma once
// Loading the selected prefectures (or municipalities) into the map window's tables, one loader
// per map mode. Files that are missing or damaged do not stop the load: a bad record is left out,
// the rest is loaded, and the problems are returned for the window to show.
#include "state/mdl_main.h"
#include "mapview/map_tables.h"

#include <QStringList>
#include <functional>

namespace miratos::mapview {

// Calls into the layers that load with the boundaries, and the responsiveness hook.
struct LoadHooks {
    std::function<void(int prefCode)> loadFacilities;    // Japan and Pref modes
    std::function<void(int prefCode)> loadAllFacilities; // City mode, whole prefecture
    std::function<void()> keepChosenFacilities;          // City mode, after all prefectures
    std::function<void(int prefCode)> loadRoads;
    std::function<void(bool visible)> showFacilityTree;
    std::function<void()> yield;
};

struct LoadReport {
    // One line per file that could not be read and per record left out (file and line).
    QStringList problems;
};

LoadReport loadJapan(MapTables& tables, const state::MdlMain& state, const QString& initIni, const LoadHooks& hooks);
LoadReport loadPref(MapTables& tables, const state::MdlMain& state, const QString& initIni, const LoadHooks& hooks);
// Writes the municipality centres into state.TikuTable(k,1) and (k,2).
LoadReport loadCity(MapTables& tables, state::MdlMain& state, const LoadHooks& hooks);

// The fixed extent of a prefecture from the settings file: (west, east, south, north), or nothing
// when its SpecialCoordinate key is missing or not four numbers.
std::optional<FileExtent> specialCoordinate(int prefCode, const QString& initIni);

} // namespace miratos::mapview
