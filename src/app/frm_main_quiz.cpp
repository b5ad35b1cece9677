// The map window as a quiz: "次の問題" draws a prefecture or a municipality, "答え" names it,
// "ヒント" shows the town names of the municipality.
#include "app/frm_main.h"
#include "quiz/quiz_questions.h"
#include "state/mdl_main.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace miratos::app {

void frmMain::connectQuiz()
{
    connect(m_cmdNext, &QPushButton::clicked, this, [this] { 次の問題(); });
    connect(m_cmdAnswer, &QPushButton::clicked, this, [this] { cmdAnswer_Click(); });
    connect(m_cmdHint, &QPushButton::clicked, this, [this] { cmdHint_Click(); });
}

void frmMain::次の問題()
{
    state::MdlMain& s = state::mdlMain();
    const bool cityQuiz = s.MapMode == QLatin1String("City");
    // Questions and answers alternate: each button waits for the other.
    m_cmdNext->setEnabled(false);
    m_txtAnswer->clear();
    m_question = quiz::drawQuestion(cityQuiz ? static_cast<int>(m_cityQuizList.size()) : static_cast<int>(m_prefQuizList.size()));
    if (cityQuiz) {
        quiz::CityQuizEntry& entry = m_cityQuizList[m_question - 1];
        entry.answer = quiz::cityAnswer(entry.prefName, entry.fileName);
        quiz::selectCityQuestion(entry, s);
        m_chkTown->setChecked(false);
        データ読込_C();
        m_cmdHint->setVisible(true);
    } else {
        s.PrefTable[static_cast<size_t>(m_prefQuizList.at(m_question - 1))][0] = QStringLiteral("TRUE");
        データ読込_J();
    }
    m_cmdAnswer->setEnabled(true);
}

void frmMain::cmdAnswer_Click()
{
    state::MdlMain& s = state::mdlMain();
    if (s.MapMode == QLatin1String("City")) {
        m_txtAnswer->setText(m_cityQuizList.at(m_question - 1).answer);
    } else {
        // The next question shows only its own prefecture.
        auto& row = s.PrefTable[static_cast<size_t>(m_prefQuizList.at(m_question - 1))];
        m_txtAnswer->setText(row[1]);
        row[0].clear();
    }
    m_cmdNext->setEnabled(true);
    m_cmdAnswer->setEnabled(false);
    // Disabling the focused 答え hands the focus on to the answer, which then selects its text.
    m_txtAnswer->deselect();
}

void frmMain::cmdHint_Click()
{
    m_chkTown->setChecked(true);
    chkTown_Click();
    cmdDecrease_Click();
    m_cmdHint->setVisible(false);
}

} // namespace miratos::app
