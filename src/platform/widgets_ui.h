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

inline QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    return makeControl<QPushButton>(parent, name, caption);
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
