// A small class whose statistics and levels are worked out by hand in the tests that use it.
// ALFA: complete, every maximum (246 points). BETA: complete, Italiano 94/133, Storia 20/51,
// Geografia 31/62, all 145/246. GAMMA: stopped before the sentence test (arrivo 6).
// DELTA: stopped in the grammar test (arrivo 3), its grammar score partial.
#pragma once

#include <QList>
#include <QVariantMap>

namespace qv::test {

inline QList<QVariantMap> handMadeClass()
{
    return {
        {{"nome", "ALFA ANNA"}, {"arrivo", 10}, {"sub", 20}, {"lessico1", 6}, {"fatti1", 3}, {"inferen1", 3},
         {"sintesi1", 1}, {"scopi2", 4}, {"fatti2", 6}, {"inferen2", 10}, {"sintesi2", 1}, {"gramsem", 53},
         {"logsem", 34}, {"frasi1", 12}, {"causasem", 15}, {"causacom", 16}, {"cronolog", 20}, {"elemfis", 22},
         {"elempol", 40}, {"temgram", 10}},
        {{"nome", "BETA BRUNO"}, {"arrivo", 10}, {"sub", 20}, {"lessico1", 5}, {"fatti1", 3}, {"inferen1", 2},
         {"sintesi1", 1}, {"scopi2", 3}, {"fatti2", 5}, {"inferen2", 6}, {"sintesi2", 0}, {"gramsem", 40},
         {"logsem", 20}, {"frasi1", 9}, {"causasem", 6}, {"causacom", 6}, {"cronolog", 8}, {"elemfis", 11},
         {"elempol", 20}, {"temgram", 14}},
        {{"nome", "GAMMA GINO"}, {"arrivo", 6}, {"sub", 1}, {"lessico1", 6}, {"fatti1", 3}, {"gramsem", 20},
         {"logsem", 34}},
        {{"nome", "DELTA DORA"}, {"arrivo", 3}, {"sub", 5}, {"fatti1", 1}, {"gramsem", 30}, {"temgram", 7}},
    };
}

} // namespace qv::test
