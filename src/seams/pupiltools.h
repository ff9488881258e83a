// A pupil's compensatory tools, as the teacher sets them: read aloud (with the reading
// passages as a separate choice, since reading them aloud changes what that test
// measures), larger text, a high-readability font, high contrast. None by default.
#pragma once

namespace qv {

struct PupilTools {
    bool readAloud = false;    // an "Ascolta" button on every prompt of the tests
    bool readPassages = false; // the reading test's passages too
    int textPercent = 100;     // 100, 125 or 150
    bool readableFont = false;
    bool highContrast = false;

    // Any tool at all (what the archive marks and the printout lists).
    bool any() const { return !(*this == PupilTools()); }
    // The passages are read only for a pupil who has read-aloud.
    bool passagesAloud() const { return readAloud && readPassages; }
    bool operator==(const PupilTools &) const = default;
};

// The text sizes the teacher may choose.
inline constexpr int kTextPercents[] = {100, 125, 150};

} // namespace qv
