#pragma once
// Prompts shown with Qt's standard dialogs.
#include "platform/prompts.h"

namespace miratos::platform {

class QtPrompts : public Prompts {
public:
    MsgAnswer message(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text) override;
    MsgAnswer ask(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text, MsgAnswer defaultButton) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial) override;
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QStringList> openFiles(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<int> chooseColor(int startColor) override;
};

} // namespace miratos::platform
