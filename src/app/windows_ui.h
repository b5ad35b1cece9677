#pragma once
// Opening the top-level windows the launcher leads to.
#include <QString>

class QWidget;

namespace miratos::app {

// Creates and shows the window with this name ("frmMain", "frmChange_P", …). Windows that are
// not built yet open as a plain window titled with "（準備中）". Returns the window.
QWidget* openTopLevelWindow(const QString& windowName);

// The title of each top-level window the launcher opens.
QString windowTitleOf(const QString& windowName);

} // namespace miratos::app
