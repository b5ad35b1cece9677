#pragma once
// Opening the top-level windows the launcher leads to.
#include <QString>

class QWidget;

namespace miratos::app {

// Creates and shows the window with this name ("frmMain", "frmChange_P", …); nothing for a
// name the launcher does not know. Returns the window.
QWidget* openTopLevelWindow(const QString& windowName);

} // namespace miratos::app
