#include "platform/program_end_ui.h"

#include <QApplication>

namespace miratos::platform {
namespace {
std::function<void()>& programEnd()
{
    static std::function<void()> end;
    return end;
}
} // namespace

void endProgram()
{
    if (programEnd()) {
        programEnd()();
        return;
    }
    QApplication::closeAllWindows();
    QApplication::quit();
}

void setProgramEnd(std::function<void()> end)
{
    programEnd() = std::move(end);
}

} // namespace miratos::platform
