#include "output/frm_location.h"

#include "state/mdl_main.h"
#include "platform/widgets_ui.h"
#include "output/layer_settings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>

namespace miratos::output {

using platform::makeLabel;

namespace {
// Only a statistic legend can be placed; the plain note always goes to the bottom right.
constexpr int kBottomRight = 4;
} // namespace

frmLocation::frmLocation(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLocation"));
    setWindowTitle(QStringLiteral("パラメータ出力様式"));
    const state::MdlMain& s = state::mdlMain();

    m_cmbFont = new QComboBox(this);
    m_cmbFont->setObjectName(QStringLiteral("cmbFont"));
    m_cmbFont->setEditable(true);
    m_cmbFont->setInsertPolicy(QComboBox::NoInsert);
    for (int size = 8; size <= 24; size += 2)
        m_cmbFont->addItem(QString::number(size));
    m_cmbFont->setCurrentText(QString::number(s.NoteFontSize));

    m_optLocation = new QButtonGroup(this);
    auto* positions = new QHBoxLayout;
    const char* captions[] = {"右枠", "左上", "左下", "右上", "右下"};
    for (int i = 0; i < 5; ++i) {
        auto* option = platform::makeOption(this, platform::arrayName("optLocation", i), QString::fromUtf8(captions[i]));
        m_optLocation->addButton(option, i);
        positions->addWidget(option);
    }
    if (s.StatDrawn) {
        if (QAbstractButton* chosen = m_optLocation->button(s.NoteLocation))
            chosen->setChecked(true);
    } else {
        for (QAbstractButton* option : m_optLocation->buttons())
            option->setEnabled(false);
        m_optLocation->button(kBottomRight)->setChecked(true);
    }

    m_txtMaker = platform::makeText(this, QStringLiteral("txtMaker"), s.NoteMaker);
    m_txtMaker->setMinimumWidth(240);
    auto* cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("決定"));
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(makeLabel(this, QStringLiteral("lblFont"), QStringLiteral("フォントサイズ")), 0, 0);
    grid->addWidget(m_cmbFont, 0, 1, Qt::AlignLeft);
    grid->addWidget(makeLabel(this, QStringLiteral("Label1"), QStringLiteral("出力位置")), 1, 0);
    grid->addLayout(positions, 1, 1);
    grid->addWidget(makeLabel(this, QStringLiteral("Label2"), QStringLiteral("著作権情報")), 2, 0);
    grid->addWidget(m_txtMaker, 2, 1);
    grid->addWidget(cmdGo, 3, 0, 1, 2, Qt::AlignRight);
}

void frmLocation::cmdGo_Click()
{
    state::MdlMain& s = state::mdlMain();
    // A size that is not a number keeps the last one.
    if (const auto size = fontSizeOf(m_cmbFont->currentText()))
        s.NoteFontSize = static_cast<int16_t>(*size);
    if (const int checked = m_optLocation->checkedId(); checked >= 0)
        s.NoteLocation = static_cast<int16_t>(checked);
    s.NoteMaker = m_txtMaker->text();
    s.NoteCancelled = false;
    accept();
}

} // namespace miratos::output
