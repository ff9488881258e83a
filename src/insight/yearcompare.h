// The school's results of one school year, to set the years side by side: the mean
// percentage of each test over every class, and the share of pupils at each level of the
// whole battery. Pure functions over rows; summarizeYear reads a year's ten classes.
#pragma once

#include "insight/classstats.h"

#include <QString>
#include <array>
#include <vector>

namespace qv::insight {

inline constexpr int kRankedLevels = 4; // A – Avanzato … D – Iniziale

struct YearSummary {
    int year = 0;
    int pupils = 0;                                 // records of every class
    std::array<double, kPartCount> meanPercent{};   // of the pupils who finished the test
    std::array<int, kPartCount> finished{};
    int levelled = 0;                               // pupils who finished every test
    std::array<double, kRankedLevels> levelShare{}; // percent of `levelled` at each level
};

YearSummary summarize(int year, const std::vector<PupilRow> &rows);
// Every class of `db` pooled. false with the reason when a class cannot be read.
bool summarizeYear(Database &db, int year, YearSummary &out, QString *error);

// What the comparison chart draws, for a screen reader: "2026/2027: Lettura 62,5 %, …;
// livelli A 20,0 %, …".
QString comparisonReading(const std::vector<YearSummary> &years);

} // namespace qv::insight
