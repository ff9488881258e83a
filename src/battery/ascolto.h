// What the "Ascolta" buttons of the seven tests read aloud, in Italian, from what the
// test's model has on show: the question and its options, a sentence, the statements of a
// scheme, the events of the chronology, the place asked on the map, and (a separate choice
// of the teacher) the reading passages. The screens only forward these texts to the speech.
#pragma once

#include "seams/pupiltools.h"

#include <QString>

namespace qv {

class AnalysisModel;
class CartgeModel;
class FrasiModel;
class LetturaModel;
class Storia1Model;
class Storia2Model;

namespace ascolto {

// Whether a pupil with `tools` has an "Ascolta" button on a prompt; `passage` for the
// reading test's passages.
bool shown(const PupilTools &tools, bool passage = false);

// Reading test: the question; its four options, or the four summaries at the synthesis
// question; the passage on show (none at the synthesis question: the summaries are the
// options there).
QString domanda(const LetturaModel &m);
QString risposte(const LetturaModel &m);
QString brano(const LetturaModel &m);
bool hasBrano(const LetturaModel &m);
// Sentence test: the premise, then its four conclusions.
QString premessa(const FrasiModel &m);
QString conclusioni(const FrasiModel &m);
// Grammatical and logical analysis: the sentence on show, then the categories to use.
QString frase(const AnalysisModel &m);
QString categorie(const AnalysisModel &m);
// Causal schemes: the statements of the set on show.
QString affermazioni(const Storia1Model &m);
// Chronology: the events of the half on show.
QString eventi(const Storia2Model &m);
// Map: the number asked and what to do with it, and the answers chosen so far.
QString luogo(const CartgeModel &m);

} // namespace ascolto
} // namespace qv
