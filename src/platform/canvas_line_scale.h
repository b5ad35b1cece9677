#pragma once
// Line widths for a map drawn at a finer resolution than its layout (a print-size export): while
// one of these lives, every canvas pen is that many times wider, never a one-pixel hairline.
namespace miratos::platform {

class ScopedLineScale {
public:
    explicit ScopedLineScale(double scale);
    ~ScopedLineScale();
    ScopedLineScale(const ScopedLineScale&) = delete;
    ScopedLineScale& operator=(const ScopedLineScale&) = delete;

private:
    double m_previous;
};

// The scale in force (1 when none).
double lineScale();

} // namespace miratos::platform
