#include "output/frm_location.h"

#include "state/mdl_main.h"
#include "platform/widgets_ui.h"
#include "output/export_options.h"
#include "output/layer_settings.h"
#include "platform/prompts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>

namespace miratos::output {

using platform::makeLabel;

namespace {
// Only a statistic legend can be placed; the plain note always goes to the bottom right.
constexpr int kBottomRight = 4;
} // namespace

frmLocation::frmLocation(QWidget* parent, const QStringList& credit) : QDialog(parent), m_proposedCredit(credit)
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
    // The picture's size, credit and north arrow.
    const ExportOptions& e = windowExportOptions();
    m_optSize = new QButtonGroup(this);
    auto* sizes = new QHBoxLayout;
    const char* sizeCaptions[] = {"画面のまま", "用紙", "ピクセル"};
    for (int i = 0; i < 3; ++i) {
        auto* option = platform::makeOption(this, platform::arrayName("optSize", i), QString::fromUtf8(sizeCaptions[i]));
        m_optSize->addButton(option, i);
        sizes->addWidget(option);
    }
    m_optSize->button(static_cast<int>(e.size))->setChecked(true);
    m_cmbPaper = new QComboBox(this);
    m_cmbPaper->setObjectName(QStringLiteral("cmbPaper"));
    m_cmbPaper->addItems({QStringLiteral("A4 横"), QStringLiteral("A4 縦"), QStringLiteral("A3 横"), QStringLiteral("A3 縦")});
    m_cmbPaper->setCurrentIndex((e.paper == Paper::A3 ? 2 : 0) + (e.landscape ? 0 : 1));
    m_cmbDpi = new QComboBox(this);
    m_cmbDpi->setObjectName(QStringLiteral("cmbDpi"));
    m_cmbDpi->addItems({QStringLiteral("150 dpi"), QStringLiteral("300 dpi")});
    m_cmbDpi->setCurrentIndex(e.dpi == 300 ? 1 : 0);
    m_txtPixels = platform::makeText(this, QStringLiteral("txtPixels"),
                                     e.pixels.isEmpty() ? QStringLiteral("3508x2480")
                                                        : QStringLiteral("%1x%2").arg(e.pixels.width()).arg(e.pixels.height()));
    sizes->addWidget(m_cmbPaper);
    sizes->addWidget(m_cmbDpi);
    sizes->addWidget(m_txtPixels);
    m_txtCredit = new QPlainTextEdit(this);
    m_txtCredit->setObjectName(QStringLiteral("txtCredit"));
    m_txtCredit->setPlainText(e.creditText.isEmpty() ? credit.join(QLatin1Char('\n')) : e.creditText);
    m_txtCredit->setFixedHeight(m_txtCredit->fontMetrics().lineSpacing() * 4 + 10);
    m_chkCredit = platform::makeCheck(this, QStringLiteral("chkCredit"), QStringLiteral("画面のままの大きさでも出典を付ける"));
    m_chkCredit->setChecked(e.credit);
    m_chkNorth = platform::makeCheck(this, QStringLiteral("chkNorth"), QStringLiteral("方位記号"));
    m_chkNorth->setChecked(e.northArrow);
    m_chkSymbols = platform::makeCheck(this, QStringLiteral("chkSymbolLegend"), QStringLiteral("施設記号の凡例"));
    m_chkSymbols->setChecked(e.symbolLegend);
    auto* marks = new QHBoxLayout;
    marks->addWidget(m_chkNorth);
    marks->addWidget(m_chkSymbols);
    marks->addStretch();

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
    grid->addWidget(makeLabel(this, QStringLiteral("lblSize"), QStringLiteral("大きさ")), 3, 0);
    grid->addLayout(sizes, 3, 1);
    grid->addWidget(makeLabel(this, QStringLiteral("lblCredit"), QStringLiteral("出典")), 4, 0, Qt::AlignTop);
    grid->addWidget(m_txtCredit, 4, 1);
    grid->addWidget(m_chkCredit, 5, 1);
    grid->addLayout(marks, 6, 1);
    grid->addWidget(cmdGo, 7, 0, 1, 2, Qt::AlignRight);
}

void frmLocation::cmdGo_Click()
{
    state::MdlMain& s = state::mdlMain();
    ExportOptions chosen = windowExportOptions();
    const int sizeChoice = m_optSize->checkedId();
    chosen.size = static_cast<ExportSize>(sizeChoice < 0 ? 0 : sizeChoice);
    chosen.paper = m_cmbPaper->currentIndex() >= 2 ? Paper::A3 : Paper::A4;
    chosen.landscape = m_cmbPaper->currentIndex() % 2 == 0;
    chosen.dpi = m_cmbDpi->currentIndex() == 1 ? 300 : 150;
    if (chosen.size == ExportSize::Pixels && !setPixelSize(chosen, m_txtPixels->text().trimmed())) {
        platform::warn(QStringLiteral("残念"), QStringLiteral("ピクセル数は「幅x高さ」で、それぞれ%1～%2、合わせて%3以下で指定してください。")
                                                  .arg(kMinExportSide).arg(kMaxExportSide).arg(kMaxExportPixels));
        return; // the dialog stays for a corrected size
    }
    // A size that is not a number keeps the last one.
    if (const auto size = fontSizeOf(m_cmbFont->currentText()))
        s.NoteFontSize = static_cast<int16_t>(*size);
    if (const int checked = m_optLocation->checkedId(); checked >= 0)
        s.NoteLocation = static_cast<int16_t>(checked);
    s.NoteMaker = m_txtMaker->text();

    // The proposed credit left as it was stays automatic: it follows the next map's data.
    const QString credit = m_txtCredit->toPlainText().trimmed();
    chosen.creditText = credit == m_proposedCredit.join(QLatin1Char('\n')) ? QString() : credit;
    chosen.credit = m_chkCredit->isChecked();
    chosen.northArrow = m_chkNorth->isChecked();
    chosen.symbolLegend = m_chkSymbols->isChecked();
    windowExportOptions() = chosen;
    s.NoteCancelled = false;
    accept();
}

} // namespace miratos::output
