// The fixed content of the sentence-comprehension test: twelve premises, each with four
// candidate conclusions of which exactly one follows, and the key.
#pragma once

#include "battery/items.h"

#include <QString>
#include <array>

namespace qv::frasi {

inline constexpr int kDomande = 12;
inline constexpr int kRighe = 51;   // room for rows 0..50, as the test's tables have

// Row q (1..12): column 0 the premise, columns 1..4 the conclusions numbered 1..4 on
// screen; column 5 and the other rows are empty.
using Domande = std::array<std::array<QString, 6>, kRighe>;
// Row q: the number 1..4 of the conclusion that follows from premise q; 0 elsewhere.
using Soluzioni = std::array<qint16, kRighe>;

const Domande &domande();
const Soluzioni &soluzioni();
// Premises 1..12 as items of category frasi1: the key is the number of the conclusion
// that follows, the text the premise.
const QList<Item> &items();

} // namespace qv::frasi
