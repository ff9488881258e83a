// The nine sets of statements of the causal-relation schemes. Sets 1 to 5 are simple
// chains (cause, consequence, further consequence); sets 6 to 9 are complex schemes (two
// causes, their common effect, a final consequence). Each set lists its statements in key
// order: position 1 first.
#pragma once

#include <QStringList>

namespace qv {

inline constexpr int kStoriaInsiemi = 9;         // sets 1..9
inline constexpr int kStoriaUltimoSemplice = 5;  // sets 1..5 use the simple scheme

// The statements of set `insieme` (1..9) in key order; empty outside that range.
const QStringList &storiaFrasi(int insieme);

} // namespace qv
