// The table of what was painted (render --table-out) from hostile region names and into a place
// that cannot be written.
#include "bad_input_support.h"

#include "cli/render_command.h"

using namespace bad_input;

namespace {

// Renders Japan with the given own table and --table-out; the message, or empty on success.
QString renderTable(Sandbox& b, const QStringList& lines, const QString& table)
{
    const QString own = b.in(QStringLiteral("own.csv"), cp932(lines));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const int code = cli::runRenderCommand({QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--pref"), QStringLiteral("東京都"),
                                            QStringLiteral("--own-data"), own, QStringLiteral("--column"), QStringLiteral("人口"),
                                            QStringLiteral("--table-out"), table, QStringLiteral("--out"), b.app(QStringLiteral("x.png"))},
                                           out, err);
    return code == 0 ? QString() : errText.trimmed();
}

const std::vector<BadInput>& rows()
{
    static const std::vector<BadInput> table = {
        {"table_out_into_a_folder_that_does_not_exist",
         [](Sandbox& b) {
             return renderTable(b, {QStringLiteral("Code,地区名,人口"), QStringLiteral("13101,千代田区,1")}, b.app(QStringLiteral("none/table.csv")));
         },
         "table.csv に書き込めません"},
    };
    return table;
}

} // namespace

MIRATOS_BAD_INPUT_TABLE(BadInputSymbols);
