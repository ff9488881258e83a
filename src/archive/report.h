// The two printouts of the archive as text lines placed by print column: the results of
// one pupil, and the summary table of a class (one line per pupil). A renderer in the
// user interface paints the lines in a monospaced font.
#pragma once

#include "archive/resultmatrix.h"
#include "printout/report.h"
#include "seams/pupiltools.h"

#include <QString>
#include <array>

namespace qv {

// Titles, maxima and matrix columns of the class table, k = 0..13.
const std::array<QString, 14> &titoli();
const std::array<int, 14> &massimi();
int classTableColumn(int k);

// The printout of pupil r (1..numalunni) of the matrix; a pupil with compensatory tools
// gets a line that lists them under the name, since a teacher must know how the results
// were obtained.
Report pupilReport(const ResultMatrix &valori, int r, const PupilTools &tools = {});
// The class table of every pupil of the matrix, under the class caption.
Report classReport(const ResultMatrix &valori, const QString &nomeclasse);

} // namespace qv
