// The start screen's logic: opening the results database, choosing the class, and
// the way into the archive.
#pragma once

#include "storage/session.h"

namespace qv {

class ServerConfig;

class InizioModel {
public:
    explicit InizioModel(Session &s) : s_(s) {}

    // Start-up: tappa = 0, opens "Perquorvane/quorvane.mdb" (or the server that
    // "Perquorvane/server.ini" names) into dbrisultati and checks its tables. false with an
    // Italian message when the archive cannot be used.
    bool load(QString *error);

    // A click on the class label `index`: indiceclasse, nomeclasse, SCELTACLASSE.
    void chooseClass(int index);
    // tabellaclasse from indiceclasse; rsclasse on that table.
    bool SCELTACLASSE();

    // nomeclasse for the archive: "prima-A" when no class was chosen yet.
    QString archiveClass();

    int indiceclasse() const { return indiceclasse_; }

private:
    bool loadServer(const ServerConfig &server, QString *error);
    Session &s_;
    qint16 indiceclasse_ = 0;
};

// The test screen that a progress code `arrivo` resumes in (1..10); FLINIZIO otherwise.
Screen screenForArrivo(int arrivo);

} // namespace qv
