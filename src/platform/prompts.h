#pragma once
// Every message box, input box, file dialog and colour dialog goes through this interface, so
// windows can be driven by tests with scripted answers (ScriptedPrompts) and by users with Qt's
// dialogs (QtPrompts, in the UI library).
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <variant>
#include <vector>

class QWidget;

namespace miratos::platform {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

struct FileDialogRequest {
    QString title;
    QString filter;      // "説明 (*.csv)" entries separated by ";;"
    QString startFolder;
    QString proposedName;
    bool confirmOverwrite = true; // save dialogs only
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual MsgAnswer message(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text) = 0;
    // A question whose default (Enter) button is given, for questions where the safe answer is No.
    virtual MsgAnswer ask(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text, MsgAnswer defaultButton)
    {
        (void)defaultButton;
        return message(icon, buttons, title, text);
    }
    // Nothing when the user cancelled.
    virtual std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) = 0;
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    // Several existing files at once; by default the one file openFile gives.
    virtual std::optional<QStringList> openFiles(const FileDialogRequest& request)
    {
        if (auto file = openFile(request))
            return QStringList{*file};
        return std::nullopt;
    }
    // A colour value (R + 256 G + 65536 B), or nothing when cancelled.
    virtual std::optional<int> chooseColor(int startColor) = 0;
    // The window dialogs are shown over; implementations may ignore it.
    void setParentWindow(QWidget* parent) { m_parent = parent; }
    QWidget* parentWindow() const { return m_parent; }

private:
    QWidget* m_parent = nullptr;
};

// The prompts in use. Defaults to a ScriptedPrompts that answers everything with its defaults
// until the UI installs QtPrompts.
Prompts& prompts();
// Installs prompts (not owned); nullptr restores the default.
void setPrompts(Prompts* prompts);

// The usual warning: exclamation icon, an OK button.
void warn(const QString& title, const QString& text);

// The extension of a dialog filter entry: "bmp" for "ビットマップ (*.bmp)"; empty for "*" or "*.*".
QString filterSuffix(const QString& filterEntry);
// The path with the filter's extension appended when the typed name has none.
QString withFilterSuffix(const QString& path, const QString& filterEntry);

// Records every prompt and answers from a queue; an empty queue gives Ok for messages (or the
// first button) and "cancelled" for the other dialogs.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Color };
    struct Record {
        Kind kind;
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        QString title;
        QString text; // message text, input prompt, or file dialog filter
        FileDialogRequest request;
    };
    using Answer = std::variant<MsgAnswer, std::optional<QString>, std::optional<int>>;

    void queue(Answer answer) { m_answers.push_back(std::move(answer)); }
    void queueText(const QString& text) { queue(std::optional<QString>(text)); }
    void queueCancel() { queue(std::optional<QString>()); }
    void queueColor(int color) { queue(std::optional<int>(color)); }

    const std::vector<Record>& records() const { return m_records; }
    const Record& last() const { return m_records.back(); }
    void clear();

    MsgAnswer message(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) override;
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<int> chooseColor(int startColor) override;

private:
    template <class T>
    std::optional<T> take();
    std::vector<Record> m_records;
    std::deque<Answer> m_answers;
};

// Installs a ScriptedPrompts for the lifetime of the object (tests).
class ScopedScriptedPrompts : public ScriptedPrompts {
public:
    ScopedScriptedPrompts() { setPrompts(this); }
    ~ScopedScriptedPrompts() override { setPrompts(nullptr); }
    ScopedScriptedPrompts(const ScopedScriptedPrompts&) = delete;
    ScopedScriptedPrompts& operator=(const ScopedScriptedPrompts&) = delete;
};

} // namespace miratos::platform
