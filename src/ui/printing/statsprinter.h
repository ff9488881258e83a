// Printing the class statistics: the text report of the core, then the class profile and
// the score bands of every part as charts, on the default printer or into a PDF file.
#pragma once

#include "insight/classstats.h"
#include "ui/printing/reportprinter.h"

namespace qv::ui {

bool paintStatistics(QPrinter &printer, const insight::ClassInsight &ci, const QString &caption);

PrintOutcome printStatistics(const insight::ClassInsight &ci, const QString &caption, const PdfChooser &choosePdf,
                             bool forcePdf = false, const QString &docName = {});

} // namespace qv::ui
