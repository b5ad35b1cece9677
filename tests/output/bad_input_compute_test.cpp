// Computed columns given by render --compute from hostile expressions and names: each is refused
// with its message, nothing is drawn and no file changes.
#include "bad_input_support.h"

#include "cli/render_command.h"

using namespace bad_input;

namespace {

QString renderComputed(Sandbox& b, const QString& spec)
{
    const QString own = b.in(QStringLiteral("own.csv"), cp932({QStringLiteral("Code,地区名,人口(人)"), QStringLiteral("13101,千代田区,1")}));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const int code = cli::runRenderCommand({QStringLiteral("--mode"), QStringLiteral("Pref"),
                                            QStringLiteral("--pref"), QStringLiteral("東京都"), QStringLiteral("--own-data"), own,
                                            QStringLiteral("--compute"), spec, QStringLiteral("--column"), QStringLiteral("x"),
                                            QStringLiteral("--out"), b.app(QStringLiteral("x.png"))},
                                           out, err);
    return code == 0 ? QString() : errText.trimmed();
}

const std::vector<BadInput>& rows()
{
    static const std::vector<BadInput> table = {
        {"compute_nested_four_hundred_parentheses_deep",
         [](Sandbox& b) { return renderComputed(b, QStringLiteral("x=") + QString(400, u'(') + QStringLiteral("1") + QString(400, u')')); },
         "括弧や符号の入れ子が深すぎます（200 段まで）。"},
        {"compute_of_a_hundred_thousand_signs",
         [](Sandbox& b) { return renderComputed(b, QStringLiteral("x=") + QString(100000, u'-') + QStringLiteral("1")); },
         "計算式が長すぎます（1000 文字まで、この式は 100001 文字）。"},
        {"compute_name_with_a_comma_would_shift_the_exported_table",
         [](Sandbox& b) { return renderComputed(b, QStringLiteral("x,y=[人口(人)]")); }, "計算列の名前「x,y」にカンマ、引用符や改行は使えません。"},
    };
    return table;
}

} // namespace

MIRATOS_BAD_INPUT_TABLE(BadInputCompute);
