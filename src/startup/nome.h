// The name-entry screen's logic: the list of names of the class, the new record of a
// new pupil, the search for an interrupted attempt to resume, and the compensatory tools
// the teacher may give the pupil before the first question.
#pragma once

#include "storage/session.h"

#include <QStringList>

namespace qv {

class NomeModel {
public:
    explicit NomeModel(Session &s) : s_(s) {}

    // Names of the class table in the table's order; reports "L'archivio è vuoto..."
    // when the table has no rows, and unreachableMessage() when it cannot be read.
    QStringList load();
    // What the pupil is told when the class cannot be read (the server away, say); `why`
    // is the reason the storage gave.
    static QString unreachableMessage(const QString &why);

    // Surname and first name trimmed, joined by one blank, cut to 50, trimmed, upper case.
    static QString buildName(const QString &cognome, const QString &nome);

    enum class Outcome {
        Stay,         // message shown, the screen stays as it is
        ClearAndHide, // fields emptied, screen hidden, start screen shown
        Reloaded,     // start screen reloaded and shown; this screen stays behind
        Dispatched    // a test was shown; this screen is to be unloaded
    };
    // "OK, ho fatto...".
    Outcome confirm(const QString &cognome, const QString &nome);

    QString nomecompleto() const { return nomecompleto_; }
    QString scelta() const { return scelta_; }

    // ControllaNOME: checks nomecompleto in mode "inizio"; sets scelta.
    Outcome ControllaNOME();

    // "Strumenti compensativi": behind the teacher's password, the tools of the pupil whose
    // names are typed. The record may not exist yet: the choice is kept and stored with the
    // record the pupil starts or resumes. false when the teacher cancels.
    bool chooseTools(const QString &cognome, const QString &nome);
    // The tools chosen here, if any.
    const std::optional<PupilTools> &chosenTools() const { return chosenTools_; }
    // Forgets the last pupil (name, answer, tools chosen): the screen is kept for the next.
    void reset();

private:
    // From the row Seek found, the first row of the same name still to complete.
    // nullProgressIsComplete: a row with an empty arrivo or sub is passed over.
    bool findResumable(Recordset &rs, bool nullProgressIsComplete);
    // From the row Seek found, the first row of the same name started in the current school
    // year; false when there is none.
    bool skipEarlierYears(Recordset &rs);
    Outcome noneToComplete();
    Outcome dispatch();
    // rsclasse opened afresh on the class; false, the pupil told, when it cannot be.
    bool openShared();
    void tellUnreachable(const QString &why);
    // With the record on rsclasse: stores the tools chosen here for it, and makes its tools
    // those of the pupil at work.
    void takeTools();

    Session &s_;
    QString nomecompleto_;
    QString scelta_;
    std::optional<PupilTools> chosenTools_;
};

} // namespace qv
