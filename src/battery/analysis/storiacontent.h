// The nine sets of statements of the causal-relation schemes. Sets 1 to 5 are simple
// chains (cause, consequence, further consequence); sets 6 to 9 are complex schemes (two
// causes, their common effect, a final consequence). Each set lists its statements in key
// order: position 1 first.
#pragma once

#include "battery/items.h"

#include <QStringList>

namespace qv {

inline constexpr int kStoriaInsiemi = 9;         // sets 1..9
inline constexpr int kStoriaUltimoSemplice = 5;  // sets 1..5 use the simple scheme

// The statements of set `insieme` (1..9) in key order; empty outside that range.
const QStringList &storiaFrasi(int insieme);

// The number of box `casella` (1..3 or 1..4) of set `insieme` as an item of the test:
// the boxes of sets 1..5 are items 1..15, those of sets 6..9 items 16..31.
int causeItem(int insieme, int casella);
// Every box of every set as an item of category causasem (sets 1..5) or causacom (6..9):
// the key and the text are the statement that belongs in the box (either cause fits
// either upper box of the complex scheme).
const QList<Item> &causeItems();

} // namespace qv
