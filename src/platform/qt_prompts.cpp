#include "platform/qt_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace miratos::platform {
namespace {

QWidget* dialogParent(const Prompts& prompts)
{
    return prompts.parentWindow() ? prompts.parentWindow() : QApplication::activeWindow();
}

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MsgAnswer fromQt(int button)
{
    switch (button) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    default: return MsgAnswer::Ok;
    }
}

QString startPath(const FileDialogRequest& request)
{
    if (request.proposedName.isEmpty())
        return request.startFolder;
    return QDir(request.startFolder).filePath(request.proposedName);
}

// Qt's own save dialog, so that the extension of the filter chosen at the moment of saving is
// added to a bare name before the overwrite question is asked about that name.
class SaveFileDialog : public QFileDialog {
public:
    SaveFileDialog(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
        : QFileDialog(parent, title, folder, filter)
    {
        setObjectName(QStringLiteral("saveFileDialog"));
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setOption(QFileDialog::DontUseNativeDialog);
    }

    void accept() override
    {
        setDefaultSuffix(filterSuffix(selectedNameFilter()));
        QFileDialog::accept();
    }
};

} // namespace

MsgAnswer QtPrompts::message(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text)
{
    QMessageBox box(toQt(icon), title, text, toQt(buttons), dialogParent(*this));
    return fromQt(box.exec());
}

MsgAnswer QtPrompts::ask(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text, MsgAnswer defaultButton)
{
    QMessageBox box(toQt(icon), title, text, toQt(buttons), dialogParent(*this));
    const QMessageBox::StandardButton def = defaultButton == MsgAnswer::No       ? QMessageBox::No
                                            : defaultButton == MsgAnswer::Cancel ? QMessageBox::Cancel
                                            : defaultButton == MsgAnswer::Yes    ? QMessageBox::Yes
                                                                                 : QMessageBox::Ok;
    box.setDefaultButton(def);
    return fromQt(box.exec());
}

std::optional<QString> QtPrompts::input(const QString& title, const QString& prompt, const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(*this), title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtPrompts::openFile(const FileDialogRequest& request)
{
    const QString path = QFileDialog::getOpenFileName(dialogParent(*this), request.title, startPath(request), request.filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtPrompts::saveFile(const FileDialogRequest& request)
{
    SaveFileDialog dialog(dialogParent(*this), request.title, request.startFolder, request.filter);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(startPath(request));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return withFilterSuffix(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
}

std::optional<int> QtPrompts::chooseColor(int startColor)
{
    const QColor start(startColor & 0xFF, (startColor >> 8) & 0xFF, (startColor >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, dialogParent(*this));
    if (!chosen.isValid())
        return std::nullopt;
    return chosen.red() + 256 * chosen.green() + 65536 * chosen.blue();
}

} // namespace miratos::platform
