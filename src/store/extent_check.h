#pragma once
// An extent that can make a map: west not east of east, south not north of north, and every side
// a longitude or latitude of the globe. A reader refuses any other before a window scales by it.
#include <QString>

namespace miratos::store {

// Why the extent makes no map ("西端 140 が東端 139 より大きい範囲です"), or empty when it does.
QString extentProblem(double west, double east, double south, double north);

} // namespace miratos::store
