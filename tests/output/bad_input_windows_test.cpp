// Hostile input met through the map window's own readers: each row writes one bad file, reads
// it, and checks the message, that no file that existed before changed and that nothing was
// written outside the app folder. The README's "Bad input" section lists the same rows.
#include "bad_input_support.h"

using namespace bad_input;

namespace {

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        // 施設取込: a position that is not a number is skipped and named, not placed at 0°.
        {"FacilityCsvPositionNotANumber",
         [](B& b) {
             auto read = store::readFacilityCsv(b.in("施設.csv", cp932({"大分類,小分類,名称,定員,住所,,経度,緯度",
                                                                        "学校,大学,Ｘ,1,備考,,東経134,34.3",
                                                                        "学校,大学,Ｙ,2,備考,,134.1,34.1"})));
             if (read && read->rows.size() != 1)
                 return QStringLiteral("%1 facilities read").arg(read->rows.size());
             return read ? read->problem : read.error();
         },
         "1 行を読み飛ばしました（最初は 2 行目「学校,大学,Ｘ,1,備考,,東経134,34.3」）"},
    };
    return table;
}

MIRATOS_BAD_INPUT_TABLE(BadInputWindowsTable);

} // namespace
