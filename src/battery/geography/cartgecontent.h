// The places of the map test: the 22 physical features of the physical map and the 20
// regions with their chief towns of the political map, each at the index of its number
// on the map less one.
#pragma once

#include "battery/items.h"

#include <QString>
#include <QStringList>

namespace qv {

inline constexpr int kElementiFisici = 22;
inline constexpr int kRegioni = 20;

const QStringList &elementifisici();
const QStringList &regioni();
const QStringList &capoluoghi();

// The physical features 1..22 as items of category elemfis, key and text the name. The
// political places as items of category elempol: the region of place n is item n, its
// chief town item 20 + n; key and text the name.
const QList<Item> &fisicaItems();
const QList<Item> &politicaItems();
inline int capoluogoItem(int luogo) { return kRegioni + luogo; }

// The map pictures in the data folder.
QString mappaFisica();
QString mappaPolitica();

} // namespace qv
