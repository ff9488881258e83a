#include "battery/ascolto.h"

#include "battery/analysis/analysismodel.h"
#include "battery/analysis/storia1model.h"
#include "battery/analysis/storia2model.h"
#include "battery/comprehension/frasimodel.h"
#include "battery/comprehension/letturamodel.h"
#include "battery/geography/cartgemodel.h"

#include <QRegularExpression>
#include <QStringList>

namespace qv::ascolto {

namespace {

// Line breaks of the content are pauses for the voice.
QString spoken(QString s)
{
    s.replace(QChar(13), QChar('\n'));
    return s.trimmed();
}

// "Fatto 1: …. Fatto 2: …." for a list read aloud (without a name, the entry alone), each
// entry ended by a full stop unless it ends a sentence already; empty entries are left out.
QString numbered(const QStringList &entries, const QStringList &names)
{
    QStringList parts;
    for (int i = 0; i < entries.size() && i < names.size(); ++i) {
        const QString e = spoken(entries.at(i));
        if (e.isEmpty())
            continue;
        const bool ended = e.endsWith(QLatin1Char('.')) || e.endsWith(QLatin1Char('?')) || e.endsWith(QLatin1Char('!'));
        const QString name = names.at(i).isEmpty() ? QString() : names.at(i) + QStringLiteral(": ");
        parts << name + e + (ended ? QString() : QStringLiteral("."));
    }
    return parts.join(QLatin1Char('\n'));
}

// "Fatto 1" … "Fatto n"; "1" … "n" without a word.
QStringList numeri(const QString &parola, int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << (parola.isEmpty() ? QString::number(i) : QStringLiteral("%1 %2").arg(parola).arg(i));
    return out;
}

// The letter of an option as the screen shows it ("a) …", at the start of a line): a voice
// reads a lone "a)" as the preposition, so it is read "Risposta a: …".
const QRegularExpression &optionLetter()
{
    static const QRegularExpression re(QStringLiteral("^[ \\t]*([a-d])\\)[ \\t]*"), QRegularExpression::MultilineOption);
    return re;
}

} // namespace

bool shown(const PupilTools &tools, bool passage)
{
    return passage ? tools.passagesAloud() : tools.readAloud;
}

QString domanda(const LetturaModel &m)
{
    return spoken(m.labris(0));
}

QString risposte(const LetturaModel &m)
{
    if (m.layout() == LetturaModel::Layout::Sintesi)
        return spoken(m.testo() + QLatin1Char('\n') + m.testo2()).replace(optionLetter(), QStringLiteral("Risposta \\1: "));
    QStringList testi, nomi;
    for (int k = 1; k <= 4; ++k) {
        const QString t = spoken(m.labris(k));
        const QRegularExpressionMatch letter = optionLetter().match(t);
        nomi << (letter.hasMatch() ? QStringLiteral("Risposta ") + letter.captured(1) : QString());
        testi << t.mid(letter.capturedLength());
    }
    return numbered(testi, nomi);
}

bool hasBrano(const LetturaModel &m)
{
    return m.layout() != LetturaModel::Layout::Sintesi;
}

QString brano(const LetturaModel &m)
{
    return hasBrano(m) ? spoken(m.testo()) : QString();
}

QString premessa(const FrasiModel &m)
{
    return spoken(m.premessa());
}

QString conclusioni(const FrasiModel &m)
{
    // As the screen numbers them, beside their boxes.
    return numbered({m.conclusione(0), m.conclusione(1), m.conclusione(2), m.conclusione(3)}, numeri(QString(), 4));
}

QString frase(const AnalysisModel &m)
{
    QStringList parole;
    for (int r = 0; r < m.nelementi() && r < AnalysisModel::kRighe; ++r)
        parole << m.element(r).trimmed();
    return parole.join(QLatin1Char(' ')).simplified();
}

QString categorie(const AnalysisModel &m)
{
    return QStringLiteral("Le caselle da trascinare: %1.").arg(m.categorie().join(QStringLiteral(", ")));
}

QString affermazioni(const Storia1Model &m)
{
    QStringList frasi;
    for (int i = 0; i < m.caselle(); ++i)
        frasi << m.frase(i);
    return numbered(frasi, numeri(QStringLiteral("Frase"), m.caselle()));
}

QString eventi(const Storia2Model &m)
{
    QStringList fatti;
    for (int r = 0; r < Storia2Model::kRighe; ++r)
        fatti << m.evento(r);
    return numbered(fatti, numeri(QStringLiteral("Fatto"), Storia2Model::kRighe));
}

QString luogo(const CartgeModel &m)
{
    QString t = m.political()
        ? QStringLiteral("Numero %1. Cerca il numero %1 sulla carta politica e scegli negli elenchi la regione e il "
                         "suo capoluogo.")
              .arg(m.numero)
        : QStringLiteral("Numero %1. Cerca il numero %1 sulla carta fisica e scegli nell'elenco il suo nome.")
              .arg(m.numero);
    QStringList scelte;
    if (!m.label2IsPrompt() && !m.Label2.trimmed().isEmpty())
        scelte << m.Label2.trimmed();
    if (m.political() && !m.Label1.trimmed().isEmpty())
        scelte << m.Label1.trimmed();
    if (!scelte.isEmpty())
        t += QStringLiteral("\nHai scelto: %1.").arg(scelte.join(QStringLiteral(", ")));
    return t;
}

} // namespace qv::ascolto
