// Statistics of a class from the score fields of its records: counts, per-field figures,
// score bands, the class profile beside the school's, and the pupils' levels by area.
// Pure functions over rows; readClass is the one place that touches the database.
#pragma once

#include "insight/questions.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace qv {
class Database;
}

namespace qv::insight {

// The eight scored parts of the battery, in the order a pupil meets them; the map test
// has two parts, each finished at its own progress code.
enum class Part { Lettura, Grammatica, Logica, Frasi, Cause, Cronologia, Fisica, Politica };
inline constexpr int kPartCount = 8;
inline constexpr int kFieldCount = 16;

struct PartInfo {
    const char *key;      // "lettura" … "politica"
    QString title;        // "Comprensione della lettura" …
    QString shortTitle;   // "Lettura" … (chart axes)
    const char *minutesField;
    int maximum;          // sum of the maxima of its score fields
};
const std::array<PartInfo, kPartCount> &parts();

struct ScoreField {
    const char *name;     // record field, e.g. "fatti1"
    QString title;        // Italian caption
    int maximum;
    Part part;
};
// The sixteen fields a test writes (gramcom and frasi2 are carried only, never scored).
const std::array<ScoreField, kFieldCount> &scoreFields();

// One record as the statistics need it; a Null field is an empty optional.
struct PupilRow {
    QString nome;
    QString data;
    std::optional<int> arrivo, sub;
    std::array<std::optional<int>, kFieldCount> scores{};
    std::array<std::optional<int>, kPartCount> minutes{};
};

// Which parts a record has finished, from its progress code: a part is finished once the
// record stands at a later one; the political map only with arrivo 10 and sub 20.
std::array<bool, kPartCount> finishedParts(const PupilRow &row);
bool complete(const PupilRow &row);
// Points of a part (its fields summed, Null as 0).
int partPoints(const PupilRow &row, Part p);

// Reads every record of a class table, in the table's order. false with a message in
// *error when the table cannot be read (rows is then empty).
bool readClass(Database &db, const QString &table, std::vector<PupilRow> &rows, QString *error);

struct FieldStats {
    int count = 0;        // pupils who finished the part that scores the field
    double mean = 0, median = 0;
    int minimum = 0, maximum = 0;
    double percent = 0;   // mean as a percentage of the field's maximum
};

// Score bands of a part: 0–19 %, 20–39 %, 40–59 %, 60–79 %, 80–100 % of its maximum.
inline constexpr int kBandCount = 5;
int bandOf(int points, int maximum);
QString bandLabel(int band);

struct PartStats {
    int finished = 0;     // pupils who finished the part
    int timed = 0;        // of those, how many have minutes stored
    double meanMinutes = 0;
    double meanPercent = 0; // mean points of the finished pupils, as a percentage of the maximum
    std::array<int, kBandCount> bands{};
};

struct ClassStats {
    int records = 0;
    int complete = 0;
    std::array<FieldStats, kFieldCount> fields{};
    std::array<PartStats, kPartCount> parts{};
};
ClassStats classStats(const std::vector<PupilRow> &rows);

// Levels of competence, with the letters of the certificate of competences: A – Avanzato
// from 80 % of the maximum, B – Intermedio from 60 %, C – Base from 40 %, D – Iniziale
// below; the thresholds are this program's convention. NonFinita: a test of the area is
// still to be finished.
enum class Level { Avanzato, Intermedio, Base, Iniziale, NonFinita };
inline constexpr int kLevelCount = 5;
// "A – Avanzato" … "D – Iniziale", "prove da finire".
QString levelName(Level l);
// The heading of a level's group of pupils: "A – Avanzato" …, "Prove da finire".
QString levelGroupName(Level l);
// The level of points / maximum, compared exactly (79.9 % is Intermedio).
Level levelOf(long long points, long long maximum);

// Italiano: reading, grammar, logic, sentences; Storia: causes, chronology; Geografia:
// the two maps; Complessivo: all of them.
enum class Area { Italiano, Storia, Geografia, Complessivo };
inline constexpr int kAreaCount = 4;
QString areaName(Area a);
std::vector<Part> areaParts(Area a);
int areaMaximum(Area a);
// "Italiano (lettura, grammatica, logica, frasi)", for a heading.
QString areaCaption(Area a);
// How an area's level is reached and what the thresholds are, for the page and the printout.
QString levelRule();

// A pupil's level in each area comes from the mean of the percentages of the area's tests,
// each test counting the same whatever its maximum.
struct PupilLevels {
    QString nome;
    QString data;
    std::array<Level, kAreaCount> levels{};
    std::array<int, kAreaCount> points{};    // points summed; meaningful only where the level is not NonFinita
    std::array<double, kAreaCount> percent{}; // mean percentage of the area's tests, likewise
};
PupilLevels pupilLevels(const PupilRow &row);
std::vector<PupilLevels> classLevels(const std::vector<PupilRow> &rows);
// Names of the pupils at each level of one area, in class order; index by Level.
std::array<QStringList, kLevelCount> groupsByLevel(const std::vector<PupilLevels> &levels, Area a);

// Mean percentage of each part for this class and for every class together (pupils pooled).
struct Profile {
    std::array<double, kPartCount> classe{};
    std::array<double, kPartCount> scuola{};
    std::array<int, kPartCount> classeCount{};
    std::array<int, kPartCount> scuolaCount{};
};
Profile profile(const ClassStats &classe, const ClassStats &scuola);

// Everything the statistics screen and its printout show, for the class of `table`.
struct ClassInsight {
    QString table;
    std::vector<PupilRow> rows;
    ClassStats stats;
    ClassStats school;
    Profile profile;
    std::vector<PupilLevels> levels;
    QuestionAnalysis questions;
};
bool classInsight(Database &db, const QString &table, ClassInsight &out, QString *error);

} // namespace qv::insight
