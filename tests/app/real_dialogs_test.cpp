// The program driven from the launcher with Qt's own dialogs, as a user meets them: every modal
// box is answered by a timer that finds the active modal widget and presses its default button
// (file dialogs are given a file or cancelled). The program's end is recorded, not carried out.
#include "../mapview/map_fixture.h"
#include "app/frm_ken_list.h"
#include "app/frm_main.h"
#include "app/frm_menu.h"
#include "app/frm_read_me.h"
#include "app/frm_tiku_list.h"
#include "output/frm_location.h"
#include "platform/program_end_ui.h"
#include "platform/qt_prompts.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"

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
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
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
                dialog->selectFile(file);
                static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, checks included
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

    window->close();
    EXPECT_EQ(ends, 1);
    QPointer<QWidget> gone(window);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}
