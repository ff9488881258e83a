#include "battery/analysis/grammaticamodel.h"

#include "battery/analysis/analysiscontent.h"

namespace qv {

GrammaticaModel::GrammaticaModel(Session &s)
    : AnalysisModel(s, Config{.stage = Stage::Grammatica,
                              .table = QStringLiteral("a_grammaticale"),
                              .testName = QStringLiteral("analisi grammaticale"),
                              .categorie = &grammaticaCategorie(),
                              .scoreField = QStringLiteral("gramsem"),
                              // the six sentences are needed: the table is not read round
                              .minRows = kFrasi,
                              .resumeOrder = {QStringLiteral("temgram"), QStringLiteral("sub"), QStringLiteral("gramsem")}})
{
}

} // namespace qv
