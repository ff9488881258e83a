// The sentences of the grammatical and logical analysis, loaded into the content tables
// "a_grammaticale" and "A_logica" by the set-up tool.
#pragma once

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

} // namespace qv
