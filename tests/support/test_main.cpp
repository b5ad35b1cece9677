// Shared main for every test executable: a QApplication (offscreen) exists for widget and font
// tests, and the IPA font stands in for the Windows face the labels are designed for.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/app_folder.h"
#include "platform/fonts.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    miratos::platform::installFontSubstitutes();
    // ctest runs tests side by side, each in a process of its own: a test that names no app folder
    // gets one of its process, so that two of them never meet in the import lock of the test folder.
    QTemporaryDir appFolder;
    miratos::platform::AppFolder::set(appFolder.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
