// The program driven from the launcher with Qt's own dialogs, as a user meets them: every modal
// box is answered by a timer that finds the active modal widget and presses its default button
// (file dialogs are given a file or cancelled). The program's end is recorded, not carried out.
#include "../mapview/map_fixture.h"
#include "app/frm_ken_list.h"
#include "app/frm_label_placement.h"
#include "app/frm_main.h"
#include "app/frm_menu.h"
#include "app/frm_read_me.h"
#include "app/frm_tiku_list.h"
#include "imports/frm_import.h"
#include "layers/label_placement.h"
#include "output/frm_location.h"
#include "output/export_options.h"
#include "platform/app_folder.h"
#include "platform/program_end_ui.h"
#include "platform/qt_prompts.h"
#include "platform/ui_yield.h"
#include "stats/frm_compute.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"
#include "stats/painted_regions.h"
#include "layers/frm_symbol.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QSpinBox>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QLabel>
#include <QWheelEvent>
#include <functional>

using namespace miratos;

namespace {

// A guard against a program that never gets there; the tests wait for events, not for time.
constexpr int kGuardMs = 20000;

struct Seen {
    QString kind; // "message", "file" or the dialog's object name
    QString title;
    QString text;
};

// Answers whatever modal widget is active, one at a time. Every answer is given from a fresh
// zero timer, so that a dialog opened by the answer is answered too.
class DialogAnswerer : public QObject {
public:
    DialogAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::answer);
        m_timer.start(5);
    }

    // Acts on a dialog of the program's own (list dialogs, statistic dialogs) when it shows.
    template <class D>
    void on(std::function<void(D&)> act)
    {
        m_handlers.push_back([act](QWidget* w) {
            auto* d = qobject_cast<D*>(w);
            if (d)
                act(*d);
            return d != nullptr;
        });
    }

    std::vector<Seen> seen;
    QStringList files; // the answers of file dialogs in turn; none left: cancelled
    std::function<void(QMessageBox&)> beforeAnswer;

    QStringList messages() const
    {
        QStringList out;
        for (const Seen& s : seen)
            if (s.kind == QLatin1String("message"))
                out << s.title + QLatin1Char('|') + s.text;
        return out;
    }
    bool saw(const QString& kind) const
    {
        return std::any_of(seen.begin(), seen.end(), [&](const Seen& s) { return s.kind == kind; });
    }

private:
    static QAbstractButton* defaultButtonOf(QMessageBox& box)
    {
        if (box.defaultButton())
            return box.defaultButton();
        for (QAbstractButton* b : box.buttons()) {
            const auto role = box.buttonRole(b);
            if (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole)
                return b;
        }
        return box.buttons().value(0);
    }

    void answer()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w->property("answered").toBool())
            return;
        w->setProperty("answered", true);
        QPointer<QWidget> target(w);
        auto later = [target](std::function<void(QWidget*)> act) {
            QTimer::singleShot(0, target, [target, act] {
                if (target)
                    act(target);
            });
        };
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen.push_back({QStringLiteral("message"), box->windowTitle(), box->text()});
            if (beforeAnswer)
                beforeAnswer(*box);
            later([](QWidget* x) { defaultButtonOf(*static_cast<QMessageBox*>(x))->click(); });
            return;
        }
        if (qobject_cast<QFileDialog*>(w)) {
            seen.push_back({QStringLiteral("file"), w->windowTitle(), {}});
            const QString file = files.isEmpty() ? QString() : files.takeFirst();
            later([file](QWidget* x) {
                auto* dialog = static_cast<QFileDialog*>(x);
                if (file.isEmpty()) {
                    dialog->reject();
                    return;
                }
                // Typed into the name box as a user does; the dialog's own accept checks it.
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name)
                    name->setText(file);
                else
                    dialog->selectFile(file);
                static_cast<QDialog*>(dialog)->accept();
            });
            return;
        }
        seen.push_back({w->objectName(), w->windowTitle(), {}});
        later([this](QWidget* x) {
            for (const auto& handler : m_handlers)
                if (handler(x))
                    return;
            // A dialog no handler takes is closed as with its close box.
            if (auto* dialog = qobject_cast<QDialog*>(x))
                dialog->reject();
        });
    }

    QTimer m_timer;
    std::vector<std::function<bool(QWidget*)>> m_handlers;
};

QWidget* visibleTopLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

QStringList visibleTopLevels()
{
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            names << w->objectName();
    return names;
}

void deleteAllTopLevels()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->hide();
        w->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void saveShot(const QImage& image, const QString& name)
{
    const QByteArray dir = qgetenv("MIRATOS_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
}

class RealDialogs : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        platform::setPrompts(&prompts);
        platform::setProgramEnd([this] { ++ends; });
    }
    void TearDown() override
    {
        deleteAllTopLevels();
        platform::setProgramEnd({});
        platform::setPrompts(nullptr);
        MapFixture::TearDown();
    }

    // Opens the launcher and presses one of its buttons.
    void launch(const char* button)
    {
        auto* menu = new app::frmMenu;
        menu->show();
        auto* b = menu->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }

    bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, kGuardMs); }

    platform::QtPrompts prompts;
    DialogAnswerer answerer;
    int ends = 0;
};

} // namespace

TEST_F(RealDialogs, QuizWithoutDataSaysSoAndEndsTheProgram)
{
    for (const auto& [button, text] : {std::pair{"cmdWhatPref", "都道府県データが１つもありません"},
                                       std::pair{"cmdWhatCity", "市区町村データが１つもありません"}}) {
        SCOPED_TRACE(button);
        ends = 0;
        answerer.seen.clear();
        launch(button);
        ASSERT_TRUE(waitFor([&] { return ends > 0; }));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(answerer.messages(), QStringList{QStringLiteral("要確認|") + QString::fromUtf8(text)});
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(visibleTopLevels(), QStringList());
        deleteAllTopLevels();
    }
}

TEST_F(RealDialogs, QuizWhoseFirstQuestionWarnsGoesOnAndTheAnswerIsNotLeftSelected)
{
    Pref p;
    p.lines = {{QStringLiteral("13c1"), QStringLiteral("35 139 35 140 36 140 36 139 35 139")}};
    p.prefLines = {QStringLiteral("13c1")};
    p.polygons = {{QStringLiteral("13a1"), QStringLiteral("13c1")}};
    p.points = {{QStringLiteral("13p1"), QStringLiteral("35.5 139.5")}};
    p.tiku = {{QStringLiteral("13a1"), QStringLiteral("東京都@千代田区"), QStringLiteral("13101")}};
    writePref(13, QStringLiteral("東京都"), p);
    state::resetMdlMain();
    // Without its extent file the prefecture still loads, and the load names the file.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("MapData/東京都/NEWS.dat"))));

    launch("cmdWhatPref");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("message")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(answerer.messages().size(), 1);
    EXPECT_TRUE(answerer.messages().first().startsWith(QStringLiteral("要確認|読み込めなかったデータがあります。"))) << answerer.messages().first().toStdString();
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(visibleTopLevel(QStringLiteral("frmMenu")), nullptr);
    EXPECT_EQ(ends, 0);

    // 答え as a user presses it: the focused button is disabled and the focus moves on.
    window->activateWindow();
    QApplication::setActiveWindow(window);
    auto* answer = window->findChild<QPushButton*>(QStringLiteral("cmdAnswer"));
    auto* text = window->findChild<QLineEdit*>(QStringLiteral("txtAnswer"));
    answer->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(answer, Qt::LeftButton);
    EXPECT_EQ(text->text(), QStringLiteral("東京都"));
    EXPECT_FALSE(text->hasSelectedText()) << text->selectedText().toStdString();
    saveShot(window->grab().toImage(), QStringLiteral("real_quiz_answer.png"));

    window->close();
    EXPECT_EQ(ends, 1);
    QPointer<QWidget> gone(window);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

TEST_F(RealDialogs, AConversionThatFailsSaysWhyAndItsWindowEndsTheProgram)
{
    struct Case {
        const char* button;
        const char* window;
        const char* option;
        const char* file; // chosen in the file dialog of 参照
    };
    const Case cases[] = {
        {"cmdChange1", "frmChange_P", "optMode_1", "P02-13.xml"},
        {"cmdChange3", "frmChange_J", "optMode_0", "N02-20.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        ends = 0;
        answerer.seen.clear();
        const QString data = dir.filePath(QString::fromLatin1(c.file));
        QFile bad(data);
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("<?xml version=\"1.0\"?><ksj:Dataset><unclosed>");
        bad.close();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("MapData/東京都")) && QDir(dir.path()).mkpath(QStringLiteral("MapData/鉄道")));
        launch(c.button);
        QWidget* window = visibleTopLevel(QString::fromLatin1(c.window));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(visibleTopLevel(QStringLiteral("frmMenu")), nullptr);
        window->findChild<QRadioButton*>(QString::fromLatin1(c.option))->setChecked(true);
        answerer.files = {data};
        window->findChild<QPushButton*>(QStringLiteral("cmdFile2"))->click();
        EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("txtFile2"))->text(), data);
        if (auto* pref = window->findChild<QComboBox*>(QStringLiteral("cboPref")))
            pref->setCurrentText(QStringLiteral("東京都"));
        window->findChild<QPushButton*>(QStringLiteral("cmdChange"))->click();
        const QStringList messages = answerer.messages();
        ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char(';')).toStdString();
        EXPECT_TRUE(messages.first().startsWith(QStringLiteral("残念|変換できませんでした。"))) << messages.first().toStdString();
        EXPECT_TRUE(messages.first().contains(QString::fromLatin1(c.file))) << messages.first().toStdString();
        EXPECT_TRUE(window->findChild<QPushButton*>(QStringLiteral("cmdChange"))->isEnabled());
        QPointer<QWidget> gone(window);
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(ends, 1);
        EXPECT_TRUE(gone.isNull());
    }
}

TEST_F(RealDialogs, ExportWithTheLegendInTheRightHandFrame)
{
    writeSquarePrefectures();
    state::resetMdlMain();
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        for (int code : {13, 14})
            d.findChild<QCheckBox*>(QStringLiteral("chkKen_%1").arg(code))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    answerer.on<stats::StatisticDialog>([](stats::StatisticDialog& d) {
        d.cmdExtract_Click(); // the own-data table, chosen in a file dialog
        d.findChild<QListWidget*>(QStringLiteral("lstStatistic"))->setCurrentRow(1);
        d.cmdGo_Click();
    });
    answerer.on<stats::frmRank>([](stats::frmRank& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbCo"))->setCurrentIndex(0);
        d.cmdGo_Click();
    });
    answerer.on<output::frmLocation>([](output::frmLocation& d) {
        d.findChild<QRadioButton*>(QStringLiteral("optLocation_0"))->setChecked(true);
        d.cmdGo_Click();
    });
    launch("cmdMap3");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(answerer.messages(), QStringList());

    answerer.files = {dir.filePath(QStringLiteral("面積.csv"))};
    window->cmdStatistic_Click();
    window->cmdRank_Click();
    window->findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();
    const QString exported = dir.filePath(QStringLiteral("地図.png"));
    answerer.files = {exported};
    window->cmdImageExport_Click();
    EXPECT_EQ(answerer.messages(), QStringList());
    const QImage image(exported);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), image.height()) << "the picture is widened by the legend";
    saveShot(image, QStringLiteral("real_export_right_frame.png"));
    saveShot(window->grab().toImage(), QStringLiteral("real_map_window.png"));

    window->close();
    EXPECT_EQ(ends, 1);
}

// "ランキング" with a published scheme, centre, no-data grey and round bounds, with real message
// boxes: a centre that is no number is said and the dialog stays; the export greys the region
// without a number and lists "データなし".
TEST_F(RealDialogs, RankDialogWithASchemeCentreAndNoDataGrey)
{
    writeSquarePrefectures();
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("秘匿.csv")),
                                         {QStringLiteral("Code,地区名,人口"), QStringLiteral("13101,市13,2194"), QStringLiteral("14101,市14,X")})
                    .ok());
    state::resetMdlMain();
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        for (int code : {13, 14})
            d.findChild<QCheckBox*>(QStringLiteral("chkKen_%1").arg(code))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    answerer.on<stats::StatisticDialog>([](stats::StatisticDialog& d) {
        d.cmdExtract_Click();
        d.findChild<QListWidget*>(QStringLiteral("lstStatistic"))->setCurrentRow(1);
        d.cmdGo_Click();
    });
    answerer.on<stats::frmRank>([&](stats::frmRank& d) {
        auto* series = d.findChild<QComboBox*>(QStringLiteral("cmbColor"));
        series->setCurrentIndex(series->findText(QStringLiteral("RdBu（色覚配慮）")));
        d.findChild<QCheckBox*>(QStringLiteral("chkCenter"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkNoData"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkNice"))->setChecked(true);
        auto* centre = d.findChild<QLineEdit*>(QStringLiteral("txtCenter"));
        centre->setText(QStringLiteral("abc"));
        d.cmdGo_Click();
        EXPECT_TRUE(d.isVisible());
        centre->setText(QStringLiteral("0"));
        saveShot(d.grab().toImage(), QStringLiteral("real_rank_dialog_scheme.png"));
        d.cmdGo_Click();
    });
    answerer.on<output::frmLocation>([](output::frmLocation& d) {
        d.findChild<QRadioButton*>(QStringLiteral("optLocation_1"))->setChecked(true);
        d.cmdGo_Click();
    });
    launch("cmdMap1");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([&] { return window->canvas().scaleTop() > window->canvas().scaleBottom(); }));

    answerer.files = {dir.filePath(QStringLiteral("秘匿.csv"))};
    window->cmdStatistic_Click();
    window->cmdRank_Click();
    EXPECT_EQ(answerer.messages(), QStringList{QStringLiteral("だめだめ|中心の値を正しく設定してください。")});
    // 2194 in the first rank of steps of 0.2, every rank above 0: the eleven-class RdBu's first blue.
    const platform::Canvas& c = window->canvas();
    const QString exported = dir.filePath(QStringLiteral("地図.png"));
    answerer.files = {exported};
    window->cmdImageExport_Click();
    const QImage image(exported);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(c.pixel(c.toPixel(139.5, 35.2)), state::rgbColor(0xd1, 0xe5, 0xf0));
    EXPECT_EQ(c.pixel(c.toPixel(140.5, 35.2)), state::kNoDataGrey);
    saveShot(image, QStringLiteral("real_export_scheme_nodata.png"));
    saveShot(window->grab().toImage(), QStringLiteral("real_map_scheme_nodata.png"));

    window->close();
    EXPECT_EQ(ends, 1);
}

// 画像出力 at a paper size with real message boxes: the map is drawn again at A4 150 dpi, then
// the same settings write an SVG with the names as text.
TEST_F(RealDialogs, ExportAtAPaperSizeAndAsSvg)
{
    writeSquarePrefectures();
    state::resetMdlMain();
    output::windowExportOptions() = {};
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        for (int code : {13, 14})
            d.findChild<QCheckBox*>(QStringLiteral("chkKen_%1").arg(code))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    answerer.on<output::frmLocation>([](output::frmLocation& d) {
        d.findChild<QRadioButton*>(QStringLiteral("optSize_1"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkNorth"))->setChecked(true);
        saveShot(d.grab().toImage(), QStringLiteral("real_export_dialog.png"));
        d.cmdGo_Click();
    });
    launch("cmdMap3");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    window->findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();
    const QString png = dir.filePath(QStringLiteral("地図.png"));
    answerer.files = {png};
    window->cmdImageExport_Click();
    EXPECT_EQ(answerer.messages(), QStringList());
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(1754, 1240));
    saveShot(image, QStringLiteral("real_export_a4.png"));

    const QString svg = dir.filePath(QStringLiteral("地図.svg"));
    answerer.files = {svg};
    window->cmdImageExport_Click();
    EXPECT_EQ(answerer.messages(), QStringList());
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral(">東京都</text>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<path")));
    output::windowExportOptions() = {};
    window->close();
}

// "配置設定" then "ラベル配置" on a prefecture of four squares whose label points all lie on their
// common corner: the names move apart into their own squares and the two 緑区 get their cities.
TEST_F(RealDialogs, LabelPlacementWithItsSettingsDialog)
{
    Pref p;
    const char* names[4] = {"神奈川県@横浜市@緑区", "神奈川県@相模原市@緑区", "神奈川県@川崎市@中原区", "神奈川県@鎌倉市"};
    const double west[4] = {139, 139.5, 139, 139.5};
    const double south[4] = {35.5, 35.5, 35, 35};
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        const QString w = QString::number(west[i]), e = QString::number(west[i] + 0.5);
        const QString s0 = QString::number(south[i]), s1 = QString::number(south[i] + 0.5);
        p.lines.append({QStringLiteral("14c") + n, QStringLiteral("%1 %2 %1 %3 %4 %3 %4 %2 %1 %2").arg(s0, w, e, s1)});
        p.prefLines << QStringLiteral("14c") + n;
        p.polygons.append({QStringLiteral("14a") + n, QStringLiteral("14c") + n});
        p.points.append({QStringLiteral("14p") + n, QStringLiteral("35.5 139.5")});
        p.tiku.append({QStringLiteral("14a") + n, QString::fromUtf8(names[i]), QStringLiteral("1410") + n});
    }
    writePref(14, QStringLiteral("神奈川県"), p);
    state::resetMdlMain();
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        d.findChild<QCheckBox*>(QStringLiteral("chkKen_14"))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    answerer.on<app::frmLabelPlacement>([](app::frmLabelPlacement& d) {
        d.findChild<QCheckBox*>(QStringLiteral("chkQualifyWards"))->setChecked(true);
        d.findChild<QComboBox*>(QStringLiteral("cmbHalo_0"))->setCurrentIndex(1); // いつも
        saveShot(d.grab().toImage(), QStringLiteral("real_label_placement_dialog.png"));
        d.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    launch("cmdMap1");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    window->findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();
    window->findChild<QPushButton*>(QStringLiteral("cmdPlacementSettings"))->click();
    EXPECT_TRUE(answerer.saw(QStringLiteral("frmLabelPlacement")));
    EXPECT_EQ(window->placementOptions().qualifyWards, layers::PlacementOptions::WardStyle::Prefixed);
    window->findChild<QPushButton*>(QStringLiteral("cmdPlaceLabels"))->click();
    EXPECT_EQ(answerer.messages(), QStringList());

    const auto& names_ = window->labels().array(mapview::LabelKind::Pref);
    ASSERT_EQ(names_.count() - 1, 4);
    QStringList captions;
    std::vector<QRect> ink;
    for (int i = 1; i <= 4; ++i) {
        const mapview::Label& l = names_.at(i);
        captions << l.caption;
        EXPECT_TRUE(l.visible) << i;
        EXPECT_TRUE(l.halo) << i;
        ink.push_back(layers::inkRect(names_, l, window->canvas()));
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("横浜市緑区"), QStringLiteral("相模原市緑区"), QStringLiteral("中原区"), QStringLiteral("鎌倉市")}));
    for (size_t a = 0; a < ink.size(); ++a)
        for (size_t b = a + 1; b < ink.size(); ++b)
            EXPECT_FALSE(ink[a].intersects(ink[b])) << captions[static_cast<int>(a)].toStdString() << " / " << captions[static_cast<int>(b)].toStdString();
    // The names that left the shared corner sit inside their own squares.
    for (int i = 0; i < 4; ++i) {
        const QRect r = mapview::labelPixelRect(names_.at(i + 1), window->canvas());
        const QPoint c = r.center();
        const platform::Canvas& cv = window->canvas();
        const double lon = cv.scaleLeft() + c.x() * (cv.scaleRight() - cv.scaleLeft()) / cv.width();
        const double lat = cv.scaleTop() - c.y() * (cv.scaleTop() - cv.scaleBottom()) / cv.height();
        const bool atCorner = std::abs(lon - 139.5) < 0.02 && std::abs(lat - 35.5) < 0.02;
        const bool inOwn = lon > west[i] && lon < west[i] + 0.5 && lat > south[i] && lat < south[i] + 0.5;
        EXPECT_TRUE(atCorner || inOwn) << captions[i].toStdString() << " at " << lon << " " << lat;
    }
    saveShot(window->grab().toImage(), QStringLiteral("real_label_placement_window.png"));
    window->close();
}

// "統計データ" → "計算列…" with real message boxes, on the prefecture map: a wrong expression is
// said and the dialog stays; the corrected one is previewed, added, chosen and joined.
TEST_F(RealDialogs, ComputedColumnFromTheStatisticDialog)
{
    writeSquarePrefectures();
    const QString own = dir.filePath(QStringLiteral("人口.csv"));
    ASSERT_TRUE(platform::writeTextLines(own, {QStringLiteral("Code,地区名,人口(人)"), QStringLiteral("13101,市13,1000000"),
                                               QStringLiteral("14101,市14,3000000")})
                    .ok());
    state::resetMdlMain();
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        for (int code : {13, 14})
            d.findChild<QCheckBox*>(QStringLiteral("chkKen_%1").arg(code))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    QStringList preview;
    bool stayedOpen = false;
    answerer.on<stats::frmCompute>([&](stats::frmCompute& d) {
        d.findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(QStringLiteral("人口密度"));
        auto* expr = d.findChild<QLineEdit*>(QStringLiteral("txtExpr"));
        expr->setText(QStringLiteral("[人口] ÷ 面積()"));
        d.findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
        stayedOpen = d.isVisible();
        expr->setText(QStringLiteral("[人口(人)] ÷ 面積()"));
        const auto* table = d.findChild<QTableWidget*>(QStringLiteral("tblPreview"));
        for (int r = 0; r < table->rowCount(); ++r)
            preview << table->item(r, 0)->text() + QLatin1Char(' ') + table->item(r, 2)->text().left(5);
        saveShot(d.grab().toImage(), QStringLiteral("real_compute_dialog.png"));
        d.findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
    });
    answerer.on<stats::StatisticDialog>([](stats::StatisticDialog& d) {
        d.cmdExtract_Click(); // the own-data table, chosen in a file dialog
        d.findChild<QPushButton*>(QStringLiteral("cmdCompute"))->click();
        saveShot(d.grab().toImage(), QStringLiteral("real_statistic_dialog_computed.png"));
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
        if (d.isVisible())
            d.reject(); // refused: the test fails below instead of waiting
    });
    launch("cmdMap1");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);

    answerer.files = {own};
    window->cmdStatistic_Click();
    EXPECT_EQ(answerer.messages(), QStringList{QStringLiteral("だめだめ|計算式「[人口] ÷ 面積()」: 列 [人口] は表にありません。")});
    EXPECT_TRUE(stayedOpen);
    // Each square of one degree at 35°..36° N holds about 10066 km².
    EXPECT_EQ(preview, (QStringList{QStringLiteral("13101 99.34"), QStringLiteral("14101 298.0")}));
    EXPECT_EQ(state::mdlMain().StatItemName, QStringLiteral("人口密度"));
    const auto* joined = window->tables().lvwUseTiku.find(QStringLiteral("G14101"));
    ASSERT_NE(joined, nullptr);
    EXPECT_NEAR(joined->subItem(3).toDouble(), 3000000 / 10066.3, 0.01);
    window->close();
}

// "比例シンボル" on the Japan map: a right click opens its settings (squares, value labels under
// the names), the tick draws the squares at the label points over the rank fill, and the
// statistic export writes the table of what was painted.
TEST_F(RealDialogs, ProportionalSymbolsFromTheirCheckBoxAndThePaintedTable)
{
    writeSquarePrefectures();
    const QString own = dir.filePath(QStringLiteral("人口.csv"));
    ASSERT_TRUE(platform::writeTextLines(own, {QStringLiteral("Code,地区名,人口"), QStringLiteral("13,東京都,1000"),
                                               QStringLiteral("14,神奈川県,4000")})
                    .ok());
    state::resetMdlMain();
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        for (int code : {13, 14})
            d.findChild<QCheckBox*>(QStringLiteral("chkKen_%1").arg(code))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    bool exportTable = false;
    answerer.on<stats::StatisticDialog>([&](stats::StatisticDialog& d) {
        if (exportTable) {
            d.findChild<QPushButton*>(QStringLiteral("cmdExport"))->click();
            d.reject();
            return;
        }
        d.cmdExtract_Click();
        d.findChild<QListWidget*>(QStringLiteral("lstStatistic"))->setCurrentRow(1);
        d.cmdGo_Click();
    });
    answerer.on<stats::frmRank>([](stats::frmRank& d) { d.cmdGo_Click(); });
    answerer.on<layers::frmSymbol>([](layers::frmSymbol& d) {
        d.findChild<QRadioButton*>(QStringLiteral("optSquare"))->setChecked(true);
        d.findChild<QSpinBox*>(QStringLiteral("txtSize"))->setValue(30);
        d.findChild<QComboBox*>(QStringLiteral("cboValueLabels"))->setCurrentIndex(1);
        saveShot(d.grab().toImage(), QStringLiteral("real_symbol_dialog.png"));
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    launch("cmdMap3");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    answerer.files = {own};
    window->cmdStatistic_Click();
    window->cmdRank_Click();
    window->findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();

    auto* box = window->findChild<QCheckBox*>(QStringLiteral("chkSymbols"));
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::RightButton);
    EXPECT_TRUE(answerer.saw(QStringLiteral("frmSymbol")));
    EXPECT_FALSE(box->isChecked()) << "a right click only opens the settings";
    EXPECT_EQ(window->symbolOptions().shape, layers::SymbolShape::Square);
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_TRUE(box->isChecked());

    // Four times the value, twice the side: only the larger square (radius 30, the other 15)
    // reaches the corner 26 pixels out.
    const auto regions = stats::paintedRegions(window->tables(), mapview::MapMode::Japan);
    ASSERT_EQ(regions.size(), 2u);
    const platform::Canvas& canvas = window->canvas();
    const QColor blue = platform::toQColor(layers::SymbolOptions().color);
    for (const auto& r : regions) {
        const QPoint corner(static_cast<int>(canvas.toPixelX(r.lon)) - 26, static_cast<int>(canvas.toPixelY(r.lat)) - 26);
        const QColor c = canvas.image().pixelColor(corner);
        const bool largest = r.code == QLatin1String("14");
        EXPECT_EQ(std::abs(c.blue() - blue.blue()) < 40 && c.red() < 120, largest) << r.code.toStdString();
    }
    QStringList captions;
    const auto& names = window->labels().array(mapview::LabelKind::Pref);
    for (int i = 1; i < names.count(); ++i)
        captions << names.at(i).caption;
    EXPECT_TRUE(captions.contains(QStringLiteral("1,000")) && captions.contains(QStringLiteral("4,000"))) << captions.join(u' ').toStdString();
    saveShot(window->grab().toImage(), QStringLiteral("real_map_symbols.png"));

    const QString table = dir.filePath(QStringLiteral("塗り分け.csv"));
    exportTable = true;
    answerer.files = {table};
    window->cmdStatistic_Click();
    QFile f(table);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes);
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n13,東京都,1000,1,#"))) << text.toStdString();
    EXPECT_EQ(answerer.messages(), QStringList());
    window->close();
}

// Every window the launcher opens, closed by the user: the program ends once, the window is
// deleted, and the dialogs it opens on its way (the list dialogs, closed) leave nothing behind.
TEST_F(RealDialogs, ClosingEachKindOfWindowEndsTheProgramOnce)
{
    struct Case {
        const char* button;
        const char* window;
        QStringList dialogs; // met on the way, each closed with its close box
    };
    const Case cases[] = {
        {"cmdMap3", "frmMain", {QStringLiteral("frmKenList")}},
        {"cmdMap1", "frmMain", {QStringLiteral("frmKenList")}},
        {"cmdMap2", "frmMain", {QStringLiteral("frmKenList"), QStringLiteral("frmTikuList")}},
        {"cmdChange1", "frmChange_P", {}},
        {"cmdChange2", "frmChange_C", {}},
        {"cmdChange3", "frmChange_J", {}},
        {"cmdRirUroravu", "frmFighter", {}},
        {"cmdGetCountry", "frmGetCountry", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ends = 0;
        answerer.seen.clear();
        launch(c.button);
        QWidget* window = visibleTopLevel(QString::fromLatin1(c.window));
        ASSERT_NE(window, nullptr);
        if (!c.dialogs.isEmpty()) {
            ASSERT_TRUE(waitFor([&] { return answerer.saw(c.dialogs.last()); }));
        }
        QCoreApplication::processEvents();
        QStringList met;
        for (const Seen& s : answerer.seen)
            met << s.kind;
        EXPECT_EQ(met, c.dialogs);
        EXPECT_EQ(visibleTopLevels(), QStringList{QString::fromLatin1(c.window)});
        QPointer<QWidget> gone(window);
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(ends, 1);
        EXPECT_TRUE(gone.isNull());
        deleteAllTopLevels();
    }
}

TEST_F(RealDialogs, TheReadMeOpensOverTheLauncherAndClosesBackToIt)
{
    auto* menu = new app::frmMenu;
    menu->show();
    menu->findChild<QPushButton*>(QStringLiteral("cmdReadMe"))->click();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen.front().kind, QStringLiteral("frmReadMe"));
    EXPECT_EQ(visibleTopLevels(), QStringList{QStringLiteral("frmMenu")});
    EXPECT_EQ(ends, 0);
    QPointer<QWidget> gone(menu);
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

// The user closes the map window while its start sequence is loading: the window waits for the
// load, then ends the program once; nothing more is loaded or asked after that.
TEST_F(RealDialogs, ClosingTheMapWindowWhileItLoadsEndsTheProgramOnceAndAsksNothingMore)
{
    writeSquarePrefectures();
    state::resetMdlMain();
    // Railways with three of their four files missing: loading them would name the files.
    const QString railways = dir.filePath(QStringLiteral("MapData/鉄道"));
    ASSERT_TRUE(QDir().mkpath(railways));
    QFile curves(railways + QStringLiteral("/Line_rr.dat"));
    ASSERT_TRUE(curves.open(QIODevice::WriteOnly));
    curves.write("cv1\r\n35.5 139.1 35.5 139.9\r\n");
    curves.close();
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        d.findChild<QCheckBox*>(QStringLiteral("chkKen_13"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkTrain"))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    QPointer<QWidget> window;
    int closes = 0;
    platform::setYieldHook([&] {
        if (window && window->isVisible() && closes++ == 0)
            window->close();
    });
    launch("cmdMap3");
    window = visibleTopLevel(QStringLiteral("frmMain"));
    ASSERT_FALSE(window.isNull());
    const bool ended = waitFor([&] { return ends > 0; });
    platform::setYieldHook({});
    ASSERT_TRUE(ended);
    EXPECT_EQ(closes, 1);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(answerer.messages(), QStringList());
    EXPECT_TRUE(window.isNull());
}

// The conversion window closed while its error box is open (the conversion still running): the
// box is answered, then the window ends the program once and is deleted.
TEST_F(RealDialogs, AConversionWindowClosedUnderItsMessageEndsTheProgramAfterTheMessage)
{
    const QString data = dir.filePath(QStringLiteral("P02-13.xml"));
    QFile bad(data);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<?xml version=\"1.0\"?><ksj:Dataset><unclosed>");
    bad.close();
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("MapData/東京都")));
    launch("cmdChange1");
    QPointer<QWidget> window = visibleTopLevel(QStringLiteral("frmChange_P"));
    ASSERT_FALSE(window.isNull());
    window->findChild<QRadioButton*>(QStringLiteral("optMode_1"))->setChecked(true);
    window->findChild<QLineEdit*>(QStringLiteral("txtFile2"))->setText(data);
    window->findChild<QComboBox*>(QStringLiteral("cboPref"))->setCurrentText(QStringLiteral("東京都"));
    int endsWhileAsked = -1;
    answerer.beforeAnswer = [&](QMessageBox&) {
        window->close();
        endsWhileAsked = ends;
    };
    window->findChild<QPushButton*>(QStringLiteral("cmdChange"))->click();
    answerer.beforeAnswer = nullptr;
    ASSERT_EQ(answerer.messages().size(), 1);
    EXPECT_TRUE(answerer.messages().first().startsWith(QStringLiteral("残念|")));
    EXPECT_EQ(endsWhileAsked, 0) << "the running conversion keeps the window until it is done";
    EXPECT_EQ(ends, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(RealDialogs, ImportWindowAddsThroughTheFileDialogImportsAndClosesBackToTheLauncher)
{
    // A GeoJSON of one municipality square, chosen in Qt's own file dialog.
    const QString data = dir.filePath(QStringLiteral("N03-21_13_210101.geojson"));
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"N03_001":"東京都","N03_004":"千代田区","N03_007":"13101"},)"
               R"("geometry":{"type":"Polygon","coordinates":[[[139.7,35.6],[139.8,35.6],[139.8,35.7],[139.7,35.7],[139.7,35.6]]]}}]})");
    file.close();
    launch("cmdImport");
    QPointer<imports::frmImport> window = qobject_cast<imports::frmImport*>(visibleTopLevel(QStringLiteral("frmImport")));
    ASSERT_FALSE(window.isNull());
    answerer.files = {data};
    window->findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
    ASSERT_EQ(window->findChild<QTableWidget*>(QStringLiteral("grdInputs"))->rowCount(), 1);
    EXPECT_EQ(window->inputs().front().kind, imports::InputKind::Boundary);
    QSignalSpy finished(window.data(), &imports::frmImport::importFinished);
    window->findChild<QPushButton*>(QStringLiteral("cmdImport"))->click();
    ASSERT_TRUE(finished.wait(kGuardMs));
    EXPECT_TRUE(window->findChild<QPlainTextEdit*>(QStringLiteral("txtSummary"))->toPlainText().startsWith(QStringLiteral("取込が終わりました。")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("MapData/東京都/Polygon.dat"))));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(visibleTopLevels(), QStringList{QStringLiteral("frmMenu")});
    EXPECT_EQ(ends, 0); // unlike the specified windows, closing it does not end the program
}

TEST_F(RealDialogs, TheFirstStartOfAnInstalledProgramSaysOnceWhereItsAppFolderIs)
{
    QTemporaryDir xdg;
    const QString user = xdg.path() + QStringLiteral("/miratos");
    const auto created = platform::AppFolder::layOut(user, QString());
    ASSERT_TRUE(created) << created.error().toStdString();
    const QString note = QStringLiteral("初めての起動のため、個人用のアプリフォルダ（Init.ini、MapData、変換フォルダ）を作りました:\n") + user;
    answerer.beforeAnswer = [](QMessageBox& box) { saveShot(box.grab().toImage(), QStringLiteral("real_first_start.png")); };
    QString line;
    QTextStream err(&line);
    EXPECT_TRUE(platform::tellAppFolderStart(note, true, err));
    answerer.beforeAnswer = nullptr;
    EXPECT_EQ(answerer.messages(), QStringList{QStringLiteral("ミラトス|") + note});
    EXPECT_TRUE(line.isEmpty());
}

namespace {
QPoint pixelOf(const platform::Canvas& canvas, double lon, double lat)
{
    return canvas.toPixel(lon, lat);
}

void wheelOn(QWidget* widget, QPoint pixel, int notches)
{
    const QPointF global = widget->mapToGlobal(QPointF(pixel));
    QWheelEvent event(QPointF(pixel), global, QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(widget, &event);
}
} // namespace

// The map window as a user of today meets it: it grows with the window, the wheel zooms about the
// pointer, the middle button drags the map, keys zoom and pan, Home returns to the first view, and
// the status line names the prefecture and its value under the pointer.
TEST_F(RealDialogs, TheMapWindowGrowsZoomsAndPansAndNamesTheRegionUnderThePointer)
{
    writeSquarePrefectures();
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("人口.csv")),
                                         {QStringLiteral("Code,地区名,人口"), QStringLiteral("13101,市13,349385"),
                                          QStringLiteral("14101,市14,1200")})
                    .ok());
    state::resetMdlMain();
    answerer.on<app::frmKenList>([](app::frmKenList& d) {
        for (int code : {13, 14})
            d.findChild<QCheckBox*>(QStringLiteral("chkKen_%1").arg(code))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    answerer.on<stats::StatisticDialog>([](stats::StatisticDialog& d) {
        d.cmdExtract_Click();
        d.findChild<QListWidget*>(QStringLiteral("lstStatistic"))->setCurrentRow(1);
        d.cmdGo_Click();
    });
    answerer.on<stats::frmRank>([](stats::frmRank& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbCo"))->setCurrentIndex(0);
        d.cmdGo_Click();
    });
    launch("cmdMap1");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([&] { return window->canvas().scaleTop() > window->canvas().scaleBottom(); }));
    answerer.files = {dir.filePath(QStringLiteral("人口.csv"))};
    window->cmdStatistic_Click();
    window->cmdRank_Click();
    auto* picMain = window->findChild<QWidget*>(QStringLiteral("picMain"));
    auto* floor = window->findChild<QWidget*>(QStringLiteral("picFloor"));
    EXPECT_EQ(picMain->size(), QSize(600, 600));
    const mapview::ViewRect first = window->viewport().view;

    // Larger window: the canvas fills its floor, the view keeps its centre and proportions.
    window->resize(1600, 1200);
    ASSERT_TRUE(waitFor([&] { return window->canvas().width() > 600 && window->canvas().height() > 600; }));
    EXPECT_EQ(picMain->size(), floor->size());
    EXPECT_EQ(window->canvas().image().size(), floor->size());
    const auto& c = window->canvas();
    EXPECT_NEAR((c.scaleLeft() + c.scaleRight()) / 2, (first.X1 + first.X2) / 2.0, 1e-4);
    EXPECT_NEAR((c.scaleTop() + c.scaleBottom()) / 2, (first.Y1 + first.Y2) / 2.0, 1e-4);
    // A pixel is as many kilometres wide and high as on the first square canvas.
    const double aspect = (first.X2 - first.X1) / static_cast<double>(first.Y1 - first.Y2);
    EXPECT_NEAR((c.scaleRight() - c.scaleLeft()) / c.width() / ((c.scaleTop() - c.scaleBottom()) / c.height()), aspect, 1e-5);
    auto* bar = window->findChild<QWidget*>(QStringLiteral("scrZoom"));
    EXPECT_GE(bar->mapTo(window, QPoint(0, 0)).y(), floor->mapTo(window, QPoint(0, floor->height())).y());

    // Hovering names the prefecture, its value and its rank.
    auto* status = window->findChild<QLabel*>(QStringLiteral("lblStatus"));
    QTest::mouseMove(picMain, pixelOf(c, 139.5, 35.5));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("県市13　人口 349,385　ランク "))) << status->text().toStdString();
    QTest::mouseMove(picMain, pixelOf(c, 140.5, 35.2));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("県市14　人口 1,200　ランク "))) << status->text().toStdString();

    // The wheel zooms in about the pointer: the point stays under it.
    const QPoint at = pixelOf(c, 139.7, 35.7);
    const double spanBefore = c.scaleRight() - c.scaleLeft();
    wheelOn(picMain, at, 1);
    EXPECT_LT(c.scaleRight() - c.scaleLeft(), spanBefore * 0.9);
    EXPECT_NEAR(c.toPixelX(139.7), at.x(), 1.0);
    EXPECT_NEAR(c.toPixelY(35.7), at.y(), 1.0);
    wheelOn(picMain, at, -1);
    EXPECT_NEAR(c.scaleRight() - c.scaleLeft(), spanBefore, spanBefore * 1e-4);

    // The middle button drags the map: the point pressed on lies under the pointer after the drop.
    const QPoint press(400, 300);
    const double lon = c.toUserX(press.x()), lat = c.toUserY(press.y());
    QTest::mousePress(picMain, Qt::MiddleButton, {}, press);
    QTest::mouseMove(picMain, press + QPoint(80, 50), Qt::MiddleButton);
    // The canvas followed the pointer, so the pointer is over the press point of the moved canvas.
    QTest::mouseRelease(picMain, Qt::MiddleButton, {}, press);
    EXPECT_EQ(picMain->pos(), QPoint(0, 0));
    EXPECT_NEAR(c.toPixelX(lon), press.x() + 80, 1.0);
    EXPECT_NEAR(c.toPixelY(lat), press.y() + 50, 1.0);

    // Keys: + zooms in about the centre, an arrow pans, Home returns to the first view.
    picMain->setFocus();
    const double span = c.scaleRight() - c.scaleLeft();
    QTest::keyClick(picMain, Qt::Key_Plus);
    EXPECT_LT(c.scaleRight() - c.scaleLeft(), span * 0.9);
    const double left = c.scaleLeft();
    QTest::keyClick(picMain, Qt::Key_Right);
    EXPECT_GT(c.scaleLeft(), left);
    QTest::keyClick(picMain, Qt::Key_Home);
    EXPECT_EQ(window->viewport().view, first);
    wheelOn(picMain, at, 2);
    window->findChild<QPushButton*>(QStringLiteral("cmdFullView"))->click();
    EXPECT_EQ(window->viewport().view, first);
    // A wheel move is a step of "１つ前": the button comes on and brings the view back.
    QTest::qWait(700);
    wheelOn(picMain, at, 1);
    auto* back = window->findChild<QPushButton*>(QStringLiteral("cmdZoomBack"));
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(window->viewport().view, first);
    saveShot(window->grab().toImage(), QStringLiteral("real_map_window_1600.png"));
    EXPECT_EQ(answerer.messages(), QStringList());
    window->close();
}

// 地図の保存 and 地図を開く with Qt's own file dialogs: a statistic map with a label hidden by hand
// is saved, the program is started again from the launcher on another choice of prefectures, and
// the map opened in its window exports the same picture; the window it replaced is gone without
// ending the program.
TEST_F(RealDialogs, ASavedMapOpensAgainAsTheSamePicture)
{
    writeSquarePrefectures();
    const QString own = dir.filePath(QStringLiteral("人口.csv"));
    ASSERT_TRUE(platform::writeTextLines(own, {QStringLiteral("Code,地区名,人口(人)"), QStringLiteral("13101,市13,1000000"),
                                               QStringLiteral("14101,市14,3000000")})
                    .ok());
    state::resetMdlMain();
    QList<int> chosen = {13, 14};
    answerer.on<app::frmKenList>([&chosen](app::frmKenList& d) {
        for (int code : chosen)
            d.findChild<QCheckBox*>(QStringLiteral("chkKen_%1").arg(code))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    answerer.on<stats::StatisticDialog>([](stats::StatisticDialog& d) {
        d.cmdExtract_Click();
        d.findChild<QListWidget*>(QStringLiteral("lstStatistic"))->setCurrentRow(1);
        d.cmdGo_Click();
    });
    answerer.on<stats::frmRank>([](stats::frmRank& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbCo"))->setCurrentIndex(0);
        d.cmdGo_Click();
    });
    answerer.on<output::frmLocation>([](output::frmLocation& d) {
        d.findChild<QRadioButton*>(QStringLiteral("optLocation_3"))->setChecked(true);
        d.cmdGo_Click();
    });
    launch("cmdMap1");
    ASSERT_TRUE(waitFor([&] { return answerer.saw(QStringLiteral("frmKenList")); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* window = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(window, nullptr);
    answerer.files = {own};
    window->cmdStatistic_Click();
    window->cmdRank_Click();
    window->findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();
    // The first municipality name is hidden in the edit mode 消去.
    const auto& names = window->labels().array(mapview::LabelKind::Pref);
    ASSERT_GE(names.count(), 3);
    const QString hidden = names.at(1).caption;
    window->findChild<QRadioButton*>(QStringLiteral("optModify_2"))->setChecked(true);
    window->picMain_MouseDown(Qt::LeftButton, window->canvas().toPixel(names.at(1).left, names.at(1).top) + QPoint(3, 3));
    ASSERT_FALSE(names.at(1).visible);
    window->findChild<QRadioButton*>(QStringLiteral("optModify_0"))->setChecked(true);
    const QString first = dir.filePath(QStringLiteral("first.png"));
    answerer.files = {first};
    window->cmdImageExport_Click();
    const QString map = dir.filePath(QStringLiteral("関東.miratos"));
    answerer.files = {map};
    window->findChild<QPushButton*>(QStringLiteral("cmdSaveMap"))->click();
    ASSERT_TRUE(QFileInfo::exists(map));
    window->close();
    EXPECT_EQ(ends, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Started again: the launcher and the prefecture dialog as always, then the map opened.
    state::resetMdlMain();
    chosen = {13};
    launch("cmdMap1");
    ASSERT_TRUE(waitFor([&] { return visibleTopLevel(QStringLiteral("frmMain")) != nullptr; }));
    QPointer<app::frmMain> second = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_FALSE(second.isNull());
    answerer.files = {map};
    second->findChild<QPushButton*>(QStringLiteral("cmdOpenMap"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull()) << "the window of the other choice is replaced";
    auto* opened = qobject_cast<app::frmMain*>(visibleTopLevel(QStringLiteral("frmMain")));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(answerer.messages(), QStringList());
    EXPECT_EQ(opened->labels().array(mapview::LabelKind::Pref).at(1).caption, hidden);
    EXPECT_FALSE(opened->labels().array(mapview::LabelKind::Pref).at(1).visible);
    saveShot(opened->grab().toImage(), QStringLiteral("real_saved_map_opened.png"));
    const QString again = dir.filePath(QStringLiteral("again.png"));
    answerer.files = {again};
    opened->cmdImageExport_Click();
    const QImage a(first), b(again);
    ASSERT_FALSE(a.isNull());
    EXPECT_NE(a.pixel(150, 300), a.pixel(450, 300)) << "the two squares are painted in their ranks";
    EXPECT_EQ(a.convertToFormat(QImage::Format_RGB32), b.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(ends, 1);
    opened->close();
    EXPECT_EQ(ends, 2);
}
