#include "modal.h"
#include "platform/qt_prompts.h"
#include "platform/translations.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos::platform;

TEST(QtDialogs, SaveDialogWritesTheNameWithTheChosenFiltersExtension)
{
    QTemporaryDir dir;
    QtPrompts qt;
    whenShown<QFileDialog>([](QFileDialog& d) {
        d.selectNameFilter(QStringLiteral("PNG (*.png)"));
        d.selectFile(QStringLiteral("image"));
        static_cast<QDialog&>(d).accept(); // the dialog's own accept checks and completes the name
    });
    const auto path = qt.saveFile({QStringLiteral("画像出力"), QStringLiteral("ビットマップ (*.bmp);;PNG (*.png)"), dir.path(),
                                   QStringLiteral("image")});
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(QDir::cleanPath(*path).toStdString(), QDir::cleanPath(dir.filePath(QStringLiteral("image.png"))).toStdString());
}

TEST(QtDialogs, StandardButtonsReadInJapanese)
{
    ASSERT_TRUE(installJapaneseTranslations()) << "Qt's Japanese translations (qt6-translations-l10n) are not installed";
    QMessageBox box(QMessageBox::Question, QStringLiteral("要確認"), QStringLiteral("?"), QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい"))) << box.button(QMessageBox::Yes)->text().toStdString();
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ"))) << box.button(QMessageBox::No)->text().toStdString();
}

// A window closed with WA_DeleteOnClose is deleted by the next event loop, which may be the
// box's own: the box must not be its child then.
TEST(QtDialogs, NoBoxIsParentedToAWindowThatIsClosing)
{
    auto* closing = new QWidget;
    closing->setAttribute(Qt::WA_DeleteOnClose);
    closing->show();
    QPointer<QWidget> watch(closing);
    QtPrompts qt;
    qt.setParentWindow(closing);
    closing->close();
    QWidget* parentSeen = closing;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        parentSeen = box.parentWidget();
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(qt.message(MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("要確認"), QStringLiteral("x")), MsgAnswer::Ok);
    EXPECT_EQ(parentSeen, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
}

// Should the window a box belongs to be deleted while the box waits, the box goes with it
// (once) and the answer is the safe one of its buttons.
TEST(QtDialogs, ABoxWhoseWindowIsDeletedUnderItAnswersTheSafeButton)
{
    const std::pair<MsgButtons, MsgAnswer> cases[] = {
        {MsgButtons::Ok, MsgAnswer::Ok},
        {MsgButtons::OkCancel, MsgAnswer::Cancel},
        {MsgButtons::YesNo, MsgAnswer::No},
        {MsgButtons::YesNoCancel, MsgAnswer::Cancel},
    };
    for (const auto& [buttons, safe] : cases) {
        auto* window = new QWidget;
        window->show();
        QtPrompts qt;
        qt.setParentWindow(window);
        whenShown<QMessageBox>([window](QMessageBox& box) {
            EXPECT_EQ(box.parentWidget(), window);
            delete window;
        });
        EXPECT_EQ(qt.message(MsgIcon::Question, buttons, QStringLiteral("要確認"), QStringLiteral("x")), safe);
    }
}
