// The map window's proportional symbols: the check box "比例シンボル", its settings on a right
// click, and their part of the redraw.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "layers/frm_symbol.h"
#include "mapview/map_drawing.h"
#include "stats/painted_regions.h"

#include <QCheckBox>
#include <QMouseEvent>

namespace miratos::app {

using state::mdlMain;

namespace {

// A right click on the check box opens the settings; it never ticks the box.
class SymbolRightClick : public QObject {
public:
    SymbolRightClick(frmMain* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
            return false;
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
            return false;
        if (type == QEvent::MouseButtonPress && static_cast<QWidget*>(watched)->isEnabled())
            m_window->openSymbolSettings();
        return true;
    }

private:
    frmMain* m_window;
};

} // namespace

void frmMain::installSymbolControls()
{
    auto* box = findChild<QCheckBox*>(QStringLiteral("chkSymbols"));
    connect(box, &QCheckBox::clicked, this, [this] { chkSymbols_Click(); });
    box->installEventFilter(new SymbolRightClick(this));
}

void frmMain::chkSymbols_Click()
{
    m_symbols.enabled = findChild<QCheckBox*>(QStringLiteral("chkSymbols"))->isChecked();
    if (!mapShown() || m_busy > 0)
        return;
    処理中(false);
    描画();
    処理中(true);
}

void frmMain::openSymbolSettings()
{
    QStringList columns;
    const auto& s = mdlMain();
    if (!s.StatTable.empty()) {
        const auto& header = s.StatTable.front();
        for (int c = 2; c <= s.StatColCount && c < static_cast<int>(header.size()); ++c)
            columns << header[static_cast<size_t>(c)];
    }
    layers::frmSymbol dialog(m_symbols, columns, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool enabled = m_symbols.enabled;
    m_symbols = dialog.options();
    m_symbols.enabled = enabled;
    if (!mapShown() || m_busy > 0)
        return;
    処理中(false);
    描画();
    処理中(true);
}

void frmMain::addSymbolDrawing(mapview::DrawOptions& options)
{
    const auto mode = mapview::mapModeOf(mdlMain().MapMode);
    m_symbolLegend = {};
    m_symbolList.clear();
    if (m_symbols.enabled) {
        auto symbols = stats::symbolsOf(stats::paintedRegions(m_tables, mode), mdlMain(), mode, m_symbols.column);
        // A column that left the table (a new extraction) falls back to the painted one.
        if (!symbols)
            symbols = stats::symbolsOf(stats::paintedRegions(m_tables, mode), mdlMain(), mode, QString());
        if (symbols)
            m_symbolList = std::move(*symbols);
        const QString title = m_symbols.column.isEmpty() ? mdlMain().StatItemName : m_symbols.column;
        options.symbols = [this, title](platform::Canvas& canvas) {
            m_symbolLegend = layers::drawSymbols(canvas, m_symbolList, m_symbols, title);
            m_symbolLegend.decimals = m_symbols.valueDecimals;
        };
    }
    options.valueLabels = [this, mode](mapview::LabelLayer& labels) {
        layers::applyValueLabels(labels, m_tables, mode, m_symbols, m_canvas);
    };
}

} // namespace miratos::app
