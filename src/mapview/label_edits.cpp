#include "mapview/label_edits.h"

namespace miratos::mapview {

state::LabelEdit labelEditOf(const LabelLayer& labels, LabelKind kind, int index, const QString& builtCaption)
{
    const Label& l = labels.array(kind).at(index);
    return {static_cast<int>(kind), index, builtCaption, l.caption, l.left, l.top, l.visible};
}

QStringList applyLabelEdits(const std::vector<state::LabelEdit>& edits, LabelLayer& labels)
{
    QStringList problems;
    for (const state::LabelEdit& e : edits) {
        if (e.kind < 0 || e.kind >= kLabelKinds)
            continue;
        LabelArray& array = labels.array(static_cast<LabelKind>(e.kind));
        if (e.index < 1 || e.index >= array.count() || array.at(e.index).caption != e.builtCaption) {
            problems << QStringLiteral("地図ファイルのラベル「%1」がこの地図にないので、その編集は使いません。").arg(e.builtCaption);
            continue;
        }
        if (e.caption != e.builtCaption && !e.caption.isEmpty())
            array.setCaption(e.index, e.caption);
        Label& l = array.edit(e.index);
        l.left = e.left;
        l.top = e.top;
        l.visible = e.visible;
    }
    return problems;
}

} // namespace miratos::mapview
