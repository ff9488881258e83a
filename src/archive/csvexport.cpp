#include "archive/csvexport.h"

#include "archive/report.h"

#include <QHash>
#include <QStringList>

namespace qv {

namespace {
// A text a spreadsheet would take for a formula (a name typed as "=HYPERLINK(...)") is
// given a leading apostrophe, so it opens as text; numbers stay numbers.
QString neutralised(const QString &t)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (t.isEmpty() || !formulaStarts.contains(t.front()))
        return t;
    // A signed number ("-3") is data, not a formula; toDouble alone would also take
    // "\t5", whose blank it skips.
    bool number = false;
    if (t.front() == QLatin1Char('-') || t.front() == QLatin1Char('+'))
        t.toDouble(&number);
    return number ? t : QLatin1Char('\'') + t;
}

QString field(const QString &text)
{
    const QString t = neutralised(text);
    if (!t.contains(QLatin1Char(';')) && !t.contains(QLatin1Char('"')) && !t.contains(QLatin1Char('\n'))
        && !t.contains(QLatin1Char('\r')))
        return t;
    QString q = t;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

const std::array<QString, 14> &quadroCsvHeads()
{
    // The printout's columns, k = 0..13, in words; the maxima are the points each test gives.
    static const std::array<QString, 14> h = {
        QStringLiteral("Lettura: fatti (su 9)"),
        QStringLiteral("Lettura: lessico (su 6)"),
        QStringLiteral("Lettura: inferenze (su 13)"),
        QStringLiteral("Lettura: scopi dell'autore (su 4)"),
        QStringLiteral("Lettura: sintesi (su 2)"),
        QStringLiteral("Analisi grammaticale (su 53)"),
        // Carried by the archive from older disks; no test of this program writes it.
        QStringLiteral("Analisi grammaticale complessa (nessuna prova la assegna)"),
        QStringLiteral("Analisi logica (su 34)"),
        QStringLiteral("Comprensione di frasi (su 12)"),
        QStringLiteral("Relazioni causali semplici (su 15)"),
        QStringLiteral("Relazioni causali complesse (su 16)"),
        QStringLiteral("Cronologia: date e avvenimenti (su 20)"),
        QStringLiteral("Carta fisica: elementi fisici (su 22)"),
        QStringLiteral("Carta politica: regioni e capoluoghi (su 40)"),
    };
    return h;
}

QByteArray quadroCsv(const ResultMatrix &v, const std::vector<insight::PupilLevels> &livelli)
{
    QStringList head = {QStringLiteral("Alunno")};
    for (const QString &t : quadroCsvHeads())
        head << t;
    // Minutes in the order of the matrix's columns 19..26, which is the parts' order.
    for (const insight::PartInfo &p : insight::parts())
        head << QStringLiteral("Minuti: ") + p.title.toLower();
    for (int a = 0; a < insight::kAreaCount; ++a)
        head << (a == int(insight::Area::Complessivo) ? QStringLiteral("Livello complessivo")
                                                      : QStringLiteral("Livello ") + insight::areaName(insight::Area(a)));
    // Matched by data, unique within a class table, so a row added meanwhile cannot shift them.
    QHash<QString, const insight::PupilLevels *> byData;
    for (const insight::PupilLevels &l : livelli)
        byData.insert(l.data, &l);
    QString out = head.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    for (int r = 1; r <= v.numalunni(); ++r) {
        QStringList row = {field(v.cell(r, 1))};
        for (int k = 0; k < 14; ++k)
            row << field(v.cell(r, classTableColumn(k)));
        for (int c = 19; c <= 26; ++c)
            row << field(v.cell(r, c));
        const insight::PupilLevels *l = byData.value(v.cell(r, 2));
        for (int a = 0; a < insight::kAreaCount; ++a)
            row << (l ? insight::levelName(l->levels[size_t(a)]) : QString());
        out += row.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QByteArray domandeCsv(const insight::QuestionAnalysis &a)
{
    QString out = QStringLiteral("Prova;Domanda;Testo;Frase;Risposta giusta;Giuste;Sbagliate;Vuote;Percentuale giuste;"
                                 "Risposta sbagliata più frequente;Volte\r\n");
    for (const insight::ItemStats &s : a.items) {
        const QStringList row = {field(insight::testTitle(s.prova)), field(insight::itemPlace(s.prova, s.numero)),
                                 field(s.testo), field(s.contesto),
                                 field(insight::answerText(s.prova, s.numero, s.chiave)), QString::number(s.right),
                                 QString::number(s.wrong), QString::number(s.empty),
                                 s.answered() > 0 ? QString::number(qRound(100.0 * s.share())) : QString(),
                                 field(insight::answerText(s.prova, s.numero, s.commonWrong)),
                                 s.commonWrongCount > 0 ? QString::number(s.commonWrongCount) : QString()};
        out += row.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace qv
