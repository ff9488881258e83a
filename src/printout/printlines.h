// Plain text laid out by print column, as a line printer places it: columns count from 1,
// a tab to a column left of the current position starts a new line, and a number is
// printed with a leading blank in place of its sign and a trailing blank.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

class PrintLines {
public:
    // Moves to print column `column` (1-based), starting a new line when the current
    // position is already past it.
    PrintLines &tab(int column);
    PrintLines &text(const QString &t);
    PrintLines &number(int n);
    // Ends the current line (an empty line when nothing was printed on it).
    PrintLines &endLine();
    // The lines printed so far, the unfinished one included.
    QStringList lines() const;

private:
    QStringList done_;
    QString current_;
    bool open_ = false; // something was printed on the current line
};

} // namespace qv
