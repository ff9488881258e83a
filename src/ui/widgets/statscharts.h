// The charts of the class statistics (Qt Charts): the score bands of one part, and the
// class profile beside the school's. Used by the statistics window and by its printout.
#pragma once

#include "insight/classstats.h"
#include "insight/yearcompare.h"

class QChart;

namespace qv::ui {

// One lying bar per score band of the part (0–19 … 80–100 % of its maximum): how many of
// the pupils who finished it fall there.
QChart *distributionChart(const insight::ClassStats &stats, insight::Part part);
// Two bars per part, "Classe" and "Scuola": the mean percentage of the maximum.
QChart *profileChart(const insight::Profile &profile);
// One bar per school year in each group: the mean percentage of every test (`levels` false)
// or the share of pupils at each level (`levels` true).
QChart *yearsChart(const std::vector<insight::YearSummary> &years, bool levels);

} // namespace qv::ui
