// The ten classes: the caption of each class label and the table that stores it.
// "Prima  I" is stored in "prima-J"; there is no table for the letter I.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

inline constexpr int kClassCount = 10;

// Captions of the start screen's class labels, index 0..9 (two blanks after "Prima").
QString classCaption(int index);
// Table of class index 0..9; empty for an index out of range.
QString classTable(int index);
// All ten class tables, in index order.
QStringList classTables();
bool isClassTable(const QString &table);

} // namespace qv
