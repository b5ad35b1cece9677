#pragma once
// The read-me window: a greeting that explains the program and where its data lives.
#include <QDialog>

namespace miratos::app {

class frmReadMe : public QDialog {
    Q_OBJECT
public:
    explicit frmReadMe(QWidget* parent = nullptr);
    // The text shown, with the data folders of this installation filled in.
    static QString readMeText();
};

} // namespace miratos::app
