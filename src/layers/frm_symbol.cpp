#include "layers/frm_symbol.h"

#include "platform/canvas.h"
#include "platform/prompts.h"
#include "platform/widgets_ui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace miratos::layers {

using platform::makeButton;
using platform::makeLabel;

namespace {
const QString kPaintedColumn = QStringLiteral("（塗り分けの列）");

void paintSwatch(QPushButton* button, int color)
{
    const QColor c = platform::toQColor(color);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; }")
                              .arg(c.name(), c.lightness() < 128 ? QStringLiteral("white") : QStringLiteral("black")));
}
} // namespace

frmSymbol::frmSymbol(const SymbolOptions& options, const QStringList& columns, QWidget* parent)
    : QDialog(parent), m_options(options), m_edit(options)
{
    setObjectName(QStringLiteral("frmSymbol"));
    setWindowTitle(QStringLiteral("比例シンボル"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(makeLabel(this, QStringLiteral("lblColumn"), QStringLiteral("列")), row, 0);
    m_cboColumn = new QComboBox(this);
    m_cboColumn->setObjectName(QStringLiteral("cboColumn"));
    m_cboColumn->addItem(kPaintedColumn);
    m_cboColumn->addItems(columns);
    const int current = options.column.isEmpty() ? 0 : static_cast<int>(columns.indexOf(options.column)) + 1;
    m_cboColumn->setCurrentIndex(std::max(current, 0));
    grid->addWidget(m_cboColumn, row++, 1, 1, 2);

    grid->addWidget(makeLabel(this, QStringLiteral("lblShape"), QStringLiteral("形")), row, 0);
    m_optCircle = platform::makeOption(this, QStringLiteral("optCircle"), QStringLiteral("円"));
    m_optSquare = platform::makeOption(this, QStringLiteral("optSquare"), QStringLiteral("正方形"));
    (options.shape == SymbolShape::Square ? m_optSquare : m_optCircle)->setChecked(true);
    grid->addWidget(m_optCircle, row, 1);
    grid->addWidget(m_optSquare, row++, 2);

    grid->addWidget(makeLabel(this, QStringLiteral("lblSize"), QStringLiteral("最大の半径 (px)")), row, 0);
    m_txtSize = new QSpinBox(this);
    m_txtSize->setObjectName(QStringLiteral("txtSize"));
    m_txtSize->setRange(2, 200);
    m_txtSize->setValue(options.maxRadius);
    grid->addWidget(m_txtSize, row++, 1);

    m_chkFlannery = platform::makeCheck(this, QStringLiteral("chkFlannery"), QStringLiteral("フラナリー補正（大きい値を少し大きく）"));
    m_chkFlannery->setChecked(options.flannery);
    grid->addWidget(m_chkFlannery, row++, 0, 1, 3);

    m_cmdColor = makeButton(this, QStringLiteral("cmdColor"), QStringLiteral("正の値の色"));
    m_cmdNegColor = makeButton(this, QStringLiteral("cmdNegColor"), QStringLiteral("負の値の色"));
    connect(m_cmdColor, &QPushButton::clicked, this, [this] { cmdColor_Click(false); });
    connect(m_cmdNegColor, &QPushButton::clicked, this, [this] { cmdColor_Click(true); });
    grid->addWidget(m_cmdColor, row, 1);
    grid->addWidget(m_cmdNegColor, row++, 2);

    grid->addWidget(makeLabel(this, QStringLiteral("lblValueLabels"), QStringLiteral("値ラベル")), row, 0);
    m_cboValueLabels = new QComboBox(this);
    m_cboValueLabels->setObjectName(QStringLiteral("cboValueLabels"));
    m_cboValueLabels->addItems({QStringLiteral("なし"), QStringLiteral("名前の下に値"), QStringLiteral("値のみ")});
    m_cboValueLabels->setCurrentIndex(static_cast<int>(options.valueLabels));
    grid->addWidget(m_cboValueLabels, row++, 1, 1, 2);
    grid->addWidget(makeLabel(this, QStringLiteral("lblDecimals"), QStringLiteral("小数の桁数")), row, 0);
    m_txtDecimals = new QSpinBox(this);
    m_txtDecimals->setObjectName(QStringLiteral("txtDecimals"));
    m_txtDecimals->setRange(0, 6);
    m_txtDecimals->setValue(options.valueDecimals);
    grid->addWidget(m_txtDecimals, row++, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("決定"));
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    buttons->addWidget(cmdGo);
    auto* cmdCancel = makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    showColors();
}

void frmSymbol::showColors()
{
    paintSwatch(m_cmdColor, m_edit.color);
    paintSwatch(m_cmdNegColor, m_edit.negativeColor);
}

void frmSymbol::cmdColor_Click(bool negative)
{
    int& target = negative ? m_edit.negativeColor : m_edit.color;
    if (const auto chosen = platform::prompts().chooseColor(target))
        target = *chosen;
    showColors();
}

void frmSymbol::cmdGo_Click()
{
    m_edit.column = m_cboColumn->currentIndex() <= 0 ? QString() : m_cboColumn->currentText();
    m_edit.shape = m_optSquare->isChecked() ? SymbolShape::Square : SymbolShape::Circle;
    m_edit.maxRadius = m_txtSize->value();
    m_edit.flannery = m_chkFlannery->isChecked();
    m_edit.valueLabels = static_cast<ValueLabels>(m_cboValueLabels->currentIndex());
    m_edit.valueDecimals = m_txtDecimals->value();
    m_options = m_edit;
    accept();
}

} // namespace miratos::layers
