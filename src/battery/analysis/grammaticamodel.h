// The simplified grammatical analysis (screen FLgrasem): eight part-of-speech captions,
// sentences from "a_grammaticale", score "gramsem", minutes "temgram", progress code
// 3 while under way and 4 when done; hands over to the logical analysis.
#pragma once

#include "battery/analysis/analysismodel.h"

namespace qv {

class GrammaticaModel : public AnalysisModel {
public:
    explicit GrammaticaModel(Session &s);
};

} // namespace qv
