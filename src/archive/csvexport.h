// The class table for a spreadsheet: the scores of the class table printout under plain
// heads, the minutes and the pupil's level in each area and overall, as UTF-8 with a
// byte-order mark and semicolons (the Italian convention).
#pragma once

#include "archive/resultmatrix.h"
#include "insight/classstats.h"
#include "insight/questions.h"

#include <QByteArray>
#include <array>
#include <vector>

namespace qv {

// The heads of the fourteen score columns, in plain words with each maximum.
const std::array<QString, 14> &quadroCsvHeads();
// A row's levels are those of `livelli` with the same `data`; empty cells when none has it.
QByteArray quadroCsv(const ResultMatrix &valori, const std::vector<insight::PupilLevels> &livelli = {});
// The per-question analysis of the class, one row per item of every test.
QByteArray domandeCsv(const insight::QuestionAnalysis &analisi);

} // namespace qv
