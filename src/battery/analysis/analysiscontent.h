// The sentences of the grammatical and logical analysis, loaded into the content tables
// "a_grammaticale" and "A_logica" by the set-up tool.
#pragma once

#include "battery/items.h"
#include "storage/schema.h"

#include <QList>
#include <QStringList>

namespace qv {

// The eight part-of-speech captions and the six sentence-function captions, index order.
const QStringList &grammaticaCategorie();
const QStringList &logicaCategorie();

// Six sentences each, in ordine order.
const QList<AnalysisSentence> &grammaticaSentences();
const QList<AnalysisSentence> &logicaSentences();

// The number of element `elemento` (1..10) of the sentence in place `frase` (1..6) as an
// item of its test: (frase - 1) * 10 + elemento.
int analysisItem(int frase, int elemento);
// Every element of the six sentences as an item of category gramsem / logsem: the key is
// the element's category caption, the text the element, the context the whole sentence.
const QList<Item> &grammaticaItems();
const QList<Item> &logicaItems();

} // namespace qv
