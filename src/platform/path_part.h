#pragma once
// Names taken from data (Init.ini values, file names, XML texts, CSV cells) become folder and
// file names under MapData only through safePathPart, so that no value can point elsewhere.
#include <QString>

namespace miratos::platform {

// The text as one part of a path: path separators, drive colons, the other characters Windows
// refuses in names (* ? " < > |) and control characters removed, blanks around it trimmed.
// Empty when nothing usable remains or the result is "." or "..". A caller that must not alter
// the name refuses it when the result differs from the text.
QString safePathPart(const QString& text);

} // namespace miratos::platform
