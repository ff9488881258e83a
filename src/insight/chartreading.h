// What each chart of the class statistics shows, as text a screen reader reads out: the same
// numbers the chart draws, in Italian with a decimal comma, for the chart's description.
#pragma once

#include "insight/classstats.h"

#include <QString>

namespace qv::insight {

// "Alunni per fascia di punteggio: 0–19 %: 1 alunno; 20–39 %: 3 alunni; …"
QString distributionReading(const ClassStats &stats, Part part);
// "Media in percentuale del massimo. Lettura: classe 62,5 %, scuola 58,0 %; …" ("—" where no
// pupil finished the part).
QString profileReading(const Profile &profile);

} // namespace qv::insight
