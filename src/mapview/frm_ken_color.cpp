#include "mapview/frm_ken_color.h"

#include "state/mdl_main.h"
#include "platform/widgets_ui.h"
#include "mapview/region_colors.h"
#include "platform/canvas.h"
#include "platform/prompts.h"
#include "state/color_schemes.h"

#include <QComboBox>

#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

namespace miratos::mapview {

using platform::makeButton;
using platform::makeLabel;
using state::mdlMain;

void setLabelColor(QLabel* label, int color)
{
    label->setProperty("colorValue", color);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, platform::toQColor(color));
    label->setPalette(p);
}

int labelColor(const QLabel* label)
{
    return label->property("colorValue").toInt();
}

frmKenColor::frmKenColor(platform::KeyedTable& lvwTikuColor, QWidget* parent) : QDialog(parent), m_lvwTikuColor(lvwTikuColor)
{
    setObjectName(QStringLiteral("frmKenColor"));
    setWindowTitle(QStringLiteral("県色"));
    const bool city = mdlMain().MapMode == QLatin1String("City");

    auto* board = new QWidget(this);
    auto* templ = makeLabel(board, QStringLiteral("lblKen_0"), QString());
    templ->setVisible(false);
    m_lblKen.append(templ);
    int right = 0;
    int bottom = 0;
    for (int i = 1; i <= 47; ++i) {
        const auto& row = mdlMain().PrefTable[static_cast<size_t>(i)];
        if (row[0] != QLatin1String("TRUE"))
            continue;
        const int n = static_cast<int>(m_lblKen.size());
        auto* label = makeLabel(board, platform::arrayName("lblKen", n), row[1]);
        label->setProperty("tag", i);
        label->setGeometry(QRect(kenLabelPosition(n), QSize(74, 20)));
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        setLabelColor(label, row[2].toInt());
        label->installEventFilter(this);
        m_lblKen.append(label);
        right = std::max(right, label->geometry().right());
        bottom = std::max(bottom, label->geometry().bottom());
    }
    board->setMinimumSize(right + 8, bottom + 8);

    auto* cmdColor = makeButton(this, QStringLiteral("cmdColor"), QStringLiteral("市区町村色"));
    auto* lblMes = makeLabel(this, QStringLiteral("lblMes"), QStringLiteral("※塗りつぶしの色は各市区町村の色設定が優先されます。"));
    cmdColor->setVisible(city);
    lblMes->setVisible(city);
    connect(cmdColor, &QPushButton::clicked, this, [this] {
        frmTikuColor dialog(m_lvwTikuColor, this);
        dialog.exec();
    });
    auto* cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("閉じる"));
    connect(cmdGo, &QPushButton::clicked, this, &QDialog::accept);

    // Published qualitative schemes over every region at once.
    m_cmbScheme = new QComboBox(this);
    m_cmbScheme->setObjectName(QStringLiteral("cmbScheme"));
    for (const state::SchemeInfo& scheme : state::colorSchemes()) {
        if (scheme.kind == state::SchemeKind::Qualitative)
            m_cmbScheme->addItem(state::schemeListText(scheme), scheme.name);
    }
    auto* cmdScheme = makeButton(this, QStringLiteral("cmdScheme"), QStringLiteral("配色"));
    connect(cmdScheme, &QPushButton::clicked, this, [this] { cmdScheme_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmbScheme);
    buttons->addWidget(cmdScheme);
    buttons->addWidget(cmdColor);
    buttons->addStretch();
    buttons->addWidget(cmdGo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(board);
    layout->addWidget(lblMes);
    layout->addLayout(buttons);
}

bool frmKenColor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const int index = static_cast<int>(m_lblKen.indexOf(static_cast<QLabel*>(watched)));
        if (index > 0) {
            lblKen_Click(index);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmKenColor::lblKen_Click(int index)
{
    QLabel* label = m_lblKen.at(index);
    const auto chosen = platform::prompts().chooseColor(labelColor(label));
    if (!chosen)
        return;
    setLabelColor(label, *chosen);
    setPrefectureColor(label->property("tag").toInt(), *chosen, mdlMain().MapMode == QLatin1String("City"), mdlMain(),
                       m_lvwTikuColor);
}

void frmKenColor::cmdScheme_Click()
{
    if (!applyRegionScheme(m_cmbScheme->currentData().toString(), mdlMain(), m_lvwTikuColor))
        return;
    for (int n = 1; n < m_lblKen.size(); ++n)
        setLabelColor(m_lblKen.at(n), mdlMain().PrefTable[static_cast<size_t>(m_lblKen.at(n)->property("tag").toInt())][2].toInt());
}

frmTikuColor::frmTikuColor(platform::KeyedTable& lvwTikuColor, QWidget* parent) : QDialog(parent), m_lvwTikuColor(lvwTikuColor)
{
    setObjectName(QStringLiteral("frmTikuColor"));
    setWindowTitle(QStringLiteral("市区町村色"));
    m_lstTiku = new QListWidget(this);
    m_lstTiku->setObjectName(QStringLiteral("lstTiku"));
    for (int k = 1; k <= mdlMain().TikuCount; ++k)
        m_lstTiku->addItem(mdlMain().TikuTable[static_cast<size_t>(k)][0]);
    connect(m_lstTiku, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            lstTiku_Click(row);
    });
    m_lblColor = makeLabel(this, QStringLiteral("lblColor"), QString());
    m_lblColor->setFixedSize(80, 40);
    m_lblColor->setFrameShape(QFrame::Box);
    m_lblColor->setCursor(Qt::PointingHandCursor);
    m_lblColor->installEventFilter(this);
    auto* cmdRandom = makeButton(this, QStringLiteral("cmdRandom"), QStringLiteral("全地区ランダム"));
    connect(cmdRandom, &QPushButton::clicked, this, [this] { cmdRandom_Click(); });
    auto* cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("閉じる"));
    connect(cmdGo, &QPushButton::clicked, this, &QDialog::accept);

    auto* side = new QVBoxLayout;
    side->addWidget(m_lblColor);
    side->addWidget(cmdRandom);
    side->addStretch();
    side->addWidget(cmdGo);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_lstTiku);
    layout->addLayout(side);
    resize(380, 320);
}

bool frmTikuColor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lblColor && event->type() == QEvent::MouseButtonRelease) {
        lblColor_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmTikuColor::showSwatch(int color)
{
    setLabelColor(m_lblColor, color);
}

void frmTikuColor::lstTiku_Click(int position)
{
    if (m_lstTiku->currentRow() != position)
        m_lstTiku->setCurrentRow(position);
    showSwatch(municipalityColor(mdlMain(), m_lvwTikuColor, position + 1));
}

void frmTikuColor::lblColor_Click()
{
    const int p = m_lstTiku->currentRow();
    if (p < 0)
        return;
    const auto chosen = platform::prompts().chooseColor(labelColor(m_lblColor));
    if (!chosen)
        return;
    showSwatch(*chosen);
    setMunicipalityColor(mdlMain(), m_lvwTikuColor, p + 1, *chosen);
}

void frmTikuColor::cmdRandom_Click()
{
    randomMunicipalityColors(mdlMain(), m_lvwTikuColor);
    const int p = m_lstTiku->currentRow();
    if (p >= 0)
        showSwatch(municipalityColor(mdlMain(), m_lvwTikuColor, p + 1));
}

} // namespace miratos::mapview
