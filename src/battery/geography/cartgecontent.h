// The places of the map test: the 22 physical features of the physical map and the 20
// regions with their chief towns of the political map, each at the index of its number
// on the map less one.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

inline constexpr int kElementiFisici = 22;
inline constexpr int kRegioni = 20;

const QStringList &elementifisici();
const QStringList &regioni();
const QStringList &capoluoghi();

// The map pictures in the data folder.
QString mappaFisica();
QString mappaPolitica();

} // namespace qv
