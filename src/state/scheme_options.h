#pragma once
// The ranking's colour settings beyond the specified dialog, kept together so that whatever
// stores a map can store them; the defaults are the specified behaviour.
#include <QString>
#include <cstdint>

namespace miratos::state {

// Light grey (217, 217, 217) for regions without a number (non-numeric, secret or unmatched).
constexpr int32_t kNoDataGrey = 217 + 256 * 217 + 65536 * 217;

struct SchemeOptions {
    QString scheme;          // a published scheme's name (color_schemes.h); empty: the hue series of the list
    bool centred = false;    // diverging schemes: colours centred on `centre`
    double centre = 0;
    bool noDataGrey = false; // regions without a number grey, with a legend row "データなし"
    bool niceBreaks = false; // class bounds rounded to 1, 2, 2.5 or 5 × 10^k
};

} // namespace miratos::state
