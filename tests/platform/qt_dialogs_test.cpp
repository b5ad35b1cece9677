#include "modal.h"
#include "platform/qt_prompts.h"
#include "platform/translations.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
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
