// The per-question analysis of a class, from the answer log "risposte": for every item of
// every test how many pupils got it right, wrong or left it empty, which wrong answer was
// given most, and the ten hardest items with their text. Only the answers of pupils who
// still have a record in the class count; records without answers (imported from an older
// disk) are simply not covered, and the analysis says how many pupils it covers.
#pragma once

#include "storage/database.h"

#include <QString>
#include <vector>

namespace qv::insight {

struct ItemStats {
    QString prova;        // "lettura", "grammatica", …
    int numero = 0;
    QString testo;        // what the pupil saw
    QString contesto;     // the sentence of an analysis element
    QString chiave;       // the right answer
    int right = 0;
    int wrong = 0;        // a wrong answer given
    int empty = 0;        // left empty
    QString commonWrong;  // the wrong answer given most (the first in order on a tie)
    int commonWrongCount = 0;
    int answered() const { return right + wrong + empty; }
    // Share of right answers among the pupils who met the item, 0..1; -1 when none did.
    double share() const { return answered() > 0 ? double(right) / answered() : -1.0; }
};

struct QuestionAnalysis {
    int records = 0;             // pupils with a record in the class
    int covered = 0;             // of them, pupils with at least one logged answer
    std::vector<ItemStats> items; // every item of every test, in test and number order
    std::vector<int> hardest;    // up to ten indices into items: lowest share first
};

bool questionAnalysis(Database &db, const QString &table, QuestionAnalysis &out, QString *error);

// A test's name as the statistics show it ("Lettura", "Carta fisica", …).
QString testTitle(const QString &prova);
// Where the pupil met the item, numbered as on the test's screen: "brano 2, domanda 7",
// "frase 3, parola 3", "schema 6, casella 4", "parte 2, avvenimento 1", "luogo 4
// (capoluogo)"; "numero n" for an item the test does not have.
QString itemPlace(const QString &prova, int numero);
// The test's name and the place: "Lettura, brano 2, domanda 7".
QString itemName(const QString &prova, int numero);
// An answer as the pupil saw it: in the two multiple-choice tests the option's letter and
// text ("c) da prima dell'alba fino al pomeriggio") in place of its stored number; any
// other test's answer (a caption, a name, a date) as it is.
QString answerText(const QString &prova, int numero, const QString &risposta);

} // namespace qv::insight
