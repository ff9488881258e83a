#include "ui/access/contrastcolours.h"

#include <algorithm>
#include <cmath>

namespace qv::ui {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kSilver(192, 192, 192);
// Not the pure yellow a screen may use as a design colour, so the two are told apart.
const QColor kYellow(255, 238, 0);

// A hue's two high-contrast shades: vivid for a saturated design colour, pale for a pale one.
struct Shades {
    int upTo; // the hue family ends before this angle
    QColor vivid;
    QColor pale;
};
const Shades kHues[] = {
    {15, QColor(255, 105, 105), QColor(255, 180, 180)},  // red, pink
    {45, QColor(255, 150, 0), QColor(255, 205, 150)},    // orange
    {70, kYellow, QColor(255, 255, 150)},                // yellow
    {165, QColor(0, 220, 0), QColor(160, 255, 160)},     // green
    {200, QColor(0, 230, 255), QColor(130, 240, 255)},   // azure, cyan
    {260, QColor(110, 170, 255), QColor(170, 200, 255)}, // blue
    {320, QColor(255, 90, 255), QColor(235, 175, 255)},  // violet, magenta
    {361, QColor(255, 105, 105), QColor(255, 180, 180)}, // red again
};

double channel(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

const Shades &huesOf(const QColor &c)
{
    const int h = std::max(0, c.hsvHue());
    return *std::find_if(std::begin(kHues), std::end(kHues), [h](const Shades &s) { return h < s.upTo; });
}

} // namespace

QColor contrastBack(const QColor &designBack)
{
    if (!designBack.isValid() || designBack.alpha() == 0)
        return designBack;
    const double s = designBack.hsvSaturationF();
    const double v = designBack.valueF();
    const double l = luminance(designBack);
    if (s < 0.1) {
        // Greys: dark ones black, light grey as light grey, near-white and cream white.
        if (l < 0.18)
            return kBlack;
        return l >= 0.9 || (s >= 0.05 && l >= 0.7) ? kWhite : kSilver;
    }
    if (v < 0.6)
        return kBlack;
    return s >= 0.6 ? huesOf(designBack).vivid : huesOf(designBack).pale;
}

QColor contrastText(const QColor &back, const QColor &designText)
{
    if (back != kBlack)
        return kBlack;
    if (designText.isValid() && designText.hsvSaturationF() >= 0.4 && designText.valueF() >= 0.4)
        return huesOf(designText).vivid;
    return kYellow;
}

QColor contrastBorder(const QColor &back)
{
    return back == kYellow || back == huesOf(kYellow).pale ? kWhite : kYellow;
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace qv::ui
