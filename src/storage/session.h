// The Session that carries the seams (seams/seams.h) with the shared state and stores the
// pupil's record. Models take a Session&.
#pragma once

#include "seams/seams.h"
#include "storage/modquorv.h"
#include "storage/progress.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace qv {

using FieldValues = QList<QPair<QString, QVariant>>;

// One answer of the pupil to one item of a test, for the answer log "risposte".
struct Answer {
    QString prova;     // "lettura", "grammatica", ... (see battery/items.h)
    int numero = 0;    // the item's number within the test
    QString risposta;  // option number, caption dropped or name chosen; empty when none
    bool giusta = false;
};

class Session {
public:
    Session(Dialogs &d, Clock &c, Exit &e, Navigator &n, QString dataDir)
        : dialogs(d), clock(c), exit(e), nav(n), dataDir_(std::move(dataDir)) {}

    Modquorv state;
    Dialogs &dialogs;
    Clock &clock;
    Exit &exit;
    Navigator &nav;

    // The speech of the "Ascolta" buttons; without one, speech is unavailable.
    void setSpeech(Speech *speech) { speech_ = speech; }
    // Reads `text` aloud for the pupil. Where speech is unavailable the pupil is told so
    // once (until the start screen shows again) and the test goes on.
    void speak(const QString &text);
    // The next pupil is told again if speech is unavailable.
    void resetSpeechNotice() { speechNoticeGiven_ = false; }
    // Starts the speech ahead of the first "Ascolta" of a pupil with read-aloud.
    void prepareSpeech()
    {
        if (speech_)
            speech_->prepare();
    }
    static QString speechUnavailableMessage()
    {
        return QStringLiteral("La lettura ad alta voce non è disponibile su questo computer (manca la sintesi vocale). "
                              "Leggi da solo o chiedi aiuto all'insegnante: il test prosegue.");
    }

    // "Perquorvane" folder (absolute or relative) and a file inside it.
    QString dataDir() const { return dataDir_; }
    QString dataFile(const QString &name) const;

    // Sets orainizio to now: a stretch of work begins.
    void startStretch();

    // What the pupil is told when the record cannot be written; the work stays on screen.
    static QString storeFailedMessage()
    {
        return QStringLiteral("Non riesco a registrare i risultati nell'archivio. Riprova; se il problema "
                              "continua, chiama l'insegnante.");
    }

    // What the pupil is told when another computer has gone on with this test since this
    // one last read or wrote the record.
    static QString movedOnMessage()
    {
        return QStringLiteral("Il tuo test è andato avanti su un altro computer: qui non posso più registrare "
                              "i risultati. Continua su quel computer; se invece vuoi continuare qui, scegli "
                              "\"RIPRENDO UN TEST INTERROTTO\".");
    }

    // Puts rsclasse on segnalibro, reading the record afresh: its progress (arrivo, sub) as
    // read now is what the next store expects to find. Each test does it at set-up.
    bool holdRecord();

    // Writes the fields into the pupil's record: rsclasse on segnalibro, Edit, fields,
    // Update, as one statement; with the answers logged since the last successful store,
    // the record and the log rows are written in one transaction. false (and nothing
    // written, the answers kept for the next store) on any failure.
    // The Update writes only if the record's progress is still what this computer last
    // read (holdRecord) or wrote, so that a computer left behind never writes over the
    // newer work of another on which the pupil resumed the test. When it is not, nothing is
    // written, answers included (those of the other computer are the newer), the pending
    // answers are dropped, the pupil is told (movedOnMessage) and the start screen is shown
    // in place of the test. A record never held nor written here is written as found.
    // On the server, a store after a failed one first takes a new connection: the failure
    // may have been the server restarting or the network dropping.
    bool storePupil(const FieldValues &fields);
    // Tells the pupil that the record could not be written (storeFailedMessage), unless the
    // last store failed because the test went on on another computer: that was told then.
    void warnStoreFailed();

    // One step of a test as the record keeps it: the point reached in a stage (or, `done`,
    // the stage's finished mark), the score fields and the answers scored since the last step.
    struct Step {
        Stage stage = Stage::Lettura1;
        int sub = 1;            // the point reached inside the stage; not read when done
        bool done = false;      // the stage is finished: its finished mark is stored
        FieldValues fields = {};     // the scores the step writes
        QList<Answer> answers = {};  // logged with the record
    };
    // Stores a step in one store (storePupil): the stretch of work up to now is added to
    // minuti, which goes into the stage's minutes field with the progress code and the
    // fields; the answers join the log. The next stretch begins now. When the record cannot
    // be written nothing changes (minutes and times as before, the answers not logged) and
    // the pupil is told, so the test stays where it was and the next try counts it all.
    bool storeStep(const Step &step);
    // The stage `done`, just stored as finished, gives way to the next stage's screen (the
    // start screen after the last), which starts from its beginning.
    void handOver(Stage done);

    // An answer scored into the test's counters, written with the next store of the record
    // (a later answer to the same item replaces it).
    void logAnswer(const Answer &a);
    // The log rows of test `prova` are erased with the next store: the test (or its
    // score) starts again from nothing.
    void forgetAnswers(const QString &prova);
    // Answers waiting for a store; a model that takes back a scoring (its store failed)
    // drops those logged since `mark`.
    int pendingAnswers() const { return int(pending_.size()); }
    void dropAnswersFrom(int mark);
    // Reads a field of the record on which rsclasse stands.
    QVariant pupilField(const QString &name) const;
    // For resumption: a Null field is given its start value, which is stored (its own
    // Edit/Update); returns the value as a number, or `start` if it cannot be read.
    int pupilFieldOrInit(const QString &name, int start);

    // Closes rsclasse and the database, then ends the program ("Esco").
    void closeAndExit();

private:
    bool writeAnswers(Recordset &rs);
    QString owner() const { return state.tabellaclasse + QLatin1Char('/') + state.segnalibro; }
    // The progress the record must still hold for a write to go through; empty when this
    // computer never read or wrote it.
    FieldValues expected() const;
    // The progress just written becomes the expected one.
    void noteWritten(const FieldValues &fields);
    void movedOnElsewhere();

    QString dataDir_;
    Speech *speech_ = nullptr;
    bool speechNoticeGiven_ = false;
    // Answers (numero > 0) and erasures of a whole test (numero 0), in the order made.
    QList<Answer> pending_;
    // The record the pending answers belong to (class table and bookmark).
    QString pendingOwner_;
    bool storeFailed_ = false;
    bool movedOn_ = false;
    // The record's progress as this computer last read or wrote it, and the record's owner
    // key (class table and bookmark).
    struct Held {
        QString owner;
        QVariant arrivo, sub;
    };
    std::optional<Held> held_;
};

} // namespace qv
