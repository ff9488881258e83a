#include "insight/statsreport.h"

#include "printout/printlines.h"
#include "storage/wording.h"

#include <QLocale>

namespace qv::insight {

namespace {

constexpr int kWidth = 96; // print columns of the report

QString dash()
{
    return QStringLiteral("—");
}

// Right-aligns `t` so it ends at print column `end`.
void right(PrintLines &p, int end, const QString &t)
{
    p.tab(qMax(1, end - int(t.size()) + 1)).text(t);
}

// `text` broken at blanks into lines of at most `width` characters, each after `indent` blanks.
QStringList wrapped(const QString &text, int width, int indent = 0)
{
    QStringList lines;
    const QString lead(indent, QLatin1Char(' '));
    QString line;
    for (const QString &word : text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
            lines << lead + line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << lead + line;
    return lines;
}

// "A – Avanzato (2): ANNA, BRUNO" wrapped under its label.
void nameList(PrintLines &p, const QString &label, const QStringList &names)
{
    const QString head = QStringLiteral("   ") + label + QStringLiteral(" (%1): ").arg(names.size());
    const int indent = 6;
    QString line = head;
    if (names.isEmpty())
        line += dash();
    for (int i = 0; i < names.size(); ++i) {
        const QString item = names[i].simplified() + (i + 1 < names.size() ? QStringLiteral(", ") : QString());
        if (line.size() + item.size() > kWidth && line.size() > indent) {
            p.text(line).endLine();
            line = QString(indent, QLatin1Char(' '));
        }
        line += item;
    }
    p.text(line).endLine();
}

} // namespace

QString figure(double value, int count)
{
    if (count <= 0)
        return dash();
    return QLocale(QLocale::Italian).toString(value, 'f', 1);
}

Report statsReport(const ClassInsight &ci, const QString &caption)
{
    const ClassStats &s = ci.stats;
    PrintLines p;
    p.text(QStringLiteral("STATISTICHE DELLA CLASSE ") + caption.simplified().toUpper()).endLine();
    p.endLine();
    p.text(QStringLiteral("Alunni con un risultato: %1.   Hanno finito tutte le prove: %2.")
               .arg(s.records)
               .arg(s.complete))
        .endLine();
    p.text(QStringLiteral("Contano solo le prove finite; la scuola riunisce gli alunni di tutte le classi."))
        .endLine();
    p.endLine();

    // Two-line heads, each word over its right-aligned column.
    p.text(QStringLiteral("PROVA"));
    right(p, 42, QStringLiteral("Alunni che"));
    right(p, 58, QStringLiteral("Minuti"));
    right(p, 73, QStringLiteral("Media"));
    right(p, 89, QStringLiteral("Media"));
    p.endLine();
    right(p, 42, QStringLiteral("l'hanno finita"));
    right(p, 58, QStringLiteral("medi"));
    right(p, 73, QStringLiteral("classe"));
    right(p, 89, QStringLiteral("scuola"));
    p.endLine();
    for (int i = 0; i < kPartCount; ++i) {
        const PartStats &ps = s.parts[size_t(i)];
        p.text(parts()[size_t(i)].title + QStringLiteral(" (su %1)").arg(parts()[size_t(i)].maximum));
        right(p, 42, QString::number(ps.finished));
        right(p, 58, figure(ps.meanMinutes, ps.timed));
        right(p, 73, figure(ci.profile.classe[size_t(i)], ci.profile.classeCount[size_t(i)]) + QStringLiteral(" %"));
        right(p, 89, figure(ci.profile.scuola[size_t(i)], ci.profile.scuolaCount[size_t(i)]) + QStringLiteral(" %"));
        p.endLine();
    }
    p.endLine();

    p.text(QStringLiteral("PUNTEGGIO")).tab(36).text(QStringLiteral("su")).tab(41).text(QStringLiteral("Alunni"));
    p.tab(50).text(QStringLiteral("Media")).tab(58).text(QStringLiteral("Mediana")).tab(68).text(QStringLiteral("Minimo"));
    p.tab(77).text(QStringLiteral("Massimo")).tab(88).text(QStringLiteral("Media %")).endLine();
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldStats &f = s.fields[size_t(i)];
        const ScoreField &sf = scoreFields()[size_t(i)];
        p.text(sf.title);
        right(p, 37, QString::number(sf.maximum));
        right(p, 46, QString::number(f.count));
        right(p, 54, figure(f.mean, f.count));
        right(p, 64, figure(f.median, f.count));
        right(p, 73, f.count ? QString::number(f.minimum) : dash());
        right(p, 83, f.count ? QString::number(f.maximum) : dash());
        right(p, 94, f.count ? figure(f.percent, f.count) + QStringLiteral(" %") : dash());
        p.endLine();
    }
    p.endLine();

    p.text(QStringLiteral("LIVELLI")).endLine();
    for (const QString &l : wrapped(levelRule(), kWidth))
        p.text(l).endLine();
    for (int a = 0; a < kAreaCount; ++a) {
        p.endLine();
        p.text(areaCaption(Area(a)).toUpper()).endLine();
        const auto groups = groupsByLevel(ci.levels, Area(a));
        for (int l = 0; l < kLevelCount; ++l)
            nameList(p, levelGroupName(Level(l)), groups[size_t(l)]);
    }

    // The items the class found hardest, from the answers kept.
    const QuestionAnalysis &qa = ci.questions;
    p.endLine();
    p.text(QStringLiteral("LE DIECI DOMANDE PIÙ DIFFICILI PER LA CLASSE (risposte di %1 su %2)")
               .arg(counted(qa.covered, "alunno", "alunni"))
               .arg(qa.records))
        .endLine();
    if (qa.hardest.empty())
        p.text(QStringLiteral("Non ci sono risposte registrate per questa classe.")).endLine();
    // Each item where the pupil met it, its share of right answers, its text, and the wrong
    // answer given most.
    for (const int i : qa.hardest) {
        const ItemStats &s = qa.items[size_t(i)];
        p.text(itemName(s.prova, s.numero));
        right(p, kWidth, QStringLiteral("risposte giuste: %1 %").arg(qRound(100.0 * s.share())));
        p.endLine();
        const QString what = s.contesto.isEmpty() ? s.testo : QStringLiteral("%1 (in \"%2\")").arg(s.testo, s.contesto);
        for (const QString &l : wrapped(what, kWidth, 6))
            p.text(l).endLine();
        if (!s.commonWrong.isEmpty())
            for (const QString &l : wrapped(QStringLiteral("Risposta sbagliata più frequente: %1 (%2)")
                                                .arg(answerText(s.prova, s.numero, s.commonWrong),
                                                     s.commonWrongCount == 1 ? QStringLiteral("1 alunno")
                                                                             : QStringLiteral("%1 alunni").arg(s.commonWrongCount)),
                                            kWidth, 6))
                p.text(l).endLine();
    }

    Report rep;
    rep.title = QStringLiteral("Quorvane - statistiche della classe %1").arg(caption.simplified());
    rep.lines = p.lines();
    rep.columns = kWidth;
    for (const QString &l : rep.lines)
        rep.columns = qMax(rep.columns, int(l.size()));
    return rep;
}

} // namespace qv::insight
