#pragma once
// A hint for a file read in one encoding whose bytes suggest the other one: a UTF-8 table where
// CP932 is expected gives headers no one finds, and a message without the hint leaves the user
// guessing.
#include "platform/cp932.h"

#include <QByteArrayView>
#include <QString>

namespace miratos::platform {

// "CP932 として読みました。UTF-8 で保存されたファイルかもしれません" and the like, or empty when
// the bytes give no cause for doubt. used is the encoding the text was decoded in.
QString encodingDoubt(QByteArrayView bytes, TextEncoding used);

} // namespace miratos::platform
