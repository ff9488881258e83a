// The fixed content of the reading-comprehension test: the two passages, the four
// summaries of the synthesis question, the 34 questions with their options and the key.
#pragma once

#include "battery/items.h"

#include <QString>
#include <array>

namespace qv::lettura {

inline constexpr int kDomande = 34;        // questions over both passages
inline constexpr int kUltimaPrimo = 13;    // last question of passage 1 (the synthesis question)
inline constexpr int kPrimaSecondo = 14;   // first question of passage 2
inline constexpr int kRighe = 36;          // rows 0..35 of domande and soluzioni

// Row q: column 0 the question line, columns 1..4 the options a) to d), formatted as shown
// to the pupil (" 2. Quando...", " a) ..."); rows 0 and 35 are empty.
using Domande = std::array<std::array<QString, 5>, kRighe>;
// Row q: the number 1..4 of the correct option of question q; rows 0 and 35 hold 0.
using Soluzioni = std::array<qint16, kRighe>;

const Domande &domande();
const Soluzioni &soluzioni();
// Questions 1..34 as items: the key is the number of the right option, the category the
// score field of the passage (lessico1, fatti1, inferen1, sintesi1, fatti2, inferen2,
// scopi2, sintesi2), the text the question without its number.
const QList<Item> &items();

// Passage 1 in its six pieces: the title, two pieces of the first paragraph, three of the
// second.
const std::array<QString, 6> &brano1Pezzi();
// Passage 1 laid out: title, empty line, first paragraph, line break, second paragraph;
// a line break is one carriage return (code 13).
QString brano1();
// Passage 2: three sentences, no line breaks.
QString brano2();

// The four summaries of question 13, a) to d), each beginning with its letter; b) is right.
const std::array<QString, 4> &riassunti();
// The text area at question 13: two line breaks, summary a), two line breaks, summary b).
QString sintesiTesto();
// The lower text area at question 13: summary c), two line breaks, summary d).
QString sintesiTesto2();

} // namespace qv::lettura
