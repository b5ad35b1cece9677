#include "app/frm_label_placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace miratos::app {
namespace {

using Halo = layers::PlacementOptions::Halo;
using Ward = layers::PlacementOptions::WardStyle;

// The label kinds with a halo setting, in the order of the rows, and their LabelKind.
constexpr mapview::LabelKind kHaloKinds[4] = {mapview::LabelKind::Pref, mapview::LabelKind::Tiku, mapview::LabelKind::Eki,
                                              mapview::LabelKind::Build};

QCheckBox* check(QWidget* parent, const QString& name, const QString& caption, bool checked)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

} // namespace

frmLabelPlacement::frmLabelPlacement(const layers::PlacementOptions& options, QWidget* parent) : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("frmLabelPlacement"));
    setWindowTitle(QStringLiteral("ラベル配置の設定"));
    auto* layout = new QVBoxLayout(this);

    auto* names = new QGroupBox(QStringLiteral("名前"), this);
    auto* namesLayout = new QVBoxLayout(names);
    m_wards = check(names, QStringLiteral("chkQualifyWards"), QStringLiteral("同じ区名には市名を付ける（横浜市緑区）"),
                    options.qualifyWards != Ward::Off);
    m_twoLines = check(names, QStringLiteral("chkWardTwoLines"), QStringLiteral("市名と区名を２行にする"),
                       options.qualifyWards == Ward::TwoLines);
    m_cityForWards = check(names, QStringLiteral("chkCityForWards"), QStringLiteral("区が小さく並ぶ市は市名だけにする"),
                           options.cityForWards);
    m_byStatistic = check(names, QStringLiteral("chkOrderByStatistic"), QStringLiteral("統計値の大きい市区町村名から置く（既定は面積順）"),
                          options.orderByStatistic);
    namesLayout->addWidget(m_wards);
    namesLayout->addWidget(m_twoLines);
    namesLayout->addWidget(m_cityForWards);
    namesLayout->addWidget(m_byStatistic);
    layout->addWidget(names);

    auto* stations = new QGroupBox(QStringLiteral("駅名"), this);
    auto* stationsLayout = new QVBoxLayout(stations);
    m_inside = check(stations, QStringLiteral("chkStationsInside"), QStringLiteral("選んだ都道府県の中の駅だけ"), options.stationsInside);
    m_main = check(stations, QStringLiteral("chkMainStations"), QStringLiteral("主要駅（複数の路線の駅）だけ"), options.mainStations);
    stationsLayout->addWidget(m_inside);
    stationsLayout->addWidget(m_main);
    layout->addWidget(stations);

    auto* halos = new QGroupBox(QStringLiteral("縁取り"), this);
    auto* haloLayout = new QFormLayout(halos);
    const char* kinds[4] = {"市区町村名", "町丁名", "駅名", "施設名"};
    const char* objectNames[4] = {"cmbHalo_0", "cmbHalo_1", "cmbHalo_2", "cmbHalo_3"};
    for (int i = 0; i < 4; ++i) {
        m_halo[i] = new QComboBox(halos);
        m_halo[i]->setObjectName(QString::fromLatin1(objectNames[i]));
        m_halo[i]->addItems({QStringLiteral("塗りの上だけ"), QStringLiteral("いつも"), QStringLiteral("なし")});
        m_halo[i]->setCurrentIndex(static_cast<int>(options.halo[static_cast<size_t>(kHaloKinds[i])]));
        haloLayout->addRow(QString::fromUtf8(kinds[i]), m_halo[i]);
    }
    m_contrast = check(halos, QStringLiteral("chkContrastText"), QStringLiteral("塗りの上の文字は黒か白の見やすい方にする"),
                       options.contrastText);
    haloLayout->addRow(m_contrast);
    layout->addWidget(halos);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

layers::PlacementOptions frmLabelPlacement::options() const
{
    layers::PlacementOptions o = m_options;
    o.qualifyWards = !m_wards->isChecked() ? Ward::Off : m_twoLines->isChecked() ? Ward::TwoLines : Ward::Prefixed;
    o.cityForWards = m_cityForWards->isChecked();
    o.orderByStatistic = m_byStatistic->isChecked();
    o.stationsInside = m_inside->isChecked();
    o.mainStations = m_main->isChecked();
    o.contrastText = m_contrast->isChecked();
    for (int i = 0; i < 4; ++i)
        o.halo[static_cast<size_t>(kHaloKinds[i])] = static_cast<Halo>(m_halo[i]->currentIndex());
    return o;
}

} // namespace miratos::app
