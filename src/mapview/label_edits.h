#pragma once
// Labels moved, renamed or hidden by hand, as a saved map keeps them: taken from the layer and
// applied again to the labels a map builds.
#include "state/saved_map.h"
#include "mapview/labels.h"

#include <QStringList>
#include <vector>

namespace miratos::mapview {

// The edit that makes the label (kind, index) look as it does now; builtCaption is the caption
// the map gave it.
state::LabelEdit labelEditOf(const LabelLayer& labels, LabelKind kind, int index, const QString& builtCaption);

// Applies edits to the labels the map built. An edit whose label is not there, or was built with
// another caption (other data), is left out and named.
QStringList applyLabelEdits(const std::vector<state::LabelEdit>& edits, LabelLayer& labels);

} // namespace miratos::mapview
