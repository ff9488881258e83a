#include "battery/analysis/analysiscontent.h"

// Placeholder until the analysis sentences are written: the tables are created empty.
namespace qv {

const QStringList &grammaticaCategorie()
{
    static const QStringList c = {"Articolo", "Nome", "Verbo", "Aggettivo",
                                  "Preposizione", "Congiunzione", "Pronome", "Avverbio"};
    return c;
}

const QStringList &logicaCategorie()
{
    static const QStringList c = {"Soggetto", "Predicato verbale", "Predicato nominale",
                                  "Complemento oggetto", "Complemento indiretto", "Attributo"};
    return c;
}

const QList<AnalysisSentence> &grammaticaSentences()
{
    static const QList<AnalysisSentence> rows;
    return rows;
}

const QList<AnalysisSentence> &logicaSentences()
{
    static const QList<AnalysisSentence> rows;
    return rows;
}

} // namespace qv
