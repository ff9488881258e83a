// The teacher's password on the archive: chosen once, asked at every opening, stored
// only as a salted Argon2id hash (libsodium) in "impostazioni". Wrong tries in a row are
// counted in the file, so a restart does not reset them; from the third on, each next try
// waits longer (2, 4, 8 … seconds, at most 60). The door opens only on a hash that checks:
// a missing, damaged or foreign one keeps it shut. It guards the archive in the program,
// not the files: whoever uses the same account reaches those with other programs.
#pragma once

#include "storage/database.h"
#include "storage/session.h"

#include <QDateTime>
#include <QString>

namespace qv {

inline constexpr int kPasswordMinLength = 6;

class TeacherPassword {
public:
    TeacherPassword(Database &db, const Clock &clock) : db_(db), clock_(clock) {}

    struct Outcome {
        bool ok = false;
        QString message; // what the teacher is told, in Italian; empty when ok needs no word
    };

    bool isSet() const;
    // No password now, though one was chosen and the set-up tool did not remove it: the
    // file was changed behind the program's back.
    bool wasLost() const;
    // When the set-up tool removed the password (invalid when it did not, or one is set).
    QDateTime removedAt() const;
    // The first choice, typed twice.
    Outcome choose(const QString &password, const QString &again);
    // A try at the archive's door.
    Outcome check(const QString &password);
    // "Cambio la password": the old one, then the new one twice.
    Outcome change(const QString &old, const QString &password, const QString &again);
    // Seconds before the next try is taken; 0 when it may be tried now.
    int secondsToWait() const;

    // Removes the password and its counters (the set-up tool, for a forgotten password).
    static bool remove(Database &db, QString *error);

private:
    Outcome store(const QString &password, const QString &again);
    void countFailure();
    void bringFailureToNow();

    Database &db_;
    const Clock &clock_;
};

// The way into the archive: asks the teacher to choose a password the first time, and
// for it at every later opening. false when the teacher cancels. On the server it asks the
// teacher's own login and password instead, which the server checks, and leaves the
// teacher's connection in state.dbdocente (nothing of it is stored).
bool openArchiveDoor(Session &s);
// The archive opened and closed: on the server it works on the teacher's connection, and the
// lab computer's comes back (the teacher's closed) when it closes. Nothing to do on a file.
void enterArchive(Session &s);
void leaveArchive(Session &s);
// What a teacher is told who would change or reset the password on the server.
QString serverPasswordMessage();
// "Cambio la password" in the archive.
void changeArchivePassword(Session &s);

} // namespace qv
