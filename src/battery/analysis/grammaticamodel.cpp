#include "battery/analysis/grammaticamodel.h"

#include "battery/analysis/analysiscontent.h"

namespace qv {

GrammaticaModel::GrammaticaModel(Session &s)
    : AnalysisModel(s, Config{QStringLiteral("a_grammaticale"),
                              QStringLiteral("analisi grammaticale"),
                              &grammaticaCategorie(),
                              QStringLiteral("gramsem"),
                              QStringLiteral("temgram"),
                              3,
                              4,
                              Screen::FLgrasem,
                              Screen::FLogsem,
                              // the six sentences are needed: the table is not read round
                              kFrasi,
                              {QStringLiteral("temgram"), QStringLiteral("sub"), QStringLiteral("gramsem")},
                              QStringLiteral("grammatica")})
{
}

} // namespace qv
