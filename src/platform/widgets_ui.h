#pragma once
// Small helpers that create controls with their object names and captions.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

namespace miratos::platform {

// The object name of element i of a control array ("chkKen_13").
inline QString arrayName(const char* name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

template <class W>
W* makeControl(QWidget* parent, const QString& objectName, const QString& caption = QString())
{
    auto* w = new W(caption, parent);
    w->setObjectName(objectName);
    return w;
}

// Buttons never become a dialog's default by taking focus (Qt makes every push button in a dialog
// "autoDefault"), so Enter presses only the button a dialog marks as its confirming one.
inline QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = makeControl<QPushButton>(parent, name, caption);
    button->setAutoDefault(false);
    return button;
}
// A dialog's confirming button ("決定"): the one that Enter presses.
inline QPushButton* makeDefaultButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = makeButton(parent, name, caption);
    button->setDefault(true);
    return button;
}
inline QCheckBox* makeCheck(QWidget* parent, const QString& name, const QString& caption)
{
    return makeControl<QCheckBox>(parent, name, caption);
}
inline QRadioButton* makeOption(QWidget* parent, const QString& name, const QString& caption)
{
    return makeControl<QRadioButton>(parent, name, caption);
}
inline QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption)
{
    return makeControl<QLabel>(parent, name, caption);
}
inline QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& caption)
{
    return makeControl<QGroupBox>(parent, name, caption);
}
inline QLineEdit* makeText(QWidget* parent, const QString& name, const QString& text = QString())
{
    auto* w = new QLineEdit(text, parent);
    w->setObjectName(name);
    return w;
}

} // namespace miratos::platform
