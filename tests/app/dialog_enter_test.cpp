// Enter in every dialog of the program presses its confirming button, or nothing: never a button
// that merely has its turn in the focus chain (Qt makes dialog push buttons "autoDefault").
#include "app/frm_ken_list.h"
#include "app/frm_read_me.h"
#include "app/frm_tiku_list.h"
#include "mapview/frm_ken_color.h"
#include "mapview/labels.h"
#include "output/frm_location.h"
#include "output/frm_property.h"
#include "platform/app_folder.h"
#include "platform/canvas.h"
#include "platform/cp932.h"
#include "platform/keyed_table.h"
#include "platform/prompts.h"
#include "state/mdl_main.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"

#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace miratos;

// Readable failure output for the lists of button names.
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace {

class DialogEnter : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        platform::AppFolder::set(dir.path());
        QFile ini(dir.filePath(QStringLiteral("Init.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(*platform::toCp932(QStringLiteral("[Pref]\r\n13=東京都\r\n")));
        ini.close();
        auto& s = state::mdlMain();
        s.MapMode = QStringLiteral("Pref");
        state::prepareMode(s);
        s.StatMin = 0;
        s.StatMax = 101;
        s.RankSetting = {QStringLiteral("2"), QStringLiteral("0")};
    }
    void TearDown() override { platform::AppFolder::set(QString()); }

    // Shows the dialog, presses Enter where the focus is, and names the buttons that fired.
    QStringList buttonsPressedByEnter(QDialog& dialog)
    {
        QStringList pressed;
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            QObject::connect(button, &QPushButton::clicked, &dialog, [&pressed, button] { pressed << button->objectName(); });
        dialog.show();
        QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
        QTest::keyClick(target, Qt::Key_Return);
        return pressed;
    }

    QTemporaryDir dir;
    platform::ScopedScriptedPrompts prompts;
    platform::KeyedTable colours;
    mapview::LabelLayer labels;
    platform::Canvas scale{100, 100};
};

} // namespace

TEST_F(DialogEnter, PressesTheConfirmingButtonOrNothing)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
        QStringList expected;
    };
    const QStringList go{QStringLiteral("cmdGo")};
    const Case cases[] = {
        {"frmKenList", [] { return std::make_unique<app::frmKenList>(); }, go},
        {"frmTikuList", [this] { return std::make_unique<app::frmTikuList>(colours); }, go},
        {"frmReadMe", [] { return std::make_unique<app::frmReadMe>(); }, {}},
        {"frmKenColor", [this] { return std::make_unique<mapview::frmKenColor>(colours); }, go},
        {"frmTikuColor", [this] { return std::make_unique<mapview::frmTikuColor>(colours); }, go},
        {"frmLocation", [] { return std::make_unique<output::frmLocation>(); }, go},
        {"frmProperty", [this] { return std::make_unique<output::frmProperty>(labels, scale); }, go},
        {"frmRank", [] { return std::make_unique<stats::frmRank>(QVector<float>{}); }, go},
        {"frmStatistic_J", [] { return std::make_unique<stats::frmStatistic_J>(); }, go},
        {"frmStatistic_P", [] { return std::make_unique<stats::frmStatistic_P>(); }, go},
        {"frmStatistic_C", [] { return std::make_unique<stats::frmStatistic_C>(); }, go},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto dialog = c.make();
        EXPECT_EQ(buttonsPressedByEnter(*dialog), c.expected);
        // None of them opens a file or colour dialog on Enter.
        for (const auto& record : prompts.records())
            EXPECT_EQ(record.kind, platform::ScriptedPrompts::Kind::Message) << record.title.toStdString();
        prompts.clear();
    }
}
