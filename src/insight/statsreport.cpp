#include "insight/statsreport.h"

#include "archive/printlines.h"
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

// "Avanzato: ANNA, BRUNO" wrapped under its label.
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

    p.text(QStringLiteral("PROVA")).tab(34).text(QStringLiteral("Finita da")).tab(48).text(QStringLiteral("Minuti medi"));
    p.tab(64).text(QStringLiteral("Media classe")).tab(80).text(QStringLiteral("Media scuola")).endLine();
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

    p.text(QStringLiteral("LIVELLI: Avanzato dall'80 % del massimo, Intermedio dal 60 al 79 %, Base dal 40 al 59 %,"))
        .endLine();
    p.text(QStringLiteral("Iniziale sotto il 40 %. Un'area con una prova non finita non ha livello.")).endLine();
    for (int a = 0; a < kAreaCount; ++a) {
        p.endLine();
        p.text(areaName(Area(a)).toUpper() + QStringLiteral(" (su %1 punti)").arg(areaMaximum(Area(a)))).endLine();
        const auto groups = groupsByLevel(ci.levels, Area(a));
        for (int l = 0; l < kLevelCount; ++l) {
            const QString label = Level(l) == Level::NonFinita ? QStringLiteral("Prove non finite") : levelName(Level(l));
            nameList(p, label, groups[size_t(l)]);
        }
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
    for (const int i : qa.hardest) {
        const ItemStats &s = qa.items[size_t(i)];
        QString what = s.contesto.isEmpty() ? s.testo : QStringLiteral("%1 (in \"%2\")").arg(s.testo, s.contesto);
        if (what.size() > 60)
            what = what.left(59) + QChar(0x2026);
        p.text(QStringLiteral("%1 %2").arg(testTitle(s.prova)).arg(s.numero)).tab(24).text(what);
        p.tab(86).text(QStringLiteral("%1 %").arg(qRound(100.0 * s.share()))).endLine();
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
