// The class statistics as text lines by print column, for the printout (the renderer in the
// user interface adds the charts) and for anything else that wants them as text.
#pragma once

#include "printout/report.h"
#include "insight/classstats.h"

#include <QString>

namespace qv::insight {

// A number as Italian readers write it: one decimal, decimal comma ("12,5"); "—" when no
// pupil is behind it.
QString figure(double value, int count);

// Counts, the parts with minutes and class/school percentages, the sixteen score fields,
// and the pupils of each level by area, under the class caption.
Report statsReport(const ClassInsight &ci, const QString &caption);

} // namespace qv::insight
