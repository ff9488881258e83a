// The class table for a spreadsheet: the columns of the class table printout plus the
// minutes, as UTF-8 with a byte-order mark and semicolons (the Italian convention).
#pragma once

#include "archive/resultmatrix.h"

#include <QByteArray>

namespace qv {

QByteArray quadroCsv(const ResultMatrix &valori);

} // namespace qv
