// The state every screen shares: the database handle, the shared cursor on the chosen
// class, the pupil's bookmark, the start mode and the minute counting of the current test.
#pragma once

#include "storage/database.h"
#include "seams/pupiltools.h"
#include "storage/recordset.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <memory>

namespace qv {

inline constexpr qint16 kAvvioNuovo = 111;     // the next test starts from its beginning
inline constexpr qint16 kAvvioRipresa = 222;   // the next test resumes from the progress code

struct Modquorv {
    std::unique_ptr<Database> dbrisultati;
    std::unique_ptr<Recordset> rsclasse;
    QString tabellaclasse;
    QString nomeclasse;
    QString modoavvio;   // "inizio" or "continuazione"
    QString segnalibro;  // bookmark of the pupil's record in rsclasse
    qint16 tipoavvio = 0;
    qint16 tappa = 0;
    qint16 minuti = 0;
    QDateTime orainizio;
    QDateTime orafine;
    std::array<QString, 16> elementi;
    // The compensatory tools of the pupil at work; none between pupils.
    PupilTools strumenti;
    // On the server: the teacher's own connection, opened by the archive's door and closed
    // when the archive or the tools chosen on name entry are done with it; and the lab
    // computer's connection, put aside while the archive works on the teacher's.
    std::unique_ptr<Database> dbdocente;
    std::unique_ptr<Database> dblaboratorio;
    QString ultimodocente; // the login typed last at the door in this run
    // The current year's results, put aside while the archive shows a closed year (whose
    // file, read-only, is then dbrisultati).
    std::unique_ptr<Database> dbannocorrente;
    int accessisbagliati = 0;
    QDateTime ultimoaccessosbagliato;
};

} // namespace qv
