// A pupil's compensatory tools from a short code, for tests: V read aloud, B the passages
// too, F readable font, C high contrast, a number the text size ("VB150C").
#pragma once

#include "seams/pupiltools.h"

#include <QRegularExpression>
#include <QString>

namespace qv::test {

inline PupilTools tools(const QString &code)
{
    PupilTools t{code.contains('V'), code.contains('B'), 100, code.contains('F'), code.contains('C')};
    if (const auto m = QRegularExpression("\\d+").match(code); m.hasMatch())
        t.textPercent = m.captured().toInt();
    return t;
}

} // namespace qv::test
