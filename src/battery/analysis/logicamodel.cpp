#include "battery/analysis/logicamodel.h"

#include "battery/analysis/analysiscontent.h"

namespace qv {

LogicaModel::LogicaModel(Session &s)
    : AnalysisModel(s, Config{QStringLiteral("A_logica"),
                              QStringLiteral("analisi logica"),
                              &logicaCategorie(),
                              QStringLiteral("logsem"),
                              QStringLiteral("temlogica"),
                              5,
                              6,
                              Screen::FLogsem,
                              Screen::FLfrasi,
                              1,
                              {QStringLiteral("sub"), QStringLiteral("temlogica"), QStringLiteral("logsem")},
                              QStringLiteral("logica")})
{
}

} // namespace qv
