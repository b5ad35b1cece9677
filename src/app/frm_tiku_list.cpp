#include "app/frm_tiku_list.h"

#include "platform/widgets_ui.h"
#include "platform/prompts.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace miratos::app {

using platform::makeButton;
using platform::makeCheck;
using state::mdlMain;
using state::DistrictListItem;
using state::listDistrictFiles;
using state::readSelectCity;
using state::applyDistrictSelection;

frmTikuList::frmTikuList(platform::KeyedTable& lvwTikuColor, QWidget* parent) : QDialog(parent), m_lvwTikuColor(lvwTikuColor)
{
    setObjectName(QStringLiteral("frmTikuList"));
    setWindowTitle(QStringLiteral("地区リスト"));
    m_lstTiku = new QListWidget(this);
    m_lstTiku->setObjectName(QStringLiteral("lstTiku"));
    m_lstTiku->setSelectionMode(QAbstractItemView::MultiSelection);
    m_items = listDistrictFiles(mdlMain());
    for (const DistrictListItem& item : m_items)
        m_lstTiku->addItem(item.fileName);

    m_chkAll = makeCheck(this, QStringLiteral("chkAll"), QStringLiteral("全地区選択/解除"));
    m_chkBefore = makeCheck(this, QStringLiteral("chkBefore"), QStringLiteral("前回地区選択/解除"));
    auto* cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("描画"));
    connect(m_chkAll, &QCheckBox::clicked, this, [this] { chkAll_Click(); });
    connect(m_chkBefore, &QCheckBox::clicked, this, [this] { chkBefore_Click(); });
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lstTiku);
    layout->addWidget(m_chkAll);
    layout->addWidget(m_chkBefore);
    layout->addWidget(cmdGo, 0, Qt::AlignRight);
    resize(360, 480);
}

void frmTikuList::chkAll_Click()
{
    for (int i = 0; i < m_lstTiku->count(); ++i)
        m_lstTiku->item(i)->setSelected(m_chkAll->isChecked());
}

void frmTikuList::chkBefore_Click()
{
    m_lstTiku->clearSelection();
    if (!m_chkBefore->isChecked())
        return;
    for (const QString& name : readSelectCity()) {
        for (int i = 0; i < m_lstTiku->count(); ++i) {
            if (m_lstTiku->item(i)->text() == name) {
                m_lstTiku->item(i)->setSelected(true);
                break;
            }
        }
    }
}

void frmTikuList::cmdGo_Click()
{
    QVector<DistrictListItem> chosen;
    for (int i = 0; i < m_lstTiku->count(); ++i) {
        if (m_lstTiku->item(i)->isSelected())
            chosen.append(m_items.at(i));
    }
    const Status written = applyDistrictSelection(chosen, mdlMain(), m_lvwTikuColor);
    if (!written.ok())
        platform::warn(QStringLiteral("要確認"), QStringLiteral("前回の地区を保存できませんでした。\n") + written.error());
    // Nothing chosen: the dialog stays open.
    if (mdlMain().TikuCount > 0)
        accept();
}

} // namespace miratos::app
