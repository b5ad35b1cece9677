#pragma once
// The prefecture folder names of Init.ini's [Pref] section, checked before anything reads or
// writes a prefecture folder: a name that is not one folder under MapData ("..", "a/b") or two
// codes naming one folder would make one prefecture's files land on another's.
#include "platform/result.h"

#include <QString>

namespace miratos::state {

// Refuses, naming Init.ini and the codes, a [Pref] value that is not a plain folder name or a
// folder named by two codes (compared without case, as Windows folders are). A missing code
// stands for the prefecture's own name, the folder the imports then use.
Status checkPrefectureFolders(const QString& initIni);

} // namespace miratos::state
