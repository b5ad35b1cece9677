#include "output/frm_property.h"

#include "platform/widgets_ui.h"
#include "mapview/frm_ken_color.h"
#include "platform/prompts.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QMouseEvent>

namespace miratos::output {

using platform::makeButton;
using platform::makeCheck;
using platform::makeLabel;

namespace {

QComboBox* makeCombo(QWidget* parent, const QString& name, const QStringList& items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    // Sizes may be typed as well as picked; a typed size is not added to the list.
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    return combo;
}

} // namespace

frmProperty::frmProperty(mapview::LabelLayer& labels, const platform::Canvas& scale, QWidget* parent)
    : QDialog(parent), m_labels(labels), m_scale(scale)
{
    setObjectName(QStringLiteral("frmProperty"));
    setWindowTitle(QStringLiteral("各設定"));
    m_kind = state::mdlMain().PropertyKind;
    m_roadIndex = state::mdlMain().PropertyRoadIndex;

    m_lblFont = makeLabel(this, QStringLiteral("lblFont"), QStringLiteral("フォントサイズ"));
    m_cmbFont = makeCombo(this, QStringLiteral("cmbFont"), labelFontSizes());
    m_lblRatio = makeLabel(this, QStringLiteral("lblRatio"), QStringLiteral("倍差"));
    m_cmbRatio = makeCombo(this, QStringLiteral("cmbRatio"), circleRatios());
    m_lbl1 = makeLabel(this, QStringLiteral("lbl1"), QStringLiteral("色"));
    m_lbl2 = makeLabel(this, QStringLiteral("lbl2"), QStringLiteral("色"));
    for (int i = 1; i <= 2; ++i) {
        QLabel* swatch = m_lblColor[i] = makeLabel(this, platform::arrayName("lblColor", i), QString());
        swatch->setFixedSize(60, 22);
        swatch->setFrameShape(QFrame::Box);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
    }
    m_chkBack = makeCheck(this, QStringLiteral("chkBack"), QStringLiteral("背景白地"));
    connect(m_chkBack, &QCheckBox::clicked, this, [this] { chkBack_Click(); });
    auto* cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("決定"));
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setColumnMinimumWidth(1, 110); // the railway and road rows are otherwise very narrow
    grid->addWidget(m_lblFont, 0, 0);
    grid->addWidget(m_cmbFont, 0, 1);
    grid->addWidget(m_lblRatio, 1, 0);
    grid->addWidget(m_cmbRatio, 1, 1);
    grid->addWidget(m_lbl1, 2, 0);
    grid->addWidget(m_lblColor[1], 2, 1);
    grid->addWidget(m_lbl2, 3, 0);
    grid->addWidget(m_lblColor[2], 3, 1);
    grid->addWidget(m_chkBack, 4, 0, 1, 2);
    grid->addWidget(cmdGo, 5, 0, 1, 2, Qt::AlignRight);
    showRow();
}

void frmProperty::showRow()
{
    const LayerSettings s = layerSettingsOf(state::mdlMain(), m_kind, m_roadIndex);
    const bool railway = m_kind == kRowRailway;
    const bool roads = m_kind == kRowRoads;
    const bool circles = m_kind == kRowRankCircles;

    m_lblFont->setVisible(!railway && !roads);
    m_cmbFont->setVisible(!railway && !roads);
    m_chkBack->setVisible(!railway && !roads);
    m_lblRatio->setVisible(circles);
    m_cmbRatio->setVisible(circles);
    m_lbl2->setVisible(railway);
    m_lblColor[2]->setVisible(railway);
    if (railway) {
        m_lbl1->setText(QStringLiteral("路線"));
        m_lbl2->setText(QStringLiteral("駅"));
        mapview::setLabelColor(m_lblColor[2], s.color2);
    } else if (roads) {
        m_lbl1->setText(QStringLiteral("道路"));
    } else if (circles) {
        m_lblFont->setText(QStringLiteral("円の大きさ（緯度数）"));
        m_cmbFont->clear();
        m_cmbFont->addItems(circleSizes());
        m_cmbRatio->setCurrentText(s.ratio);
        m_chkBack->setText(QStringLiteral("最小値 = 0"));
    }
    mapview::setLabelColor(m_lblColor[1], s.color1);
    m_cmbFont->setCurrentText(s.size);
    m_chkBack->setChecked(s.back);
    if (circles)
        chkBack_Click();
}

bool frmProperty::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 1; i <= 2; ++i) {
            if (watched == m_lblColor[i]) {
                lblColor_Click(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmProperty::lblColor_Click(int index)
{
    QLabel* swatch = m_lblColor[index];
    if (const auto chosen = platform::prompts().chooseColor(mapview::labelColor(swatch)))
        mapview::setLabelColor(swatch, *chosen);
}

void frmProperty::chkBack_Click()
{
    // With "最小値 = 0" the circles are proportional to the value and the ratio is not used.
    if (m_kind != kRowRankCircles)
        return;
    const bool ratioUsed = !m_chkBack->isChecked();
    m_cmbRatio->setEnabled(ratioUsed);
    m_lblRatio->setEnabled(ratioUsed);
}

void frmProperty::cmdGo_Click()
{
    LayerSettings s;
    s.size = m_cmbFont->currentText();
    s.ratio = m_cmbRatio->currentText();
    s.color1 = mapview::labelColor(m_lblColor[1]);
    s.color2 = mapview::labelColor(m_lblColor[2]);
    s.back = m_chkBack->isChecked();
    m_followUp = applyLayerProperty(m_kind, m_roadIndex, s, state::mdlMain(), m_labels, m_scale);
    accept();
}

} // namespace miratos::output
