#include "storage/session.h"

#include "storage/minutes.h"

#include <QDir>
#include <QSqlQuery>

namespace qv {

QString Session::dataFile(const QString &name) const
{
    return QDir(dataDir_).filePath(name);
}

void Session::startStretch()
{
    state.orainizio = clock.now();
}

bool Session::holdRecord()
{
    Recordset *rs = state.rsclasse.get();
    if (!rs || state.segnalibro.isEmpty() || !rs->setBookmark(state.segnalibro))
        return false;
    held_ = Held{owner(), rs->field(QStringLiteral("arrivo")), rs->field(QStringLiteral("sub"))};
    return true;
}

FieldValues Session::expected() const
{
    if (!held_ || held_->owner != owner())
        return {};
    return {{QStringLiteral("arrivo"), held_->arrivo}, {QStringLiteral("sub"), held_->sub}};
}

void Session::noteWritten(const FieldValues &fields)
{
    std::optional<QVariant> arrivo, sub;
    for (const auto &f : fields) {
        if (f.first.compare(QLatin1String("arrivo"), Qt::CaseInsensitive) == 0)
            arrivo = f.second;
        else if (f.first.compare(QLatin1String("sub"), Qt::CaseInsensitive) == 0)
            sub = f.second;
    }
    if (held_ && held_->owner == owner()) {
        if (arrivo)
            held_->arrivo = *arrivo;
        if (sub)
            held_->sub = *sub;
    } else if (arrivo && sub) {
        // A record written here for the first time: its progress is now known.
        held_ = Held{owner(), *arrivo, *sub};
    }
}

void Session::movedOnElsewhere()
{
    pending_.clear();
    held_.reset();
    // Nothing more of this test may reach the record from here.
    state.segnalibro.clear();
    movedOn_ = true;
    dialogs.alert(movedOnMessage());
    nav.show(Screen::FLINIZIO);
    // Each test's screen once; the stages of one test stand together.
    for (size_t i = 0; i < stages().size(); ++i)
        if (i == 0 || stages()[i].screen != stages()[i - 1].screen)
            nav.hide(stages()[i].screen);
}

void Session::warnStoreFailed()
{
    if (!movedOn_)
        dialogs.alert(storeFailedMessage());
}

bool Session::storeStep(const Step &step)
{
    const StageCodes &codes = stageCodes(step.stage);
    const Progress code = step.done ? codes.fine : Progress{codes.arrivo, step.sub};
    const qint16 minuti = state.minuti;
    const QDateTime orafine = state.orafine;
    const QDateTime now = clock.now();
    const int sum = int(minuti) + minuteBoundaries(state.orainizio, now);
    const qint16 total = qint16(sum > 32767 ? 32767 : sum);

    FieldValues fields = step.fields;
    fields.append({QStringLiteral("arrivo"), code.arrivo});
    fields.append({QStringLiteral("sub"), code.sub});
    fields.append({QString::fromLatin1(codes.minuti), total});
    const int mark = pendingAnswers();
    for (const Answer &a : step.answers)
        logAnswer(a);
    state.orafine = now;
    state.minuti = total;
    if (!storePupil(fields)) {
        // The next try counts this stretch again, with these answers scored again.
        state.minuti = minuti;
        state.orafine = orafine;
        dropAnswersFrom(mark);
        warnStoreFailed();
        return false;
    }
    state.orainizio = now;
    return true;
}

void Session::handOver(Stage done)
{
    const StageCodes *next = nextStage(done);
    state.tipoavvio = kAvvioNuovo;
    state.minuti = 0;
    nav.hide(stageCodes(done).screen);
    nav.show(next ? next->screen : Screen::FLINIZIO);
}

bool Session::storePupil(const FieldValues &fields)
{
    Recordset *rs = state.rsclasse.get();
    Database *db = state.dbrisultati.get();
    if (db && db->onServer() && storeFailed_)
        db->reconnect();
    storeFailed_ = true; // until the record is written
    movedOn_ = false;
    // On the server a cursor still on the record does not read it first: the Update says
    // whether it still exists and gives back what it wrote.
    if (!rs || !rs->editAt(state.segnalibro))
        return false;
    // Answers of another pupil (one who left without a store) never reach this record.
    if (!pending_.isEmpty() && pendingOwner_ != state.tabellaclasse + QLatin1Char('/') + state.segnalibro)
        pending_.clear();
    const bool withLog = !pending_.isEmpty();
    if (withLog && (!db || !db->begin())) {
        rs->cancelUpdate();
        return false;
    }
    auto fail = [&] {
        rs->cancelUpdate();
        if (withLog)
            db->rollback();
        return false;
    };
    for (const auto &f : fields)
        if (!rs->setField(f.first, f.second))
            return fail();
    if (!rs->update(expected())) {
        fail();
        if (rs->changedElsewhere()) {
            storeFailed_ = false; // the connection is sound
            movedOnElsewhere();
        }
        return false;
    }
    if (withLog) {
        // The log's rows are no cursor's: the record's cursor keeps its row current.
        if (!writeAnswers(*rs) || !db->commit(true))
            return fail();
        pending_.clear();
    }
    noteWritten(fields);
    storeFailed_ = false;
    return true;
}

// The pending answers as rows of "risposte", keyed by the class table and the record's
// data, inside the transaction of storePupil. Only their net effect is written: one DELETE
// per test erased, then one INSERT of the latest answer to each item not erased after it,
// each statement prepared once per connection.
bool Session::writeAnswers(Recordset &rs)
{
    const QString data = rs.field(QStringLiteral("data")).toString();
    if (data.isEmpty())
        return false;
    QStringList erased;
    QList<Answer> puts;
    for (const Answer &a : std::as_const(pending_)) {
        const auto replaced = [&](const Answer &p) {
            return p.prova == a.prova && (a.numero <= 0 || p.numero == a.numero);
        };
        puts.removeIf(replaced);
        if (a.numero > 0)
            puts.append(a);
        else if (!erased.contains(a.prova))
            erased << a.prova;
    }
    Database &db = *state.dbrisultati;
    for (const QString &prova : std::as_const(erased)) {
        QSqlQuery *erase = db.prepared(QStringLiteral("DELETE FROM risposte WHERE classe = ? AND data = ? AND prova = ?"));
        if (!erase)
            return false;
        erase->addBindValue(state.tabellaclasse);
        erase->addBindValue(data);
        erase->addBindValue(prova);
        const bool ok = erase->exec();
        erase->finish();
        if (!ok)
            return false;
    }
    if (puts.isEmpty())
        return true;
    QStringList rows(puts.size(), QStringLiteral("(?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery *put = db.prepared(QStringLiteral("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) "
                                                "VALUES %1 ON CONFLICT (classe, data, prova, numero) DO UPDATE "
                                                "SET risposta = excluded.risposta, giusta = excluded.giusta, quando = excluded.quando")
                                     .arg(rows.join(QStringLiteral(", "))));
    if (!put)
        return false;
    const QString quando = clock.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (const Answer &a : std::as_const(puts)) {
        put->addBindValue(state.tabellaclasse);
        put->addBindValue(data);
        put->addBindValue(a.prova);
        put->addBindValue(a.numero);
        // An empty answer is text, never NULL.
        put->addBindValue(a.risposta.isNull() ? QStringLiteral("") : a.risposta);
        put->addBindValue(a.giusta ? 1 : 0);
        put->addBindValue(quando);
    }
    const bool ok = put->exec();
    put->finish();
    return ok;
}

void Session::logAnswer(const Answer &a)
{
    if (a.numero <= 0)
        return;
    if (pending_.isEmpty())
        pendingOwner_ = state.tabellaclasse + QLatin1Char('/') + state.segnalibro;
    pending_.append(a);
}

void Session::forgetAnswers(const QString &prova)
{
    if (pending_.isEmpty())
        pendingOwner_ = state.tabellaclasse + QLatin1Char('/') + state.segnalibro;
    pending_.append({prova, 0, {}, false});
}

void Session::dropAnswersFrom(int mark)
{
    if (mark >= 0 && mark < pending_.size())
        pending_.resize(mark);
}

QVariant Session::pupilField(const QString &name) const
{
    return state.rsclasse ? state.rsclasse->field(name) : QVariant();
}

int Session::pupilFieldOrInit(const QString &name, int start)
{
    Recordset *rs = state.rsclasse.get();
    if (!rs || !rs->hasCurrent())
        return start;
    QVariant v = rs->field(name);
    if (v.isNull()) {
        if (rs->edit()) {
            const FieldValues written{{name, start}};
            if (rs->setField(name, start) && rs->update(expected()))
                noteWritten(written);
            else
                rs->cancelUpdate();
        }
        return start;
    }
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : start;
}

void Session::speak(const QString &text)
{
    if (speech_ && speech_->available()) {
        speech_->say(text);
        return;
    }
    if (speechNoticeGiven_)
        return;
    speechNoticeGiven_ = true;
    dialogs.alert(speechUnavailableMessage());
}

void Session::closeAndExit()
{
    if (state.rsclasse)
        state.rsclasse->close();
    if (state.dbrisultati)
        state.dbrisultati->close();
    exit.endProgram();
}

} // namespace qv
