#include "app/windows_ui.h"

#include "app/frm_main.h"
#include "convert/frm_change.h"
#include "convert/frm_change_c.h"
#include "games/frm_fighter.h"
#include "games/frm_get_country.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace miratos::app {
namespace {

// A window whose real content comes later: it says so, and closing it ends the program like
// the real window will.
class PendingWindow : public QWidget {
public:
    PendingWindow(const QString& name, const QString& title)
    {
        setObjectName(name);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(title + QStringLiteral("（準備中）"));
        auto* label = new QLabel(QStringLiteral("この画面は準備中です。次の版でお使いいただけます。"), this);
        label->setObjectName(QStringLiteral("lblPending"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
        resize(420, 160);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        QApplication::quit();
    }
};

} // namespace

QString windowTitleOf(const QString& windowName)
{
    static const QHash<QString, QString> titles = {
        {QStringLiteral("frmMain"), QStringLiteral("都道府県地図")},
        {QStringLiteral("frmChange_P"), QStringLiteral("都道府県データ変換プログラム")},
        {QStringLiteral("frmChange_C"), QStringLiteral("市区町村データ変換プログラム")},
        {QStringLiteral("frmChange_J"), QStringLiteral("全国データ変換プログラム")},
        {QStringLiteral("frmFighter"), QStringLiteral("razorero")},
        {QStringLiteral("frmGetCountry"), QStringLiteral("国盗合戦")},
    };
    return titles.value(windowName);
}

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
    else if (windowName == QLatin1String("frmFighter"))
        window = new games::frmFighter;
    else if (windowName == QLatin1String("frmGetCountry"))
        window = new games::frmGetCountry;
    else
        window = new PendingWindow(windowName, windowTitleOf(windowName));
    window->show();
    return window;
}

} // namespace miratos::app
