// The twenty events of the chronology test with the captions of their dates, and the
// two halves of ten: the events in a fixed mixed order, their dates in chronological order.
#pragma once

#include "battery/items.h"

#include <QString>
#include <array>

namespace qv {

inline constexpr int kCronologiaEventi = 20;
inline constexpr int kCronologiaRighe = 10;  // events of one half

// Event n (1..20): its text and the exact caption of its date; empty outside that range.
const QString &cronologiaEvento(int n);
const QString &cronologiaData(int n);

// Half 1 or 2 (anything else is half 1): the events shown in rows 0..9, top to bottom,
// and the events whose dates stand in the date column, top to bottom.
const std::array<int, kCronologiaRighe> &cronologiaEventiMeta(int parte);
const std::array<int, kCronologiaRighe> &cronologiaDateMeta(int parte);

// Events 1..20 as items of category cronolog: the key is the caption of the date, the
// text the event.
const QList<Item> &cronologiaItems();

} // namespace qv
