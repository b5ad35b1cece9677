#include "app/map_snapshot_ui.h"

#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "cli/render_command.h"
#include "platform/prompts.h"

#include <QApplication>

namespace miratos::app {

std::variant<QImage, QString> snapshotMapWindow(const cli::SnapshotOptions& options, QStringList& warnings)
{
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
