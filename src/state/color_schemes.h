#pragma once
// Published colour schemes offered beside the four hue series: ColorBrewer's sequential,
// diverging and qualitative tables and matplotlib's viridis and cividis, and the settings of a
// ranking that use them. They live this low because the fill, the legend and the region-colour
// dialog all need them.
#include "state/mdl_main.h"
#include "state/scheme_options.h"

#include <QString>
#include <QVector>
#include <vector>

namespace miratos::state {

enum class SchemeKind { Sequential, Diverging, Qualitative };

struct SchemeInfo {
    QString name;
    SchemeKind kind;
    int safeUpTo; // colour-blind safe for up to this many classes (0: not marked)
};

// Every published scheme, in the order the lists show them.
const std::vector<SchemeInfo>& colorSchemes();
// The scheme of that name (case as published, e.g. "Blues", "RdBu", "viridis"), or nullptr.
const SchemeInfo* findScheme(const QString& name);
// The list text: the name, marked "（色覚配慮）" where it is safe for every class count it offers.
QString schemeListText(const SchemeInfo& scheme);

// n colours (R + 256·G + 65536·B) of the scheme, light to dark for sequential ones, the low side
// first for diverging ones. The published table of n classes where there is one; beyond it the
// largest table is interpolated (qualitative ones repeat). Empty for an unknown name or n < 1.
QVector<int> schemeColors(const QString& name, int n);

// Diverging colours for ranks with these bounds around a centre: ranks wholly below it take the
// low side, wholly above it (lower bound at or above it) the high side, a rank holding it the
// neutral middle. Equal distance from the centre gives equal strength, so a side with fewer
// ranks stops short of its darkest colour.
QVector<int> centredColors(const QString& name, const QVector<float>& lower, const QVector<float>& upper, double centre);

} // namespace miratos::state
