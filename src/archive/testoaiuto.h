// The explanation shown before every export and import.
#pragma once

#include <QString>

namespace qv {

// The text, its lines broken by carriage return and line feed.
QString testoaiuto();

} // namespace qv
