#include "stats/frm_compute.h"

#include "state/mdl_main.h"
#include "platform/prompts.h"
#include "platform/widgets_ui.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace miratos::stats {

using platform::makeButton;
using platform::makeLabel;
using state::mdlMain;

frmCompute::frmCompute(AreaLookup area, QWidget* parent) : QDialog(parent), m_area(std::move(area))
{
    setObjectName(QStringLiteral("frmCompute"));
    setWindowTitle(QStringLiteral("計算列"));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    fields->addWidget(makeLabel(this, QStringLiteral("lblName"), QStringLiteral("列名")), 0, 0);
    m_txtName = platform::makeText(this, QStringLiteral("txtName"));
    fields->addWidget(m_txtName, 0, 1);
    fields->addWidget(makeLabel(this, QStringLiteral("lblExpr"), QStringLiteral("計算式")), 1, 0);
    m_txtExpr = platform::makeText(this, QStringLiteral("txtExpr"));
    m_txtExpr->setPlaceholderText(QStringLiteral("例: [人口(人)] ÷ 面積()"));
    fields->addWidget(m_txtExpr, 1, 1);
    layout->addLayout(fields);
    auto* help = makeLabel(this, QStringLiteral("lblHelp"),
                           QStringLiteral("列は [列名] と書き、下の一覧をダブルクリックすると入ります。\n"
                                          "+ − × ÷ と括弧、面積()（地区の面積 km²）、構成比([列])（合計に対する %）、\n"
                                          "増減率([新],[旧])（%）が使えます。数でない値や 0 での割り算はデータなしになります。"));
    help->setWordWrap(true);
    layout->addWidget(help);

    m_lstColumns = new QListWidget(this);
    m_lstColumns->setObjectName(QStringLiteral("lstColumns"));
    const auto& s = mdlMain();
    if (!s.StatTable.empty()) {
        const auto& header = s.StatTable.front();
        for (int c = 2; c <= s.StatColCount && c < static_cast<int>(header.size()); ++c)
            m_lstColumns->addItem(header[static_cast<size_t>(c)]);
    }
    connect(m_lstColumns, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { insertColumn(item->text()); });
    layout->addWidget(m_lstColumns);

    m_tblPreview = new QTableWidget(0, 3, this);
    m_tblPreview->setObjectName(QStringLiteral("tblPreview"));
    m_tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblPreview->verticalHeader()->hide();
    m_tblPreview->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_tblPreview);
    m_lblProblem = makeLabel(this, QStringLiteral("lblProblem"), QString());
    m_lblProblem->setWordWrap(true);
    layout->addWidget(m_lblProblem);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cmdAdd = platform::makeDefaultButton(this, QStringLiteral("cmdAdd"), QStringLiteral("追加"));
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    buttons->addWidget(cmdAdd);
    auto* cmdCancel = makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(m_txtExpr, &QLineEdit::textChanged, this, [this] { updatePreview(); });
    connect(m_txtName, &QLineEdit::textChanged, this, [this] { updatePreview(); });
    resize(520, 520);
    updatePreview();
}

void frmCompute::insertColumn(const QString& header)
{
    m_txtExpr->insert(QLatin1Char('[') + header + QLatin1Char(']'));
    m_txtExpr->setFocus();
}

void frmCompute::updatePreview()
{
    const auto& s = mdlMain();
    const QString name = m_txtName->text().trimmed();
    const QString nameHeader = s.StatTable.empty() || s.StatTable.front().size() < 2 ? QString() : s.StatTable.front()[1];
    m_tblPreview->setHorizontalHeaderLabels(
        {QStringLiteral("Code"), nameHeader, name.isEmpty() ? QStringLiteral("計算結果") : name});
    m_tblPreview->setRowCount(0);
    if (m_txtExpr->text().trimmed().isEmpty()) {
        m_lblProblem->clear();
        return;
    }
    const auto preview = previewComputedColumn(m_txtExpr->text(), s.StatTable, s.StatRowCount, m_area, kPreviewRows);
    if (!preview) {
        m_lblProblem->setText(preview.error());
        return;
    }
    m_lblProblem->clear();
    m_tblPreview->setRowCount(static_cast<int>(preview->size()));
    for (int r = 0; r < preview->size(); ++r) {
        const auto& row = s.StatTable[static_cast<size_t>(r) + 1];
        m_tblPreview->setItem(r, 0, new QTableWidgetItem(row.empty() ? QString() : row[0]));
        m_tblPreview->setItem(r, 1, new QTableWidgetItem(row.size() < 2 ? QString() : row[1]));
        auto* value = new QTableWidgetItem(preview->at(r));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_tblPreview->setItem(r, 2, value);
    }
}

void frmCompute::cmdAdd_Click()
{
    auto& s = mdlMain();
    const Status added = addComputedColumn(m_txtName->text().trimmed(), m_txtExpr->text(), s.StatTable, s.StatColCount, s.StatRowCount, m_area);
    if (!added.ok()) {
        platform::warn(QStringLiteral("だめだめ"), added.error());
        return;
    }
    accept();
}

} // namespace miratos::stats
