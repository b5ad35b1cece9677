#pragma once
// The application object of the windows: an action that runs out of memory is ended with a
// message naming the file being read, and the program goes on.
#include <QApplication>

namespace miratos::platform {

class MiratosApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace miratos::platform
