// The four boxes of a question with one answer: ticking a box clears the other three, so at
// most one is ticked, and the answer is the box ticked last (1–4).
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <array>

namespace qv {

struct FourOptions {
    std::array<bool, 4> ticked{};

    // Box k (0–3) as the click left it, the others cleared; false for a box that is not there.
    bool choose(int k, bool on)
    {
        if (k < 0 || k > 3)
            return false;
        ticked = {};
        ticked[size_t(k)] = on;
        return true;
    }
    bool checked(int k) const { return ticked[size_t(k)]; }
    bool any() const { return std::any_of(ticked.begin(), ticked.end(), [](bool b) { return b; }); }
    void clear() { ticked = {}; }
};

} // namespace qv
