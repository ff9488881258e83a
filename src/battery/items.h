// The items of the seven tests, each described once: its number within the test, the
// score field it counts toward, its key and the text the pupil sees. Scoring, the answer
// log and the statistics read these descriptions.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qv {

struct Item {
    int numero = 0;      // number within the test, from 1
    QString categoria;   // the score field of the pupil record the item counts toward
    QString chiave;      // the right answer as the log holds it (option number, caption, name)
    QString testo;       // the question, element, statement, event or place
    QString contesto;    // the sentence of an analysis element; empty elsewhere
};

// The names of the tests in the answer log, in the order they are taken: "lettura",
// "grammatica", "logica", "frasi", "cause", "cronologia", "fisica", "politica".
const QStringList &itemTests();
// The items of a test named as above, in number order; empty for any other name.
const QList<Item> &testItems(const QString &prova);
// The item numbered `numero` of a test, or nullptr.
const Item *findItem(const QString &prova, int numero);

} // namespace qv
