#include "app/frm_ken_list.h"

#include "platform/app_folder.h"
#include "platform/spreadsheet.h"
#include "store/district_file_name.h"

#include <QDir>
#include <QSet>
#include <algorithm>

#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "platform/widgets_ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace miratos::app {
namespace {

// Census years of the district files under MapData other than 12 and 17, in order.
QList<int> otherDistrictYears()
{
    QSet<int> years;
    const QDir mapData(platform::AppFolder::mapData());
    for (const QString& folder : mapData.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString& name : QDir(mapData.filePath(folder)).entryList({QStringLiteral("*.dat")}, QDir::Files)) {
            if (const auto parsed = store::parseDistrictFileName(name); parsed && parsed->year != 12 && parsed->year != 17)
                years.insert(parsed->year);
        }
    }
    QList<int> sorted(years.begin(), years.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

} // namespace


using platform::arrayName;
using platform::makeButton;
using platform::makeCheck;
using platform::makeOption;
using platform::makeLabel;
using platform::makeFrame;
using state::MdlMain;
using state::mdlMain;
using state::kPrefectureCount;
using state::prefectureName;

frmKenList::frmKenList(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKenList"));
    setWindowTitle(QStringLiteral("県リスト"));
    const QString mode = mdlMain().MapMode;
    const bool japan = mode == QLatin1String("Japan");
    const bool pref = mode == QLatin1String("Pref");
    const bool city = mode == QLatin1String("City");

    auto* prefGrid = new QGridLayout;
    constexpr int kColumns = 6;
    for (int i = 1; i <= kPrefectureCount; ++i) {
        m_chkKen[i] = makeCheck(this, arrayName("chkKen", i), prefectureName(i));
        prefGrid->addWidget(m_chkKen[i], (i - 1) / kColumns, (i - 1) % kColumns);
    }

    m_chkAll = makeCheck(this, QStringLiteral("chkAll"), QStringLiteral("全県選択/解除"));
    connect(m_chkAll, &QCheckBox::clicked, this, [this] { chkAll_Click(); });
    m_chkTrain = makeCheck(this, QStringLiteral("chkTrain"), QStringLiteral("鉄道"));
    m_chkRoad = makeCheck(this, QStringLiteral("chkRoad"), QStringLiteral("道路"));
    m_chkBuild = makeCheck(this, QStringLiteral("chkBuild"), QStringLiteral("公共施設"));

    m_chkSeparate = makeCheck(this, QStringLiteral("chkSeparate"), QStringLiteral("離島非表示"));
    m_chkSeparate->setChecked(true);
    auto* lblMes = makeLabel(this, QStringLiteral("lblMes"),
                             QStringLiteral("ここでいう離島とはデータ上の概念です。しかし処理が若干早いので簡単な日本地図であれば充分だと思います。"));
    m_chkSpecialCoordinate = makeCheck(this, QStringLiteral("chkSpecialCoordinate"), QStringLiteral("中心地の領域のみ"));
    m_chkSpecialCoordinate->setChecked(true);
    auto* lblMes2 = makeLabel(this, QStringLiteral("lblMes2"),
                              QStringLiteral("東京や沖縄などで島をすべて含めると広範囲になってしまう地域は、強制的に登録してある座標を使用するかどうか選択"));
    m_chkTownLevel = makeCheck(this, QStringLiteral("chkTownLevel"), QStringLiteral("「町」単位に集計された統計データを使用する"));
    auto* frameNen = makeFrame(this, QStringLiteral("FrameNen"), QStringLiteral("使用するデータの年"));
    m_optNen[0] = makeOption(frameNen, arrayName("optNen", 0), QStringLiteral("１２年版"));
    m_optNen[1] = makeOption(frameNen, arrayName("optNen", 1), QStringLiteral("１７年版"));
    m_optNen[1]->setChecked(true);
    auto* nenLayout = new QHBoxLayout(frameNen);
    nenLayout->addWidget(m_optNen[0]);
    nenLayout->addWidget(m_optNen[1]);
    // District files of other census years (imported from today's downloads) offer their year too.
    int extra = 2;
    for (int year : otherDistrictYears()) {
        const QString caption = platform::toWide(QString::number(year)) + QStringLiteral("年版");
        auto* option = makeOption(frameNen, arrayName("optNen", extra++), caption);
        option->setProperty("year", year);
        m_optNenOther.append(option);
        nenLayout->addWidget(option);
    }

    auto* cmdGo = platform::makeDefaultButton(this, QStringLiteral("cmdGo"), QStringLiteral("決定"));
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });

    for (QLabel* label : {lblMes, lblMes2})
        label->setWordWrap(true);
    m_chkSeparate->setVisible(japan);
    lblMes->setVisible(japan);
    m_chkSpecialCoordinate->setVisible(japan || pref);
    lblMes2->setVisible(japan || pref);
    m_chkTownLevel->setVisible(city);
    frameNen->setVisible(city);

    auto* layers = new QHBoxLayout;
    layers->addWidget(m_chkAll);
    layers->addStretch();
    layers->addWidget(m_chkTrain);
    layers->addWidget(m_chkRoad);
    layers->addWidget(m_chkBuild);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(prefGrid);
    layout->addLayout(layers);
    layout->addWidget(m_chkSeparate);
    layout->addWidget(lblMes);
    layout->addWidget(m_chkSpecialCoordinate);
    layout->addWidget(lblMes2);
    layout->addWidget(m_chkTownLevel);
    layout->addWidget(frameNen);
    layout->addWidget(cmdGo, 0, Qt::AlignRight);
}

void frmKenList::chkAll_Click()
{
    for (int i = 1; i <= kPrefectureCount; ++i)
        m_chkKen[i]->setChecked(m_chkAll->isChecked());
}

void frmKenList::cmdGo_Click()
{
    MdlMain& s = mdlMain();
    for (int i = 1; i <= kPrefectureCount; ++i) {
        auto& row = s.PrefTable[static_cast<size_t>(i)];
        row[0].clear();
        if (m_chkKen[i]->isChecked()) {
            row[0] = QStringLiteral("TRUE");
            row[1] = m_chkKen[i]->text();
        }
    }
    s.UseTrain = m_chkTrain->isChecked();
    s.UseRoad = m_chkRoad->isChecked();
    s.UseBuild = m_chkBuild->isChecked();
    s.UseTownLevel = m_chkTownLevel->isChecked();
    if (s.MapMode == QLatin1String("Japan")) {
        s.HideSeparate = m_chkSeparate->isChecked();
        s.UseSpecialCoordinate = m_chkSpecialCoordinate->isChecked();
    } else if (s.MapMode == QLatin1String("Pref")) {
        s.UseSpecialCoordinate = m_chkSpecialCoordinate->isChecked();
    } else if (s.MapMode == QLatin1String("City")) {
        if (m_optNen[0]->isChecked())
            s.DataYear = 12;
        else if (m_optNen[1]->isChecked())
            s.DataYear = 17;
        for (QRadioButton* option : m_optNenOther) {
            if (option->isChecked())
                s.DataYear = option->property("year").toInt();
        }
    }
    // The caller starts loading once the dialog has closed (Japan and Pref modes).
    accept();
}

} // namespace miratos::app
