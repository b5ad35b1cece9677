#include "../mapview/map_fixture.h"
#include "app/frm_main.h"
#include "mapview/labels.h"
#include "platform/seams.h"
#include "quiz/quiz_questions.h"
#include "store/district_file.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <deque>

using namespace miratos;

TEST(QuizQuestions, DrawsEveryIndexAndNamesTheMunicipality)
{
    std::deque<double> draws = {0.0, 0.49, 0.5, 0.999999, 1.0};
    platform::setRandomSource([&draws] {
        const double r = draws.front();
        draws.pop_front();
        return r;
    });
    for (int expected : {1, 1, 2, 2, 2})
        EXPECT_EQ(quiz::drawQuestion(2), expected);
    platform::setRandomSource({});

    EXPECT_EQ(quiz::cityAnswer(QStringLiteral("東京都"), QStringLiteral("17_13101_千代田区.dat")), QStringLiteral("東京都千代田区"));
    EXPECT_EQ(quiz::cityAnswer(QStringLiteral("神奈川県"), QStringLiteral("17_14101_横浜市.鶴見区.dat")), QStringLiteral("神奈川県横浜市"));

    state::MdlMain s;
    quiz::selectCityQuestion({QStringLiteral("/a/MapData/東京都/17_13101_千代田区.dat"), QStringLiteral("東京都"),
                              QStringLiteral("17_13101_千代田区.dat"), QString()},
                             s);
    EXPECT_EQ(s.TikuCount, 1);
    EXPECT_EQ(s.TikuPath.at(1), QStringLiteral("/a/MapData/東京都/17_13101_千代田区.dat"));
    EXPECT_EQ(s.TikuPrefix.at(1), QStringLiteral("/a/MapData/東京都/17_13101_"));
    EXPECT_EQ(s.TikuTable.size(), 2u);
}

namespace {

class QuizWindow : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        app::frmMain::setAutoLoad(false);
        writeSquarePrefectures();
        for (int code : {13, 14})
            state::mdlMain().PrefTable[static_cast<size_t>(code)][0].clear(); // the quiz selects them
        platform::setRandomSource([this] {
            const double r = m_draws.front();
            m_draws.pop_front();
            return r;
        });
    }
    void TearDown() override
    {
        platform::setRandomSource({});
        app::frmMain::setAutoLoad(true);
        MapFixture::TearDown();
    }
    static void click(app::frmMain& w, const char* name) { w.findChild<QPushButton*>(QString::fromLatin1(name))->click(); }
    static bool enabled(app::frmMain& w, const char* name) { return w.findChild<QPushButton*>(QString::fromLatin1(name))->isEnabled(); }
    static QString answer(app::frmMain& w) { return w.findChild<QLineEdit*>(QStringLiteral("txtAnswer"))->text(); }

    std::deque<double> m_draws;
};

} // namespace

TEST_F(QuizWindow, PrefectureQuestionsShowOnePrefectureAndAlternateWithAnswers)
{
    m_draws = {0.7, 0.1, 0.9};
    state::mdlMain().MapMode = QStringLiteral("WhatPref");
    app::frmMain w;
    w.show();
    w.初期化();
    for (const char* expected : {"神奈川県", "東京都", "神奈川県"}) {
        EXPECT_FALSE(enabled(w, "cmdNext"));
        EXPECT_TRUE(enabled(w, "cmdAnswer"));
        EXPECT_TRUE(answer(w).isEmpty());
        // Only the drawn prefecture is loaded.
        const QString code = QString::fromUtf8(expected) == QStringLiteral("東京都") ? QStringLiteral("13") : QStringLiteral("14");
        ASSERT_EQ(w.tables().lvwPrefLineOnly.count(), 1) << expected;
        EXPECT_TRUE(w.tables().lvwPrefLineOnly.at(1).key.startsWith(code)) << expected;
        click(w, "cmdAnswer");
        EXPECT_EQ(answer(w), QString::fromUtf8(expected));
        EXPECT_TRUE(enabled(w, "cmdNext"));
        EXPECT_FALSE(enabled(w, "cmdAnswer"));
        if (!m_draws.empty())
            click(w, "cmdNext");
    }
    EXPECT_EQ(answer(w), QStringLiteral("神奈川県")) << "the answer stays until the next question";
}

TEST_F(QuizWindow, MunicipalityQuestionWithItsAnswerAndTheTownHint)
{
    store::DistrictFile file;
    file.header = QStringLiteral("139.7 35.6 139.8 35.7");
    file.records = {
        {QStringLiteral("139.7 35.6 139.75 35.6 139.75 35.7 139.7 35.6"), QStringLiteral("30000"), QStringLiteral("1"),
         QStringLiteral("13101000101"), QStringLiteral("M"), QStringLiteral("丸の内１丁目"), QStringLiteral("139.72"), QStringLiteral("35.65")},
        {QStringLiteral("139.75 35.6 139.8 35.6 139.8 35.7 139.75 35.6"), QStringLiteral("30000"), QStringLiteral("1"),
         QStringLiteral("13101000102"), QStringLiteral("M"), QStringLiteral("丸の内２丁目"), QStringLiteral("139.72"), QStringLiteral("35.65")},
    };
    ASSERT_TRUE(store::writeDistrictFile(folder(QStringLiteral("東京都")) + QStringLiteral("17_13101_千代田区.dat"), file).ok());
    m_draws = {0.3};
    state::mdlMain().MapMode = QStringLiteral("WhatCity");
    app::frmMain w;
    w.show();
    w.初期化();
    EXPECT_EQ(state::mdlMain().MapMode, QStringLiteral("City"));
    EXPECT_EQ(w.tables().DistrictRecords.size(), 2u);
    auto* hint = w.findChild<QPushButton*>(QStringLiteral("cmdHint"));
    EXPECT_FALSE(hint->isHidden());
    EXPECT_FALSE(w.findChild<QCheckBox*>(QStringLiteral("chkTown"))->isChecked());

    // The hint shows the town names without overlaps: the two labels share a place, one stays.
    hint->click();
    EXPECT_TRUE(hint->isHidden());
    const auto& towns = std::as_const(w.labels()).array(mapview::LabelKind::Tiku);
    ASSERT_EQ(towns.count(), 3);
    EXPECT_NE(towns.at(1).visible, towns.at(2).visible);

    click(w, "cmdAnswer");
    EXPECT_EQ(answer(w), QStringLiteral("東京都千代田区"));
}
