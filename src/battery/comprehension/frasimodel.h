// FLfrasi's test: twelve premises with four conclusions each, one point per correct
// conclusion, the store and hand-over to FLstoria1, "Esco" and resumption.
#pragma once

#include "battery/comprehension/fouroptions.h"
#include "battery/comprehension/frasicontent.h"
#include "storage/session.h"

#include <array>

namespace qv {

class FrasiModel {
public:
    explicit FrasiModel(Session &s) : s_(s) {}

    enum class Outcome {
        Shown,     // the next question is on screen
        NoAnswer,  // "Devi fornire la risposta" was shown; nothing changed
        NotStored, // the record could not be written; told, nothing changed
        Finished,  // result stored, FLstoria1 shown
        Left       // "Esco": stored, program ended
    };

    // Set-up, each time the test is entered: new test (tipoavvio 111) or resumption (222).
    void setUp();
    // Click on Check1(k), k = 0..3: box k as the click left it, the others unticked.
    void choose(int k, bool ticked);
    // "Domanda seguente": scores and stores the answer; after question 12 the result is
    // stored and FLstoria1 takes over.
    Outcome nextQuestion();
    // "Esco".
    Outcome leave();

    // Label1: the premise; Label2(k): conclusion k + 1 of the question on screen.
    QString premessa() const;
    QString conclusione(int k) const;
    bool checked(int k) const { return check_.checked(k); }
    bool anyChecked() const { return check_.any(); }

    // Test state.
    qint16 domanda = 0;
    qint16 risposta = 0;
    qint16 punti = 0;
    frasi::Domande domande{};
    frasi::Soluzioni soluzioni{};

private:
    Session &s_;
    FourOptions check_;
};

} // namespace qv
