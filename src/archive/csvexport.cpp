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

QByteArray quadroCsv(const ResultMatrix &v, const std::vector<insight::PupilLevels> &livelli)
{
    QStringList head = {QStringLiteral("Alunno")};
    for (const QString &t : titoli())
        head << t;
    head << QStringLiteral("Minuti lettura") << QStringLiteral("Minuti grammatica") << QStringLiteral("Minuti logica")
         << QStringLiteral("Minuti frasi") << QStringLiteral("Minuti cause") << QStringLiteral("Minuti cronologia")
         << QStringLiteral("Minuti carta fisica") << QStringLiteral("Minuti carta politica");
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
    QString out = QStringLiteral("Prova;Numero;Testo;Frase;Risposta giusta;Giuste;Sbagliate;Vuote;Percentuale giuste;"
                                 "Risposta sbagliata più data;Volte\r\n");
    for (const insight::ItemStats &s : a.items) {
        const QStringList row = {field(insight::testTitle(s.prova)), QString::number(s.numero), field(s.testo),
                                 field(s.contesto), field(s.chiave), QString::number(s.right), QString::number(s.wrong),
                                 QString::number(s.empty),
                                 s.answered() > 0 ? QString::number(qRound(100.0 * s.share())) : QString(),
                                 field(s.commonWrong), s.commonWrongCount > 0 ? QString::number(s.commonWrongCount) : QString()};
        out += row.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace qv
