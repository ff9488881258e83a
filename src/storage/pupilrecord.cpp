#include "storage/pupilrecord.h"

namespace qv {

const QStringList &pupilFields()
{
    static const QStringList fields = {
        "nome",      "data",     "arrivo",    "sub",        "lessico1", "fatti1",
        "inferen1",  "sintesi1", "scopi2",    "fatti2",     "inferen2", "sintesi2",
        "temlettura", "gramsem", "gramcom",   "temgram",    "logsem",   "temlogica",
        "frasi1",    "frasi2",   "temfrasi",  "causasem",   "causacom", "temcause",
        "cronolog",  "temcrono", "elemfis",   "temfisica",  "elempol",  "tempolitica"};
    return fields;
}

} // namespace qv
