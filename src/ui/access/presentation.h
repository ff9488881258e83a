// How the pupils' screens are drawn for the pupil now at work: larger text, a
// high-readability font, high contrast. Everyone gets the default; a pupil's compensatory
// tools set it when the pupil starts or resumes, and the start screen sets it back.
#pragma once

namespace qv::ui {

struct Presentation {
    int textPercent = 100; // 100, 125 or 150
    bool readableFont = false;
    bool highContrast = false;
    bool operator==(const Presentation &) const = default;
    // Whether texts take more room than the design gives them: a screen may arrange itself
    // otherwise then.
    bool largerText() const { return textPercent > 100 || readableFont; }
};

} // namespace qv::ui
