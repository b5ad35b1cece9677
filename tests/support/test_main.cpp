// Shared main for every test executable: a QApplication (offscreen) exists for widget and font
// tests, and the IPA font stands in for the Windows face the labels are designed for.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/fonts.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    miratos::platform::installFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
