#include "storage/progress.h"

#include "storage/pupilrecord.h"
#include "seams/screen.h"

namespace qv {

const std::array<StageCodes, kStageCount> &stages()
{
    static const std::array<StageCodes, kStageCount> t = {{
        {Stage::Lettura1, "lettura", Screen::FLETTURA, "temlettura", 1, 1, 13, {2, 14}},
        {Stage::Lettura2, "lettura", Screen::FLETTURA, "temlettura", 2, 14, 34, {3, 1}},
        {Stage::Grammatica, "grammatica", Screen::FLgrasem, "temgram", 3, 1, 6, {4, 1}},
        {Stage::Logica, "logica", Screen::FLogsem, "temlogica", 5, 1, 6, {6, 1}},
        {Stage::Frasi, "frasi", Screen::FLfrasi, "temfrasi", 6, 1, 12, {7, 1}},
        {Stage::CauseSemplici, "cause", Screen::FLstoria1, "temcause", 7, 1, 5, {7, 6}},
        {Stage::CauseComplesse, "cause", Screen::FLstoria1, "temcause", 7, 6, 9, {8, 1}},
        {Stage::Cronologia, "cronologia", Screen::FLstoria2, "temcrono", 8, 1, 2, {9, 1}},
        {Stage::Fisica, "fisica", Screen::FLcartge, "temfisica", 9, 1, 22, {10, 1}},
        // "Esco" at the last place stores sub 20, the mark of a complete record.
        {Stage::Politica, "politica", Screen::FLcartge, "tempolitica", 10, 1, 20, {kArrivoComplete, kSubComplete}},
    }};
    return t;
}

const StageCodes &stageCodes(Stage s)
{
    return stages()[size_t(s)];
}

const StageCodes *stageForArrivo(int arrivo)
{
    if (arrivo < stages().front().arrivo)
        return nullptr;
    for (const StageCodes &c : stages())
        if (c.arrivo >= arrivo)
            return &c;
    return nullptr;
}

const StageCodes *nextStage(Stage s)
{
    const size_t i = size_t(s) + 1;
    return i < stages().size() ? &stages()[i] : nullptr;
}

std::optional<int> batteryPosition(std::optional<int> arrivo, std::optional<int> sub)
{
    if (!arrivo)
        return std::nullopt;
    const Progress done = stages().back().fine;
    if (*arrivo == done.arrivo && sub == done.sub)
        return kStageCount;
    const StageCodes *s = stageForArrivo(*arrivo);
    if (!s)
        return std::nullopt;
    return int(s->stage);
}

} // namespace qv
