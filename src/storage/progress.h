// The battery's progress codes, in one table: for each stage of the seven tests, the test's
// name, the screen that shows it, the minutes field, the `arrivo` stored while it is under way,
// the points `sub` names inside it and the code stored once it is done. The tests store these
// codes, resumption maps a stored `arrivo` to its screen, the statistics read from them which
// parts a record has finished.
#pragma once

#include <array>
#include <optional>

namespace qv {

enum class Screen; // seams/screen.h

// The stages in the order a pupil meets them. The reading test and the causal-relation
// schemes have two stages each (passages, simple and complex schemes), the map test one a map.
enum class Stage {
    Lettura1, Lettura2, Grammatica, Logica, Frasi, CauseSemplici, CauseComplesse, Cronologia, Fisica, Politica
};
inline constexpr int kStageCount = 10;

// A progress code as the record holds it.
struct Progress {
    int arrivo = 0;
    int sub = 0;
};

struct StageCodes {
    Stage stage;
    const char *prova;    // the test's name in the answer log and the statistics: "lettura" …
    Screen screen;        // the screen that shows the stage
    const char *minuti;   // the minutes field: "temlettura" …
    int arrivo;           // stored while the stage is under way
    int primoSub;         // the first point of the stage, as sub names it
    int ultimoSub;        // its last point
    Progress fine;        // stored once the stage is done: where the next stage begins
};

const std::array<StageCodes, kStageCount> &stages();
const StageCodes &stageCodes(Stage s);

// The stage a record whose progress code holds `arrivo` resumes in: the first whose own
// `arrivo` is at least it (4, grammar done and logic not begun, resumes in the logic test);
// nothing for a code no test stores.
const StageCodes *stageForArrivo(int arrivo);

// The stage that follows `s`; nothing after the political map.
const StageCodes *nextStage(Stage s);

// Where a record stands in the battery: the index in stages() of the stage it resumes in,
// kStageCount when it is complete; nothing when its progress code is empty or no test
// stores it. Every stage before the position is behind the pupil.
std::optional<int> batteryPosition(std::optional<int> arrivo, std::optional<int> sub);

} // namespace qv
