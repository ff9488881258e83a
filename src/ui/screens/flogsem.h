// FLogsem: the simplified logical analysis. The pupil drags one of the six
// sentence-function labels onto the grey box beside each element of the sentence.
#pragma once

#include "battery/analysis/logicamodel.h"
#include "ui/screens/analysisscreen.h"

namespace qv::ui {

class FLogsem : public AnalysisScreen<LogicaModel, 6> {
    Q_OBJECT
public:
    explicit FLogsem(Application &app);

protected:
    // The drop boxes turn silver at every change of sentence.
    void newSentence() override;
};

} // namespace qv::ui
