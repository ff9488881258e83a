#include "storage/session.h"

#include "storage/minutes.h"

#include <QDir>
#include <QSqlQuery>

namespace qv {

const char *screenName(Screen s)
{
    switch (s) {
    case Screen::FLINIZIO: return "FLINIZIO";
    case Screen::FrmNOME: return "FrmNOME";
    case Screen::FLETTURA: return "FLETTURA";
    case Screen::FLgrasem: return "FLgrasem";
    case Screen::FLogsem: return "FLogsem";
    case Screen::FLfrasi: return "FLfrasi";
    case Screen::FLstoria1: return "FLstoria1";
    case Screen::FLstoria2: return "FLstoria2";
    case Screen::FLcartge: return "FLcartge";
    case Screen::FLstampa: return "FLstampa";
    }
    return "?";
}

QString Session::dataFile(const QString &name) const
{
    return QDir(dataDir_).filePath(name);
}

void Session::startStretch()
{
    state.orainizio = clock.now();
}

void Session::endStretch()
{
    state.orafine = clock.now();
    const int sum = int(state.minuti) + minuteBoundaries(state.orainizio, state.orafine);
    state.minuti = qint16(sum > 32767 ? 32767 : sum);
}

void Session::endStretchAndContinue()
{
    endStretch();
    state.orainizio = state.orafine;
}

bool Session::storePupil(const FieldValues &fields)
{
    Recordset *rs = state.rsclasse.get();
    Database *db = state.dbrisultati.get();
    if (db && db->onServer() && storeFailed_)
        db->reconnect();
    storeFailed_ = true; // until the record is written
    if (!rs || !rs->setBookmark(state.segnalibro))
        return false;
    // Answers of another pupil (one who left without a store) never reach this record.
    if (!pending_.isEmpty() && pendingOwner_ != state.tabellaclasse + QLatin1Char('/') + state.segnalibro)
        pending_.clear();
    const bool withLog = !pending_.isEmpty();
    if (withLog && (!db || !db->begin()))
        return false;
    auto fail = [&] {
        rs->cancelUpdate();
        if (withLog)
            db->rollback();
        return false;
    };
    if (!rs->edit())
        return fail();
    for (const auto &f : fields)
        if (!rs->setField(f.first, f.second))
            return fail();
    if (!rs->update())
        return fail();
    if (withLog) {
        if (!writeAnswers(*rs) || !db->commit())
            return fail();
        pending_.clear();
    }
    storeFailed_ = false;
    return true;
}

// The pending answers as rows of "risposte", keyed by the class table and the record's
// data, inside the transaction of storePupil.
bool Session::writeAnswers(Recordset &rs)
{
    const QString data = rs.field(QStringLiteral("data")).toString();
    if (data.isEmpty())
        return false;
    const QString quando = clock.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QSqlQuery put(state.dbrisultati->sql());
    QSqlQuery erase(state.dbrisultati->sql());
    if (!put.prepare(QStringLiteral("INSERT INTO risposte (classe, data, prova, numero, risposta, giusta, quando) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (classe, data, prova, numero) DO UPDATE "
                                    "SET risposta = excluded.risposta, giusta = excluded.giusta, quando = excluded.quando"))
        || !erase.prepare(QStringLiteral("DELETE FROM risposte WHERE classe = ? AND data = ? AND prova = ?")))
        return false;
    for (const Answer &a : std::as_const(pending_)) {
        QSqlQuery &q = a.numero > 0 ? put : erase;
        q.addBindValue(state.tabellaclasse);
        q.addBindValue(data);
        q.addBindValue(a.prova);
        if (a.numero > 0) {
            q.addBindValue(a.numero);
            // An empty answer is text, never NULL.
            q.addBindValue(a.risposta.isNull() ? QStringLiteral("") : a.risposta);
            q.addBindValue(a.giusta ? 1 : 0);
            q.addBindValue(quando);
        }
        if (!q.exec())
            return false;
    }
    return true;
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
            if (!rs->setField(name, start) || !rs->update())
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
