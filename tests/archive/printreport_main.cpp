// Prints a pupil printout and a class table on the system's default printer with the
// program's own print code; used by print_cups.sh against a private CUPS.
// Usage: qv_printreport <job name of the pupil printout> <job name of the class table>
// Exit: 0 both sent to a printer, 2 no printer installed, 1 a print failed.
#include "archive/report.h"
#include "ui/printing/reportprinter.h"

#include <QApplication>
#include <cstdio>

using namespace qv;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "uso: qv_printreport <lavoro-alunno> <lavoro-classe>\n");
        return 1;
    }
    const QList<QVariantMap> records = {
        {{"nome", "ROSSI MARIO"}, {"data", "2026-09-14 09:00:00.000 0a1b2c3d"}, {"arrivo", 10}, {"sub", 20},
         {"lessico1", 5}, {"fatti1", 4}, {"fatti2", 3}, {"inferen1", 6}, {"inferen2", 5}, {"scopi2", 3},
         {"sintesi1", 1}, {"sintesi2", 1}, {"temlettura", 25}, {"gramsem", 40}, {"gramcom", 7}, {"temgram", 14},
         {"logsem", 30}, {"temlogica", 11}, {"frasi1", 9}, {"temfrasi", 6}, {"causasem", 12}, {"causacom", 10},
         {"temcause", 9}, {"cronolog", 18}, {"temcrono", 8}, {"elemfis", 20}, {"temfisica", 5}, {"elempol", 33},
         {"tempolitica", 12}},
        {{"nome", "VERDI GIUSEPPINA MARIA"}, {"data", "2026-09-14 10:00:00.000 ffee0011"}, {"arrivo", 3}, {"sub", 1},
         {"fatti1", 2}, {"fatti2", 2}, {"elempol", 39}},
    };
    ResultMatrix m;
    for (const QVariantMap &rec : records)
        m.append(matrixRow([&](const QString &f) { return rec.value(f); }));

    // Only the printer counts here: a missing one is reported below, not saved as a PDF.
    const ui::PdfChooser noPdf;
    const ui::PrintOutcome a = ui::printReport(pupilReport(m, 1), noPdf, false, QString::fromLocal8Bit(argv[1]));
    const ui::PrintOutcome b = ui::printReport(classReport(m, QStringLiteral("prima  C")), noPdf, false,
                                               QString::fromLocal8Bit(argv[2]));
    if (a.pdf || b.pdf) {
        std::fprintf(stderr, "nessuna stampante installata\n");
        return 2;
    }
    if (!a.ok || !b.ok) {
        std::fprintf(stderr, "stampa non riuscita su \"%s\"\n", qPrintable(a.printer));
        return 1;
    }
    std::printf("stampato su %s\n", qPrintable(a.printer));
    return 0;
}
