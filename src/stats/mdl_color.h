#pragma once
// The colour routine of the ranking: hue, saturation and luminance on the 0..240 scale to a
// colour value (R + 256·G + 65536·B), in double precision.
namespace miratos::stats {

// -1 when any argument exceeds 240 (or is negative).
int hls(double hue, double saturation, double luminance);

} // namespace miratos::stats
