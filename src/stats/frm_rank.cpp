#include "stats/frm_rank.h"

#include "state/mdl_main.h"
#include "platform/widgets_ui.h"
#include "mapview/frm_ken_color.h"
#include "platform/number_text.h"
#include "platform/prompts.h"
#include "state/color_schemes.h"
#include "stats/ranking.h"
#include "stats/scheme_ranking.h"
#include "store/statistic_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace miratos::stats {

using platform::makeButton;
using platform::makeLabel;
using state::mdlMain;
using mapview::labelColor;
using mapview::setLabelColor;

namespace {
constexpr int kMaxRanks = 10;
constexpr int kHueSeries = 4; // "赤", "黄", "緑", "青" come first in the list

// The published schemes the list offers after the hue series, in list order.
QVector<const state::SchemeInfo*> rankSchemes()
{
    QVector<const state::SchemeInfo*> out;
    for (const state::SchemeInfo& scheme : state::colorSchemes()) {
        if (scheme.kind != state::SchemeKind::Qualitative)
            out.append(&scheme);
    }
    return out;
}

// A bound box's number; text beyond single precision ("1e39") is no bound either.
std::optional<float> toSingle(const QString& text)
{
    return platform::toSingle(text);
}
} // namespace

frmRank::frmRank(const QVector<float>& values, QWidget* parent) : QDialog(parent), m_values(values), m_colors(kMaxRanks, 16777215)
{
    setObjectName(QStringLiteral("frmRank"));
    setWindowTitle(QStringLiteral("ランキング"));
    const auto& s = mdlMain();

    auto* lblTitle = makeLabel(this, QStringLiteral("lblTitle"), s.StatItemName);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    m_cmbCo = new QComboBox(this);
    m_cmbCo->setObjectName(QStringLiteral("cmbCo"));
    for (int n = 3; n <= kMaxRanks; ++n)
        m_cmbCo->addItem(QString::number(n));
    m_cmbColor = new QComboBox(this);
    m_cmbColor->setObjectName(QStringLiteral("cmbColor"));
    m_cmbColor->addItems({QStringLiteral("赤"), QStringLiteral("黄"), QStringLiteral("緑"), QStringLiteral("青")});
    for (const state::SchemeInfo* scheme : rankSchemes())
        m_cmbColor->addItem(state::schemeListText(*scheme));
    // Beyond the equal widths: classes of equal counts and natural breaks.
    m_cmbClass = new QComboBox(this);
    m_cmbClass->setObjectName(QStringLiteral("cmbClass"));
    m_cmbClass->addItems({QStringLiteral("等間隔"), QStringLiteral("等個数（分位）"), QStringLiteral("自然分類（Jenks）")});

    auto* top = new QGridLayout;
    top->addWidget(makeLabel(this, QStringLiteral("Label1"), QStringLiteral("ランク数")), 0, 0);
    top->addWidget(m_cmbCo, 0, 1);
    top->addWidget(makeLabel(this, QStringLiteral("Label2"), QStringLiteral("色系統")), 0, 2);
    top->addWidget(m_cmbColor, 0, 3);
    top->addWidget(makeLabel(this, QStringLiteral("lblClass"), QStringLiteral("区分方法")), 1, 0);
    top->addWidget(m_cmbClass, 1, 1, 1, 3);
    // Beyond the specified controls: centring of diverging schemes, no-data grey, round bounds.
    m_chkCenter = platform::makeCheck(this, QStringLiteral("chkCenter"), QStringLiteral("中心の値で色を分ける"));
    m_txtCenter = platform::makeText(this, QStringLiteral("txtCenter"));
    m_chkNoData = platform::makeCheck(this, QStringLiteral("chkNoData"), QStringLiteral("データなしを灰色にする"));
    m_chkNice = platform::makeCheck(this, QStringLiteral("chkNice"), QStringLiteral("きりのよい値"));
    top->addWidget(m_chkCenter, 2, 0, 1, 2);
    top->addWidget(m_txtCenter, 2, 2, 1, 2);
    top->addWidget(m_chkNoData, 3, 0, 1, 2);
    top->addWidget(m_chkNice, 3, 2, 1, 2);
    m_chkCenter->setChecked(s.RankScheme.centred);
    m_txtCenter->setText(platform::formatDouble(s.RankScheme.centre));
    m_chkNoData->setChecked(s.RankScheme.noDataGrey);
    m_chkNice->setChecked(s.RankScheme.niceBreaks);

    auto* rows = new QGridLayout;
    rows->addWidget(makeLabel(this, QStringLiteral("Label3"), QStringLiteral("以上")), 0, 1);
    rows->addWidget(makeLabel(this, QStringLiteral("Label4"), QStringLiteral("未満")), 0, 3);
    rows->addWidget(makeLabel(this, QStringLiteral("lblCountHead"), QStringLiteral("地区数")), 0, 4);
    for (int i = 1; i <= kMaxRanks; ++i) {
        m_lblRank[i] = makeLabel(this, platform::arrayName("lblRank", i), QString());
        m_lblRank[i]->setFixedSize(40, 20);
        m_lblRank[i]->setFrameShape(QFrame::Box);
        m_lblRank[i]->setCursor(Qt::PointingHandCursor);
        m_lblRank[i]->installEventFilter(this);
        m_txtS[i] = platform::makeText(this, platform::arrayName("txtS", i));
        m_lbl[i] = makeLabel(this, platform::arrayName("lbl", i), QStringLiteral("～"));
        m_txtG[i] = platform::makeText(this, platform::arrayName("txtG", i));
        m_lblCount[i] = makeLabel(this, platform::arrayName("lblCount", i), QString());
        m_lblCount[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (QLineEdit* box : {m_txtS[i], m_txtG[i]}) {
            box->installEventFilter(this);
            connect(box, &QLineEdit::textChanged, this, [this] { updateCounts(); });
        }
        rows->addWidget(m_lblRank[i], i, 0);
        rows->addWidget(m_txtS[i], i, 1);
        rows->addWidget(m_lbl[i], i, 2);
        rows->addWidget(m_txtG[i], i, 3);
        rows->addWidget(m_lblCount[i], i, 4);
    }

    m_chkSuimen = platform::makeCheck(this, QStringLiteral("chkSuimen"), QStringLiteral("水面調査区もランキングする"));
    m_chkSuimen->setVisible(s.MapMode == QLatin1String("City"));
    m_chkSuimen->setChecked(s.RankWater);

    auto* buttons = new QHBoxLayout;
    auto* save = makeButton(this, QStringLiteral("cmdColorSave"), QStringLiteral("色設定保存"));
    auto* load = makeButton(this, QStringLiteral("cmdColorLoad"), QStringLiteral("色設定読込"));
    auto* go = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("決定"));
    connect(save, &QPushButton::clicked, this, [this] { cmdColorSave_Click(); });
    connect(load, &QPushButton::clicked, this, [this] { cmdColorLoad_Click(); });
    connect(go, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    buttons->addWidget(save);
    buttons->addWidget(load);
    buttons->addStretch();
    buttons->addWidget(go);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addLayout(top);
    layout->addLayout(rows);
    layout->addWidget(m_chkSuimen);
    layout->addLayout(buttons);

    // Opening: the remembered list choices, then a confirmed ranking restored as it was.
    m_cmbCo->setCurrentIndex(std::clamp(s.RankSetting[0].toInt(), 0, m_cmbCo->count() - 1));
    m_cmbColor->setCurrentIndex(std::clamp(s.RankSetting[1].toInt(), 0, m_cmbColor->count() - 1));
    cmbCo_Change();
    connect(m_cmbCo, &QComboBox::currentIndexChanged, this, [this] { cmbCo_Change(); });
    connect(m_cmbColor, &QComboBox::currentIndexChanged, this, [this] { cmbColor_Change(); });
    connect(m_cmbClass, &QComboBox::currentIndexChanged, this, [this] { cmbClass_Change(); });
    connect(m_chkNice, &QCheckBox::toggled, this, [this] { cmbClass_Change(); });
    connect(m_chkCenter, &QCheckBox::toggled, this, [this] { applySeries(); });
    connect(m_txtCenter, &QLineEdit::editingFinished, this, [this] { applySeries(); });
    if (s.RankReady) {
        for (int i = 1; i <= s.RankCount && i <= kMaxRanks && i < static_cast<int>(s.RankBound.size()); ++i) {
            // Rounded outwards, so that seven digits never move a bound past a value it held.
            m_txtS[i]->setText(lowestBoundText(s.RankBound[static_cast<size_t>(i)][0]));
            m_txtG[i]->setText(topBoundText(s.RankBound[static_cast<size_t>(i)][1]));
            if (i < static_cast<int>(s.RankColor.size()))
                setSwatch(i, s.RankColor[static_cast<size_t>(i)]);
        }
    }
    updateCounts();
}

bool frmRank::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 1; i <= kMaxRanks; ++i) {
            if (watched == m_lblRank[i]) {
                lblRank_Click(i);
                return true;
            }
        }
    }
    if (event->type() == QEvent::FocusIn) {
        // Entering a bound box selects its whole text, ready to be typed over.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void frmRank::setSwatch(int rank, int color)
{
    m_colors[rank - 1] = color;
    setLabelColor(m_lblRank[rank], color);
}

void frmRank::propose()
{
    const auto& s = mdlMain();
    const ClassMethod method = m_cmbClass->currentIndex() == 1   ? ClassMethod::Quantile
                               : m_cmbClass->currentIndex() == 2 ? ClassMethod::Jenks
                                                                 : ClassMethod::EqualWidth;
    const RankProposal p = proposeBounds(method, m_chkNice->isChecked(), m_values, s.StatMin, s.StatMax, m_rankCount);
    for (int i = 1; i <= m_rankCount; ++i) {
        m_txtS[i]->setText(p.lower.value(i - 1));
        m_txtG[i]->setText(p.upper.value(i - 1));
    }
}

state::SchemeOptions frmRank::schemeOptions() const
{
    state::SchemeOptions o;
    const QVector<const state::SchemeInfo*> schemes = rankSchemes();
    const int index = m_cmbColor->currentIndex() - kHueSeries;
    const state::SchemeInfo* scheme = index >= 0 && index < schemes.size() ? schemes.at(index) : nullptr;
    if (scheme)
        o.scheme = scheme->name;
    const auto centre = platform::toNumber(m_txtCenter->text());
    o.centred = scheme && scheme->kind == state::SchemeKind::Diverging && m_chkCenter->isChecked() && centre;
    o.centre = centre.value_or(0);
    o.noDataGrey = m_chkNoData->isChecked();
    o.niceBreaks = m_chkNice->isChecked();
    return o;
}

void frmRank::applySeries()
{
    // Centring only means something for a diverging scheme.
    const state::SchemeOptions o = schemeOptions();
    const state::SchemeInfo* scheme = state::findScheme(o.scheme);
    const bool diverging = scheme && scheme->kind == state::SchemeKind::Diverging;
    m_chkCenter->setEnabled(diverging);
    m_txtCenter->setEnabled(diverging);
    QStringList lower, upper;
    for (int i = 1; i <= m_rankCount; ++i) {
        lower << m_txtS[i]->text();
        upper << m_txtG[i]->text();
    }
    const QVector<int> colors = rankColors(o, m_cmbColor->currentIndex(), boundValues(lower), boundValues(upper));
    for (int i = 1; i <= m_rankCount; ++i)
        setSwatch(i, colors.value(i - 1));
}

void frmRank::cmbCo_Change()
{
    m_rankCount = m_cmbCo->currentText().toInt();
    for (int i = 1; i <= kMaxRanks; ++i) {
        const bool shown = i <= 3 || i <= m_rankCount;
        for (QWidget* w : {static_cast<QWidget*>(m_lblRank[i]), static_cast<QWidget*>(m_txtS[i]), static_cast<QWidget*>(m_lbl[i]),
                           static_cast<QWidget*>(m_txtG[i]), static_cast<QWidget*>(m_lblCount[i])})
            w->setVisible(shown);
    }
    propose();
    applySeries();
    updateCounts();
}

void frmRank::cmbColor_Change()
{
    applySeries();
}

void frmRank::cmbClass_Change()
{
    propose();
    // Centred colours follow the bounds.
    if (schemeOptions().centred)
        applySeries();
    updateCounts();
}

void frmRank::updateCounts()
{
    QVector<float> lower, upper;
    for (int i = 1; i <= m_rankCount; ++i) {
        lower.append(toSingle(m_txtS[i]->text()).value_or(std::numeric_limits<float>::quiet_NaN()));
        upper.append(toSingle(m_txtG[i]->text()).value_or(std::numeric_limits<float>::quiet_NaN()));
    }
    const QVector<int> counts = countPerRank(m_values, lower, upper);
    for (int i = 1; i <= kMaxRanks; ++i)
        m_lblCount[i]->setText(i <= m_rankCount ? QString::number(counts.value(i - 1)) : QString());
}

void frmRank::lblRank_Click(int rank)
{
    if (const auto chosen = platform::prompts().chooseColor(m_colors.value(rank - 1)))
        setSwatch(rank, *chosen);
}

void frmRank::cmdGo_Click()
{
    std::vector<std::array<float, 2>> bounds(static_cast<size_t>(m_rankCount) + 1, std::array<float, 2>{0, 0});
    for (int i = 1; i <= m_rankCount; ++i) {
        const auto lower = toSingle(m_txtS[i]->text());
        const auto upper = toSingle(m_txtG[i]->text());
        if (!lower || !upper) {
            platform::warn(QStringLiteral("だめだめ"), QStringLiteral("ランキング数値を正しく設定してください。"));
            return;
        }
        bounds[static_cast<size_t>(i)] = {*lower, *upper};
    }
    if (m_chkCenter->isEnabled() && m_chkCenter->isChecked() && !platform::toNumber(m_txtCenter->text())) {
        platform::warn(QStringLiteral("だめだめ"), QStringLiteral("中心の値を正しく設定してください。"));
        return;
    }
    auto& s = mdlMain();
    s.RankCount = static_cast<int16_t>(m_rankCount);
    s.RankBound = bounds;
    s.RankColor.assign(static_cast<size_t>(m_rankCount) + 1, 0);
    for (int i = 1; i <= m_rankCount; ++i)
        s.RankColor[static_cast<size_t>(i)] = m_colors[i - 1];
    s.RankSetting = {QString::number(m_cmbCo->currentIndex()), QString::number(m_cmbColor->currentIndex())};
    s.RankReady = true;
    s.RankWater = m_chkSuimen->isChecked();
    s.RankScheme = schemeOptions();
    accept();
}

void frmRank::cmdColorSave_Click()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("色データ保存");
    request.filter = QStringLiteral("データファイル (*.dat)");
    const auto path = platform::prompts().saveFile(request);
    if (!path)
        return;
    const Status written = store::writeRankColorFile(*path, m_rankCount, m_colors.mid(0, m_rankCount));
    if (!written.ok())
        platform::warn(QStringLiteral("残念"), written.error());
}

void frmRank::cmdColorLoad_Click()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("色データ読込");
    request.filter = QStringLiteral("データファイル (*.dat)");
    const auto path = platform::prompts().openFile(request);
    if (!path)
        return;
    const auto file = store::readRankColorFile(*path);
    if (!file) {
        platform::warn(QStringLiteral("残念"), file.error());
        return;
    }
    if (QString::number(file->rankCount) != m_cmbCo->currentText()) {
        const auto answer = platform::prompts().ask(
            platform::MsgIcon::Question, platform::MsgButtons::YesNo, QStringLiteral("要確認"),
            QStringLiteral("読み込もうとしているランク数が現在の設定と異なるため、\r\nランク値が初期化されますが、よろしいですか？"),
            platform::MsgAnswer::No);
        if (answer != platform::MsgAnswer::Yes)
            return;
        m_cmbCo->setCurrentIndex(file->rankCount - 3); // runs the rank count change
    }
    for (int i = 1; i <= file->colors.size() && i <= kMaxRanks; ++i)
        setSwatch(i, file->colors.at(i - 1));
}

} // namespace miratos::stats
