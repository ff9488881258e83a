// FLETTURA's test: two passages, 34 single-choice questions scored by category, the
// passage-1 store after question 13, the final store and hand-over, "Esco" and resumption.
#pragma once

#include "battery/comprehension/fouroptions.h"
#include "battery/comprehension/letturacontent.h"
#include "storage/session.h"

#include <QString>
#include <array>
#include <optional>

namespace qv {

class LetturaModel {
public:
    explicit LetturaModel(Session &s) : s_(s) {}

    // What the text area holds: passage 1, the four summaries, passage 2.
    enum class Layout { Brano1, Sintesi, Brano2 };

    enum class Outcome {
        Shown,     // the next question is on screen
        NoAnswer,  // "Devi fornire la risposta" was shown; nothing changed
        NotStored, // the record could not be written; told, nothing changed
        Finished,  // passage 2 stored, FLgrasem shown
        Left       // "Esco": stored, program ended
    };

    // Set-up, each time the test is entered: new test (tipoavvio 111) or resumption (222).
    void setUp();
    // What a new pupil meets first (the first passage and its first question), for the screen
    // to draw ahead; the pupil's record and times are left alone, setUp() follows.
    void preview();
    // Click on Check1(k), k = 0..3: box k as the click left it, the others unticked.
    void choose(int k, bool ticked);
    // "Domanda seguente".
    Outcome nextQuestion();
    // "Esco".
    Outcome leave();

    // The screen's view of the state.
    // Labris(i): i = 0 the question line, 1..4 the options of the question on screen.
    QString labris(int i) const;
    // What option box k (0..3) is read out as: its option, or at the synthesis, whose boxes
    // carry only a letter, the summary the letter stands for.
    QString opzione(int k) const;
    bool checked(int k) const { return check_.checked(k); }
    bool anyChecked() const { return check_.any(); }
    Layout layout() const { return layout_; }
    QString testo() const;
    QString testo2() const;
    bool testo2Visible() const { return layout_ == Layout::Sintesi; }
    // Point size of the text area in the screen's design: 12, 10 at the synthesis, 14.
    int testoPunti() const;

    // Test state.
    qint16 domanda = 0;
    qint16 risposta = 0;
    QString brano;
    int lessico = 0;
    int fatti = 0;
    int inferen = 0;
    int scopi = 0;
    qint16 sintesi = 0;
    lettura::Domande domande{};
    lettura::Soluzioni soluzioni{};

private:
    // Scores the question on screen against risposta into the counters; the answer for
    // the log, none for a question outside the passage in use.
    std::optional<Answer> risultato();
    // Stores the passage in use as done; after passage 2 hands over to FLgrasem. false
    // (pupil told) when the record could not be written.
    bool registro(const QList<Answer> &risposte);
    // Writes the record as "Esco" would now: the question on screen, the scores of the
    // passage in use, the minutes, with the answers given. false (pupil told) when it could not.
    bool storeProgress(const QList<Answer> &risposte);
    // The score fields of the passage in use.
    FieldValues campi() const;
    struct Snapshot;
    Snapshot snapshot() const;
    void restore(const Snapshot &sn);
    void azzera();
    int storedScore(const QString &field) const;

    Session &s_;
    FourOptions check_;
    Layout layout_ = Layout::Brano1;
};

} // namespace qv
