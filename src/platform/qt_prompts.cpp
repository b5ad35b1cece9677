#include "platform/qt_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <functional>

namespace miratos::platform {
namespace {

// A window that is hidden is closing (or not yet shown) and may be deleted while the dialog
// waits; the dialog is never made its child, so it cannot be deleted from under its own exec().
QWidget* openWindow(QWidget* w)
{
    if (!w)
        return nullptr;
    QWidget* window = w->window();
    return window->isVisible() ? window : nullptr;
}

QWidget* dialogParent(const Prompts& prompts)
{
    for (QWidget* candidate : {prompts.parentWindow(), QApplication::activeModalWidget(), QApplication::activeWindow()}) {
        if (QWidget* window = openWindow(candidate))
            return window;
    }
    return nullptr;
}

// Runs a dialog made on the heap and reads it before it is deleted. Should its parent go away
// during exec() and take the dialog with it, nothing is deleted twice and nothing is read.
template <class Dialog>
std::optional<int> runDialog(Dialog* dialog, const std::function<void(Dialog&, int)>& read = {})
{
    QPointer<Dialog> guard(dialog);
    const int result = dialog->exec();
    if (!guard)
        return std::nullopt;
    if (read)
        read(*dialog, result);
    delete dialog;
    return result;
}

// The answer of a box that was taken away before the user answered: the safe button.
MsgAnswer unanswered(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel: return MsgAnswer::Cancel;
    case MsgButtons::Ok: break;
    }
    return MsgAnswer::Ok;
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
    auto* box = new QMessageBox(toQt(icon), title, text, toQt(buttons), dialogParent(*this));
    const std::optional<int> button = runDialog(box);
    return button ? fromQt(*button) : unanswered(buttons);
}

MsgAnswer QtPrompts::ask(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text, MsgAnswer defaultButton)
{
    auto* box = new QMessageBox(toQt(icon), title, text, toQt(buttons), dialogParent(*this));
    const QMessageBox::StandardButton def = defaultButton == MsgAnswer::No       ? QMessageBox::No
                                            : defaultButton == MsgAnswer::Cancel ? QMessageBox::Cancel
                                            : defaultButton == MsgAnswer::Yes    ? QMessageBox::Yes
                                                                                 : QMessageBox::Ok;
    box->setDefaultButton(def);
    const std::optional<int> button = runDialog(box);
    return button ? fromQt(*button) : unanswered(buttons);
}

std::optional<QString> QtPrompts::input(const QString& title, const QString& prompt, const QString& initial)
{
    auto* dialog = new QInputDialog(dialogParent(*this));
    dialog->setWindowTitle(title);
    dialog->setLabelText(prompt);
    dialog->setTextValue(initial);
    std::optional<QString> text;
    runDialog<QInputDialog>(dialog, [&](QInputDialog& d, int result) {
        if (result == QDialog::Accepted)
            text = d.textValue();
    });
    return text;
}

std::optional<QString> QtPrompts::openFile(const FileDialogRequest& request)
{
    auto* dialog = new QFileDialog(dialogParent(*this), request.title, request.startFolder, request.filter);
    dialog->setObjectName(QStringLiteral("openFileDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (!request.proposedName.isEmpty())
        dialog->selectFile(startPath(request));
    std::optional<QString> path;
    runDialog<QFileDialog>(dialog, [&](QFileDialog& d, int result) {
        const QStringList files = d.selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty() && !files.constFirst().isEmpty())
            path = files.constFirst();
    });
    return path;
}

std::optional<QStringList> QtPrompts::openFiles(const FileDialogRequest& request)
{
    auto* dialog = new QFileDialog(dialogParent(*this), request.title, request.startFolder, request.filter);
    dialog->setObjectName(QStringLiteral("openFilesDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    std::optional<QStringList> paths;
    runDialog<QFileDialog>(dialog, [&](QFileDialog& d, int result) {
        const QStringList files = d.selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty())
            paths = files;
    });
    return paths;
}

std::optional<QString> QtPrompts::saveFile(const FileDialogRequest& request)
{
    auto* dialog = new SaveFileDialog(dialogParent(*this), request.title, request.startFolder, request.filter);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.proposedName.isEmpty())
        dialog->selectFile(startPath(request));
    std::optional<QString> path;
    runDialog<SaveFileDialog>(dialog, [&](SaveFileDialog& d, int result) {
        const QStringList files = d.selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty())
            path = withFilterSuffix(files.constFirst(), d.selectedNameFilter());
    });
    return path;
}

std::optional<int> QtPrompts::chooseColor(int startColor)
{
    const QColor start(startColor & 0xFF, (startColor >> 8) & 0xFF, (startColor >> 16) & 0xFF);
    auto* dialog = new QColorDialog(start, dialogParent(*this));
    std::optional<int> value;
    runDialog<QColorDialog>(dialog, [&](QColorDialog& d, int result) {
        const QColor chosen = d.selectedColor();
        if (result == QDialog::Accepted && chosen.isValid())
            value = chosen.red() + 256 * chosen.green() + 65536 * chosen.blue();
    });
    return value;
}

} // namespace miratos::platform
