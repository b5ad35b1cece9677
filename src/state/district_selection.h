#pragma once
// The district dialog's work without the window: which district files are offered, the
// remembered selection in MapData/SelectCity.txt, and the City-mode selection it writes.
#include "state/mdl_main.h"
#include "platform/keyed_table.h"
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace miratos::state {

struct DistrictListItem {
    QString fileName; // as the list shows it: 17_13101_千代田区.dat
    QString path;     // folder + file name
};

// The district files of the selected prefectures for state.DataYear, prefectures in ascending
// code order, files of a prefecture sorted by name.
QVector<DistrictListItem> listDistrictFiles(const MdlMain& state);

// The remembered file names (empty when SelectCity.txt does not exist yet).
QStringList readSelectCity();

// Fills TikuCount, TikuPath, TikuPrefix, TikuTable(k,0) and (k,3) from the chosen items and adds
// a yellow row per municipality to lvwTikuColor.
void fillDistrictSelection(const QVector<DistrictListItem>& chosen, MdlMain& state, platform::KeyedTable& lvwTikuColor);

// fillDistrictSelection, then SelectCity.txt rewritten with the chosen names (an empty file when
// nothing is chosen).
Status applyDistrictSelection(const QVector<DistrictListItem>& chosen, MdlMain& state, platform::KeyedTable& lvwTikuColor);

} // namespace miratos::state
