#include "battery/analysis/logicamodel.h"

#include "battery/analysis/analysiscontent.h"

namespace qv {

LogicaModel::LogicaModel(Session &s)
    : AnalysisModel(s, Config{.stage = Stage::Logica,
                              .table = QStringLiteral("A_logica"),
                              .testName = QStringLiteral("analisi logica"),
                              .categorie = &logicaCategorie(),
                              .scoreField = QStringLiteral("logsem"),
                              .minRows = 1,
                              .resumeOrder = {QStringLiteral("sub"), QStringLiteral("temlogica"), QStringLiteral("logsem")}})
{
}

} // namespace qv
