#include "app/map_snapshot_ui.h"

#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "state/saved_map.h"
#include "cli/render_command.h"
#include "platform/prompts.h"

#include <QApplication>

namespace miratos::app {

namespace {
// The window of a saved map (its choices, the options' mode and areas over them), drawn off screen.
std::variant<QImage, QString> snapshotSavedMap(const cli::SnapshotOptions& options, QStringList& warnings)
{
    QStringList problems;
    auto read = state::readSavedMap(options.map, problems);
    if (!read)
        return read.error();
    state::SavedMap map = std::move(*read);
    if (!options.mode.isEmpty())
        map.mode = options.mode;
    if (!options.prefs.isEmpty())
        map.prefs = options.prefs;
    if (!options.districts.isEmpty())
        map.districts = options.districts;
    platform::ScopedScriptedPrompts quiet;
    frmMain* window = frmMain::openSavedMap(
        std::move(map), problems, nullptr, [](frmMain& w) { w.setAttribute(Qt::WA_DontShowOnScreen); },
        [&options](frmMain& w) {
            if (!options.size.isEmpty())
                w.resize(options.size);
            QApplication::processEvents();
        });
    QApplication::processEvents();
    for (const auto& record : quiet.records())
        warnings << record.text;
    if (!window)
        return warnings.isEmpty() ? QStringLiteral("the saved map names nothing to draw") : warnings.takeLast();
    const QImage image = window->grab().toImage();
    window->hide();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    delete window;
    return image;
}
} // namespace

std::variant<QImage, QString> snapshotMapWindow(const cli::SnapshotOptions& options, QStringList& warnings)
{
    if (!options.map.isEmpty())
        return snapshotSavedMap(options, warnings);
    state::resetMdlMain();
    frmMain::setAutoLoad(false);
    auto* window = new frmMain;
    if (const auto problem = cli::applyMapChoices(options.mode, options.prefs, options.districts, state::mdlMain(),
                                                  window->tables().lvwTikuColor)) {
        delete window;
        return *problem;
    }
    window->setAttribute(Qt::WA_DontShowOnScreen);
    window->show();
    if (!options.size.isEmpty())
        window->resize(options.size);
    QApplication::processEvents();
    // Problems of the data would be shown in a message box: the picture is taken without them.
    platform::ScopedScriptedPrompts quiet;
    window->初期化();
    QApplication::processEvents();
    for (const auto& record : quiet.records())
        warnings << record.text;
    const QImage image = window->grab().toImage();
    window->hide();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    delete window;
    return image;
}

} // namespace miratos::app
