// The simplified logical analysis (screen FLogsem): six sentence-function captions,
// sentences from "A_logica" (read round from the first row when the table is shorter than
// six), score "logsem", minutes "temlogica", progress code 5 while under way and 6 when
// done; hands over to the sentence-comprehension test.
#pragma once

#include "battery/analysis/analysismodel.h"

namespace qv {

class LogicaModel : public AnalysisModel {
public:
    explicit LogicaModel(Session &s);
};

} // namespace qv
