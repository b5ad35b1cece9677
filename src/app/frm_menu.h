#pragma once
// The launcher: the first window, from which the user chooses a map scale, a quiz, a conversion
// window, a game or the read-me.
#include <QWidget>

namespace miratos::app {

class frmMenu : public QWidget {
    Q_OBJECT
public:
    explicit frmMenu(QWidget* parent = nullptr);

private:
    void openMap(const QString& mapMode);
    void openWindow(const QString& windowName);
    void showReadMe();
};

} // namespace miratos::app
