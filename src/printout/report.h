// A printout as text lines placed by print column (PrintLines makes them): what the archive's
// printouts and the class statistics hand to the renderer in the user interface, which paints
// them in a monospaced font.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

struct Report {
    QString title;          // document name for the print queue
    bool landscape = false; // the class table is printed across the page
    int columns = 80;       // the widest print column the lines reach
    QStringList lines;
};

} // namespace qv
