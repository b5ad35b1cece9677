#include "app/windows_ui.h"

#include "app/frm_main.h"
#include "convert/frm_change.h"
#include "convert/frm_change_c.h"
#include "games/frm_fighter.h"
#include "games/frm_get_country.h"
#include "app/frm_menu.h"
#include "imports/frm_import.h"

namespace miratos::app {

QWidget* openTopLevelWindow(const QString& windowName)
{
    QWidget* window = nullptr;
    if (windowName == QLatin1String("frmMain"))
        window = new frmMain;
    else if (windowName == QLatin1String("frmChange_P"))
        window = new convert::frmChange_P;
    else if (windowName == QLatin1String("frmChange_J"))
        window = new convert::frmChange_J;
    else if (windowName == QLatin1String("frmChange_C"))
        window = new convert::frmChange_C;
    else if (windowName == QLatin1String("frmImport")) {
        // Unlike the other windows, closing this one returns to the launcher.
        auto* import = new imports::frmImport;
        import->setOnClose([] { (new frmMenu)->show(); });
        window = import;
    } else if (windowName == QLatin1String("frmFighter"))
        window = new games::frmFighter;
    else if (windowName == QLatin1String("frmGetCountry"))
        window = new games::frmGetCountry;
    if (window)
        window->show();
    return window;
}

} // namespace miratos::app
