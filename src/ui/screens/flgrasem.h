// FLgrasem: the simplified grammatical analysis. The pupil drags one of the eight
// part-of-speech labels onto the grey box beside each element of the sentence.
#pragma once

#include "battery/analysis/grammaticamodel.h"
#include "ui/screens/analysisscreen.h"

namespace qv::ui {

class FLgrasem : public AnalysisScreen<GrammaticaModel, 8> {
    Q_OBJECT
public:
    explicit FLgrasem(Application &app);
};

} // namespace qv::ui
