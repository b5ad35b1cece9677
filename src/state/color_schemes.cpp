// Colour data:
// ColorBrewer 2.0 colour schemes, Copyright (c) 2002 Cynthia A. Brewer, Mark Harrower and The
// Pennsylvania State University, licensed under the Apache License, Version 2.0
// (http://www.apache.org/licenses/LICENSE-2.0): the per-class tables below are its published values.
// viridis and cividis: matplotlib's colormaps (Stéfan van der Walt, Nathaniel Smith; Jamie Nuñez,
// Christopher Anderton, Ryan Renslow), released under CC0; below are published entries of the
// 256-entry tables at the given indices, interpolated between.
#include "state/color_schemes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace miratos::state {
namespace {

// tables[k - 3] holds the published colours of k classes (0xRRGGBB).
using Table = std::vector<std::vector<uint32_t>>;

const Table kBlues = {
    {0xdeebf7, 0x9ecae1, 0x3182bd},
    {0xeff3ff, 0xbdd7e7, 0x6baed6, 0x2171b5},
    {0xeff3ff, 0xbdd7e7, 0x6baed6, 0x3182bd, 0x08519c},
    {0xeff3ff, 0xc6dbef, 0x9ecae1, 0x6baed6, 0x3182bd, 0x08519c},
    {0xeff3ff, 0xc6dbef, 0x9ecae1, 0x6baed6, 0x4292c6, 0x2171b5, 0x084594},
    {0xf7fbff, 0xdeebf7, 0xc6dbef, 0x9ecae1, 0x6baed6, 0x4292c6, 0x2171b5, 0x084594},
    {0xf7fbff, 0xdeebf7, 0xc6dbef, 0x9ecae1, 0x6baed6, 0x4292c6, 0x2171b5, 0x08519c, 0x08306b},
};
const Table kGreens = {
    {0xe5f5e0, 0xa1d99b, 0x31a354},
    {0xedf8e9, 0xbae4b3, 0x74c476, 0x238b45},
    {0xedf8e9, 0xbae4b3, 0x74c476, 0x31a354, 0x006d2c},
    {0xedf8e9, 0xc7e9c0, 0xa1d99b, 0x74c476, 0x31a354, 0x006d2c},
    {0xedf8e9, 0xc7e9c0, 0xa1d99b, 0x74c476, 0x41ab5d, 0x238b45, 0x005a32},
    {0xf7fcf5, 0xe5f5e0, 0xc7e9c0, 0xa1d99b, 0x74c476, 0x41ab5d, 0x238b45, 0x005a32},
    {0xf7fcf5, 0xe5f5e0, 0xc7e9c0, 0xa1d99b, 0x74c476, 0x41ab5d, 0x238b45, 0x006d2c, 0x00441b},
};
const Table kOranges = {
    {0xfee6ce, 0xfdae6b, 0xe6550d},
    {0xfeedde, 0xfdbe85, 0xfd8d3c, 0xd94701},
    {0xfeedde, 0xfdbe85, 0xfd8d3c, 0xe6550d, 0xa63603},
    {0xfeedde, 0xfdd0a2, 0xfdae6b, 0xfd8d3c, 0xe6550d, 0xa63603},
    {0xfeedde, 0xfdd0a2, 0xfdae6b, 0xfd8d3c, 0xf16913, 0xd94801, 0x8c2d04},
    {0xfff5eb, 0xfee6ce, 0xfdd0a2, 0xfdae6b, 0xfd8d3c, 0xf16913, 0xd94801, 0x8c2d04},
    {0xfff5eb, 0xfee6ce, 0xfdd0a2, 0xfdae6b, 0xfd8d3c, 0xf16913, 0xd94801, 0xa63603, 0x7f2704},
};
const Table kPurples = {
    {0xefedf5, 0xbcbddc, 0x756bb1},
    {0xf2f0f7, 0xcbc9e2, 0x9e9ac8, 0x6a51a3},
    {0xf2f0f7, 0xcbc9e2, 0x9e9ac8, 0x756bb1, 0x54278f},
    {0xf2f0f7, 0xdadaeb, 0xbcbddc, 0x9e9ac8, 0x756bb1, 0x54278f},
    {0xf2f0f7, 0xdadaeb, 0xbcbddc, 0x9e9ac8, 0x807dba, 0x6a51a3, 0x4a1486},
    {0xfcfbfd, 0xefedf5, 0xdadaeb, 0xbcbddc, 0x9e9ac8, 0x807dba, 0x6a51a3, 0x4a1486},
    {0xfcfbfd, 0xefedf5, 0xdadaeb, 0xbcbddc, 0x9e9ac8, 0x807dba, 0x6a51a3, 0x54278f, 0x3f007d},
};
const Table kReds = {
    {0xfee0d2, 0xfc9272, 0xde2d26},
    {0xfee5d9, 0xfcae91, 0xfb6a4a, 0xcb181d},
    {0xfee5d9, 0xfcae91, 0xfb6a4a, 0xde2d26, 0xa50f15},
    {0xfee5d9, 0xfcbba1, 0xfc9272, 0xfb6a4a, 0xde2d26, 0xa50f15},
    {0xfee5d9, 0xfcbba1, 0xfc9272, 0xfb6a4a, 0xef3b2c, 0xcb181d, 0x99000d},
    {0xfff5f0, 0xfee0d2, 0xfcbba1, 0xfc9272, 0xfb6a4a, 0xef3b2c, 0xcb181d, 0x99000d},
    {0xfff5f0, 0xfee0d2, 0xfcbba1, 0xfc9272, 0xfb6a4a, 0xef3b2c, 0xcb181d, 0xa50f15, 0x67000d},
};
const Table kYlOrRd = {
    {0xffeda0, 0xfeb24c, 0xf03b20},
    {0xffffb2, 0xfecc5c, 0xfd8d3c, 0xe31a1c},
    {0xffffb2, 0xfecc5c, 0xfd8d3c, 0xf03b20, 0xbd0026},
    {0xffffb2, 0xfed976, 0xfeb24c, 0xfd8d3c, 0xf03b20, 0xbd0026},
    {0xffffb2, 0xfed976, 0xfeb24c, 0xfd8d3c, 0xfc4e2a, 0xe31a1c, 0xb10026},
    {0xffffcc, 0xffeda0, 0xfed976, 0xfeb24c, 0xfd8d3c, 0xfc4e2a, 0xe31a1c, 0xb10026},
    {0xffffcc, 0xffeda0, 0xfed976, 0xfeb24c, 0xfd8d3c, 0xfc4e2a, 0xe31a1c, 0xbd0026, 0x800026},
};
const Table kYlGnBu = {
    {0xedf8b1, 0x7fcdbb, 0x2c7fb8},
    {0xffffcc, 0xa1dab4, 0x41b6c4, 0x225ea8},
    {0xffffcc, 0xa1dab4, 0x41b6c4, 0x2c7fb8, 0x253494},
    {0xffffcc, 0xc7e9b4, 0x7fcdbb, 0x41b6c4, 0x2c7fb8, 0x253494},
    {0xffffcc, 0xc7e9b4, 0x7fcdbb, 0x41b6c4, 0x1d91c0, 0x225ea8, 0x0c2c84},
    {0xffffd9, 0xedf8b1, 0xc7e9b4, 0x7fcdbb, 0x41b6c4, 0x1d91c0, 0x225ea8, 0x0c2c84},
    {0xffffd9, 0xedf8b1, 0xc7e9b4, 0x7fcdbb, 0x41b6c4, 0x1d91c0, 0x225ea8, 0x253494, 0x081d58},
};
const Table kRdBu = {
    {0xef8a62, 0xf7f7f7, 0x67a9cf},
    {0xca0020, 0xf4a582, 0x92c5de, 0x0571b0},
    {0xca0020, 0xf4a582, 0xf7f7f7, 0x92c5de, 0x0571b0},
    {0xb2182b, 0xef8a62, 0xfddbc7, 0xd1e5f0, 0x67a9cf, 0x2166ac},
    {0xb2182b, 0xef8a62, 0xfddbc7, 0xf7f7f7, 0xd1e5f0, 0x67a9cf, 0x2166ac},
    {0xb2182b, 0xd6604d, 0xf4a582, 0xfddbc7, 0xd1e5f0, 0x92c5de, 0x4393c3, 0x2166ac},
    {0xb2182b, 0xd6604d, 0xf4a582, 0xfddbc7, 0xf7f7f7, 0xd1e5f0, 0x92c5de, 0x4393c3, 0x2166ac},
    {0x67001f, 0xb2182b, 0xd6604d, 0xf4a582, 0xfddbc7, 0xd1e5f0, 0x92c5de, 0x4393c3, 0x2166ac, 0x053061},
    {0x67001f, 0xb2182b, 0xd6604d, 0xf4a582, 0xfddbc7, 0xf7f7f7, 0xd1e5f0, 0x92c5de, 0x4393c3, 0x2166ac, 0x053061},
};
const Table kPuOr = {
    {0xf1a340, 0xf7f7f7, 0x998ec3},
    {0xe66101, 0xfdb863, 0xb2abd2, 0x5e3c99},
    {0xe66101, 0xfdb863, 0xf7f7f7, 0xb2abd2, 0x5e3c99},
    {0xb35806, 0xf1a340, 0xfee0b6, 0xd8daeb, 0x998ec3, 0x542788},
    {0xb35806, 0xf1a340, 0xfee0b6, 0xf7f7f7, 0xd8daeb, 0x998ec3, 0x542788},
    {0xb35806, 0xe08214, 0xfdb863, 0xfee0b6, 0xd8daeb, 0xb2abd2, 0x8073ac, 0x542788},
    {0xb35806, 0xe08214, 0xfdb863, 0xfee0b6, 0xf7f7f7, 0xd8daeb, 0xb2abd2, 0x8073ac, 0x542788},
    {0x7f3b08, 0xb35806, 0xe08214, 0xfdb863, 0xfee0b6, 0xd8daeb, 0xb2abd2, 0x8073ac, 0x542788, 0x2d004b},
    {0x7f3b08, 0xb35806, 0xe08214, 0xfdb863, 0xfee0b6, 0xf7f7f7, 0xd8daeb, 0xb2abd2, 0x8073ac, 0x542788, 0x2d004b},
};
const Table kBrBG = {
    {0xd8b365, 0xf5f5f5, 0x5ab4ac},
    {0xa6611a, 0xdfc27d, 0x80cdc1, 0x018571},
    {0xa6611a, 0xdfc27d, 0xf5f5f5, 0x80cdc1, 0x018571},
    {0x8c510a, 0xd8b365, 0xf6e8c3, 0xc7eae5, 0x5ab4ac, 0x01665e},
    {0x8c510a, 0xd8b365, 0xf6e8c3, 0xf5f5f5, 0xc7eae5, 0x5ab4ac, 0x01665e},
    {0x8c510a, 0xbf812d, 0xdfc27d, 0xf6e8c3, 0xc7eae5, 0x80cdc1, 0x35978f, 0x01665e},
    {0x8c510a, 0xbf812d, 0xdfc27d, 0xf6e8c3, 0xf5f5f5, 0xc7eae5, 0x80cdc1, 0x35978f, 0x01665e},
    {0x543005, 0x8c510a, 0xbf812d, 0xdfc27d, 0xf6e8c3, 0xc7eae5, 0x80cdc1, 0x35978f, 0x01665e, 0x003c30},
    {0x543005, 0x8c510a, 0xbf812d, 0xdfc27d, 0xf6e8c3, 0xf5f5f5, 0xc7eae5, 0x80cdc1, 0x35978f, 0x01665e, 0x003c30},
};
const Table kRdYlBu = {
    {0xfc8d59, 0xffffbf, 0x91bfdb},
    {0xd7191c, 0xfdae61, 0xabd9e9, 0x2c7bb6},
    {0xd7191c, 0xfdae61, 0xffffbf, 0xabd9e9, 0x2c7bb6},
    {0xd73027, 0xfc8d59, 0xfee090, 0xe0f3f8, 0x91bfdb, 0x4575b4},
    {0xd73027, 0xfc8d59, 0xfee090, 0xffffbf, 0xe0f3f8, 0x91bfdb, 0x4575b4},
    {0xd73027, 0xf46d43, 0xfdae61, 0xfee090, 0xe0f3f8, 0xabd9e9, 0x74add1, 0x4575b4},
    {0xd73027, 0xf46d43, 0xfdae61, 0xfee090, 0xffffbf, 0xe0f3f8, 0xabd9e9, 0x74add1, 0x4575b4},
    {0xa50026, 0xd73027, 0xf46d43, 0xfdae61, 0xfee090, 0xe0f3f8, 0xabd9e9, 0x74add1, 0x4575b4, 0x313695},
    {0xa50026, 0xd73027, 0xf46d43, 0xfdae61, 0xfee090, 0xffffbf, 0xe0f3f8, 0xabd9e9, 0x74add1, 0x4575b4, 0x313695},
};
const std::vector<uint32_t> kSet2 = {0x66c2a5, 0xfc8d62, 0x8da0cb, 0xe78ac3, 0xa6d854, 0xffd92f, 0xe5c494, 0xb3b3b3};
const std::vector<uint32_t> kPaired = {0xa6cee3, 0x1f78b4, 0xb2df8a, 0x33a02c, 0xfb9a99, 0xe31a1c, 0xfdbf6f, 0xff7f00, 0xcab2d6, 0x6a3d9a, 0xffff99, 0xb15928};

struct Sample {
    int index; // entry of the 256-entry colormap
    uint32_t rgb;
};

// Every 8th entry and the last one.
const std::vector<Sample> kViridis = {
    {0, 0x440154}, {8, 0x470d60}, {16, 0x48186a}, {24, 0x482374}, {32, 0x472d7b}, {40, 0x453781}, {48, 0x424086},
    {56, 0x3e4989}, {64, 0x3b528b}, {72, 0x375b8d}, {80, 0x33638d}, {88, 0x2f6b8e}, {96, 0x2c728e}, {104, 0x297a8e},
    {112, 0x26828e}, {120, 0x23898e}, {128, 0x21918c}, {136, 0x1f988b}, {144, 0x1fa088}, {152, 0x22a785},
    {160, 0x28ae80}, {168, 0x32b67a}, {176, 0x3fbc73}, {184, 0x4ec36b}, {192, 0x5ec962}, {200, 0x70cf57},
    {208, 0x84d44b}, {216, 0x98d83e}, {224, 0xaddc30}, {232, 0xc2df23}, {240, 0xd8e219}, {248, 0xece51b},
    {255, 0xfde725},
};
// The entries a tenfold sampling of the colormap picks.
const std::vector<Sample> kCividis = {
    {0, 0x00224e}, {28, 0x123570}, {56, 0x3b496c}, {85, 0x575d6d}, {113, 0x707173},
    {142, 0x8a8678}, {170, 0xa59c74}, {199, 0xc3b369}, {227, 0xe1cc55}, {255, 0xfee838},
};

struct Entry {
    SchemeInfo info;
    const Table* table = nullptr;                // ColorBrewer sequential and diverging
    const std::vector<uint32_t>* colors = nullptr; // qualitative
    const std::vector<Sample>* samples = nullptr;  // matplotlib colormaps
};

// Colour-blind safety as ColorBrewer and the colormaps' authors give it.
const std::vector<Entry>& entries()
{
    constexpr int all = 99;
    static const std::vector<Entry> list = {
        {{QStringLiteral("Blues"), SchemeKind::Sequential, all}, &kBlues},
        {{QStringLiteral("Greens"), SchemeKind::Sequential, all}, &kGreens},
        {{QStringLiteral("Oranges"), SchemeKind::Sequential, all}, &kOranges},
        {{QStringLiteral("Purples"), SchemeKind::Sequential, all}, &kPurples},
        {{QStringLiteral("Reds"), SchemeKind::Sequential, all}, &kReds},
        {{QStringLiteral("YlOrRd"), SchemeKind::Sequential, all}, &kYlOrRd},
        {{QStringLiteral("YlGnBu"), SchemeKind::Sequential, all}, &kYlGnBu},
        {{QStringLiteral("viridis"), SchemeKind::Sequential, all}, nullptr, nullptr, &kViridis},
        {{QStringLiteral("cividis"), SchemeKind::Sequential, all}, nullptr, nullptr, &kCividis},
        {{QStringLiteral("RdBu"), SchemeKind::Diverging, all}, &kRdBu},
        {{QStringLiteral("PuOr"), SchemeKind::Diverging, all}, &kPuOr},
        {{QStringLiteral("BrBG"), SchemeKind::Diverging, all}, &kBrBG},
        {{QStringLiteral("RdYlBu"), SchemeKind::Diverging, all}, &kRdYlBu},
        {{QStringLiteral("Set2"), SchemeKind::Qualitative, 3}, nullptr, &kSet2},
        {{QStringLiteral("Paired"), SchemeKind::Qualitative, 4}, nullptr, &kPaired},
    };
    return list;
}

const Entry* findEntry(const QString& name)
{
    for (const Entry& e : entries()) {
        if (e.info.name == name)
            return &e;
    }
    return nullptr;
}

// 0xRRGGBB to the colour value, red in the low byte.
int toValue(uint32_t rgb)
{
    return rgbColor(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xff), static_cast<int>(rgb & 0xff));
}

uint32_t mix(uint32_t a, uint32_t b, double t)
{
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const double ca = (a >> shift) & 0xff;
        const double cb = (b >> shift) & 0xff;
        out |= static_cast<uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// The colour at t in 0..1 along colours spaced evenly.
uint32_t along(const std::vector<uint32_t>& colors, double t)
{
    const double pos = t * static_cast<double>(colors.size() - 1);
    const size_t i = std::min(static_cast<size_t>(pos), colors.size() - 2);
    return mix(colors[i], colors[i + 1], pos - static_cast<double>(i));
}

// The entry a colormap lookup picks for t in 0..1 (as matplotlib does: ⌊256·t⌋, the last for 1),
// interpolated between the samples.
uint32_t alongSamples(const std::vector<Sample>& samples, double t)
{
    const double index = std::min(std::floor(t * 256), 255.0);
    size_t i = 0;
    while (i + 2 < samples.size() && samples[i + 1].index <= index)
        ++i;
    const Sample& a = samples[i];
    const Sample& b = samples[i + 1];
    return mix(a.rgb, b.rgb, (index - a.index) / (b.index - a.index));
}

QVector<int> spread(int n, const std::function<uint32_t(double)>& at)
{
    QVector<int> out;
    for (int i = 0; i < n; ++i)
        out.append(toValue(at(n == 1 ? 0.5 : static_cast<double>(i) / (n - 1))));
    return out;
}

} // namespace

const std::vector<SchemeInfo>& colorSchemes()
{
    static const std::vector<SchemeInfo> list = [] {
        std::vector<SchemeInfo> out;
        for (const Entry& e : entries())
            out.push_back(e.info);
        return out;
    }();
    return list;
}

const SchemeInfo* findScheme(const QString& name)
{
    const Entry* e = findEntry(name);
    return e ? &e->info : nullptr;
}

QString schemeListText(const SchemeInfo& scheme)
{
    if (scheme.safeUpTo >= 99)
        return scheme.name + QStringLiteral("（色覚配慮）");
    if (scheme.safeUpTo > 0)
        return scheme.name + QStringLiteral("（%1色まで色覚配慮）").arg(scheme.safeUpTo);
    return scheme.name;
}

QVector<int> schemeColors(const QString& name, int n)
{
    const Entry* e = findEntry(name);
    if (!e || n < 1)
        return {};
    if (e->samples)
        return spread(n, [e](double t) { return alongSamples(*e->samples, t); });
    if (e->colors) {
        QVector<int> out;
        for (int i = 0; i < n; ++i)
            out.append(toValue((*e->colors)[static_cast<size_t>(i) % e->colors->size()]));
        return out;
    }
    const Table& table = *e->table;
    if (n >= 3 && static_cast<size_t>(n - 3) < table.size()) {
        QVector<int> out;
        for (uint32_t rgb : table[static_cast<size_t>(n - 3)])
            out.append(toValue(rgb));
        return out;
    }
    return spread(n, [&table](double t) { return along(table.back(), t); });
}

QVector<int> centredColors(const QString& name, const QVector<float>& lower, const QVector<float>& upper, double centre)
{
    const qsizetype n = std::min(lower.size(), upper.size());
    int below = 0, above = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (upper[i] <= centre)
            ++below;
        else if (lower[i] >= centre)
            ++above;
    }
    // An odd ramp wide enough for the longer side, its middle the neutral colour: ColorBrewer's
    // even tables are its odd ones without the middle, so without a middle rank it is skipped.
    const int side = std::max(below, above);
    const QVector<int> ramp = schemeColors(name, 2 * side + 1);
    if (ramp.isEmpty())
        return {};
    QVector<int> out;
    int b = 0, a = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (upper[i] <= centre)
            out.append(ramp.value(side - below + b++));
        else if (lower[i] >= centre)
            out.append(ramp.value(side + 1 + a++));
        else
            out.append(ramp.value(side));
    }
    return out;
}

} // namespace miratos::state
