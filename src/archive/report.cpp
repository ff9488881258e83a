#include "archive/report.h"

#include "printout/printlines.h"
#include "storage/strumenti.h"
#include "storage/wording.h"

namespace qv {

const std::array<QString, 14> &titoli()
{
    static const std::array<QString, 14> t = {
        QStringLiteral("fatti"), QStringLiteral("lessi"), QStringLiteral("infer"), QStringLiteral("scopi"),
        QStringLiteral("sinte"), QStringLiteral("GRsem"), QStringLiteral("GRcom"), QStringLiteral("ANsem"),
        QStringLiteral("logic"), QStringLiteral("CAUse"), QStringLiteral("CAUco"), QStringLiteral("crono"),
        QStringLiteral("elFIS"), QStringLiteral("elPOL")};
    return t;
}

const std::array<int, 14> &massimi()
{
    static const std::array<int, 14> m = {9, 6, 13, 4, 2, 53, 0, 34, 12, 15, 16, 20, 22, 40};
    return m;
}

int classTableColumn(int k)
{
    return kFirstScoreColumn + k; // columns 3..16 in order
}

namespace {
// `text` broken at blanks into lines of at most `width` characters, each after `indent`.
QStringList wrapped(const QString &text, int width, const QString &indent)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent.size() + line.size() + 1 + word.size() > width) {
            lines << indent + line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << indent + line;
    return lines;
}
} // namespace

Report pupilReport(const ResultMatrix &v, int r, const PupilTools &tools)
{
    auto c = [&](int col) { return v.cell(r, col); };
    PrintLines p;
    p.endLine().endLine();
    p.tab(7).text(c(1)).tab(45).text(shownStamp(c(2))).endLine();
    if (tools.any()) {
        p.endLine();
        for (const QString &l : wrapped(toolsLine(tools), 78, QStringLiteral("   ")))
            p.text(l).endLine();
    }
    p.endLine().endLine();
    p.text(QStringLiteral("   COMPRENSIONE DELLA LETTURA.   Minuti: ") + c(19)).endLine();
    p.endLine();
    p.text(QStringLiteral("   Individuazione di fatti espliciti: ") + c(3) + QStringLiteral("  su 9")).endLine();
    p.text(QStringLiteral("   Uso del contesto per individuare il significato dei termini: ") + c(4) + QStringLiteral("  su 6")).endLine();
    p.text(QStringLiteral("   Capacità di compiere inferenze: ") + c(5) + QStringLiteral("  su 13")).endLine();
    p.text(QStringLiteral("   Individuazione degli scopi degli autori: ") + c(6) + QStringLiteral("  su 4")).endLine();
    p.text(QStringLiteral("   Individuazione delle sintesi corrette: ") + c(7) + QStringLiteral("  su 2")).endLine();
    p.endLine().endLine();
    p.text(QStringLiteral("   ABILITA' GRAMMATICALI.   Minuti: ") + c(20) + QStringLiteral(" + ") + c(21)).endLine();
    p.endLine();
    p.text(QStringLiteral("   Analisi grammaticale semplificata: ") + c(8) + QStringLiteral("  su 53")).endLine();
    p.text(QStringLiteral("   Analisi logica semplificata: ") + c(10) + QStringLiteral("  su 34")).endLine();
    p.endLine().endLine();
    p.text(QStringLiteral("   Abilità logico-linguistiche: ") + c(11) + QStringLiteral("  su 12.  Minuti: ") + c(22)).endLine();
    p.endLine().endLine();
    p.text(QStringLiteral("   STORIA  Minuti (rel.causali): ") + c(23)).endLine();
    p.endLine();
    p.text(QStringLiteral("   Individuazione di relazioni causali semplici: ") + c(12) + QStringLiteral("  su 15")).endLine();
    p.text(QStringLiteral("   Individuazione di relazioni causali più complesse: ") + c(13) + QStringLiteral("  su 16")).endLine();
    p.text(QStringLiteral("   Abbinamento di date e avvenimenti: ") + c(14) + QStringLiteral("  su 20.   Minuti: ") + c(24)).endLine();
    p.endLine().endLine();
    p.text(QStringLiteral("   GEOGRAFIA")).endLine();
    p.endLine();
    p.text(QStringLiteral("   Individuazione di elementi fisici dell'Italia: ") + c(15) + QStringLiteral("  su 22.   Minuti: ") + c(25)).endLine();
    p.text(QStringLiteral("   Individuazione di regioni e capoluoghi di province: ") + c(16) + QStringLiteral("  su 40.   Minuti: ") + c(26)).endLine();
    p.endLine();

    Report rep;
    rep.title = QStringLiteral("Quorvane - risultati di %1").arg(c(1).trimmed());
    rep.lines = p.lines();
    rep.columns = 80;
    for (const QString &l : rep.lines)
        rep.columns = qMax(rep.columns, int(l.size()));
    return rep;
}

Report classReport(const ResultMatrix &v, const QString &nomeclasse)
{
    PrintLines p;
    p.tab(50).text(nomeclasse).endLine();
    p.endLine();
    int x = 15;
    for (int k = 0; k < 14; ++k) {
        x += 12;
        p.tab(x).text(titoli()[size_t(k)]);
    }
    // Not ended: the tab back to column 11 starts the maxima line.
    p.tab(11).text(QStringLiteral("su"));
    x = 16;
    for (int k = 0; k < 14; ++k) {
        x += 12;
        p.tab(x).number(massimi()[size_t(k)]);
    }
    p.endLine();
    for (int i = 1; i <= v.numalunni(); ++i) {
        p.tab(3).text(v.cell(i, 1).left(15));
        x = 17;
        for (int k = 0; k < 14; ++k) {
            x += 12;
            p.tab(x).text(v.cell(i, classTableColumn(k)));
        }
        p.endLine();
    }

    Report rep;
    rep.title = QStringLiteral("Quorvane - quadro della classe %1").arg(nomeclasse.simplified());
    rep.landscape = true; // the one page setting of this printout: orientation 2
    rep.lines = p.lines();
    rep.columns = 190;
    for (const QString &l : rep.lines)
        rep.columns = qMax(rep.columns, int(l.size()));
    return rep;
}

} // namespace qv
