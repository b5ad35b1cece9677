#include "platform/prompts.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace miratos::platform {
namespace {
Prompts* g_prompts = nullptr;
ScriptedPrompts& fallback()
{
    static ScriptedPrompts prompts;
    return prompts;
}
MsgAnswer firstButton(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    case MsgButtons::RetryCancel:
        return MsgAnswer::Retry;
    default:
        return MsgAnswer::Ok;
    }
}
} // namespace

Prompts& prompts()
{
    return g_prompts ? *g_prompts : fallback();
}

void setPrompts(Prompts* prompts)
{
    g_prompts = prompts;
}

void warn(const QString& title, const QString& text)
{
    prompts().message(MsgIcon::Exclamation, MsgButtons::Ok, title, text);
}

QString filterSuffix(const QString& filterEntry)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
    const auto match = pattern.match(filterEntry);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString withFilterSuffix(const QString& path, const QString& filterEntry)
{
    const QString suffix = filterSuffix(filterEntry);
    if (path.isEmpty() || suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + suffix;
}

void ScriptedPrompts::clear()
{
    m_records.clear();
    m_answers.clear();
}

template <class T>
std::optional<T> ScriptedPrompts::take()
{
    std::optional<T> value;
    if (!m_answers.empty()) {
        if (const T* front = std::get_if<T>(&m_answers.front())) {
            value.emplace(*front);
            m_answers.pop_front();
        }
    }
    return value;
}

MsgAnswer ScriptedPrompts::message(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text)
{
    m_records.push_back({Kind::Message, icon, buttons, title, text, {}});
    return take<MsgAnswer>().value_or(firstButton(buttons));
}

std::optional<QString> ScriptedPrompts::input(const QString& title, const QString& prompt, const QString&)
{
    m_records.push_back({Kind::Input, MsgIcon::None, MsgButtons::OkCancel, title, prompt, {}});
    return take<std::optional<QString>>().value_or(std::nullopt);
}

std::optional<QString> ScriptedPrompts::openFile(const FileDialogRequest& request)
{
    m_records.push_back({Kind::OpenFile, MsgIcon::None, MsgButtons::OkCancel, request.title, request.filter, request});
    return take<std::optional<QString>>().value_or(std::nullopt);
}

std::optional<QString> ScriptedPrompts::saveFile(const FileDialogRequest& request)
{
    m_records.push_back({Kind::SaveFile, MsgIcon::None, MsgButtons::OkCancel, request.title, request.filter, request});
    return take<std::optional<QString>>().value_or(std::nullopt);
}

std::optional<int> ScriptedPrompts::chooseColor(int)
{
    m_records.push_back({Kind::Color, MsgIcon::None, MsgButtons::OkCancel, {}, {}, {}});
    return take<std::optional<int>>().value_or(std::nullopt);
}

} // namespace miratos::platform
