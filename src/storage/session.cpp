#include "storage/session.h"

#include "storage/minutes.h"

#include <QDir>

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
    if (!rs || !rs->setBookmark(state.segnalibro) || !rs->edit())
        return false;
    for (const auto &f : fields) {
        if (!rs->setField(f.first, f.second)) {
            rs->cancelUpdate();
            return false;
        }
    }
    return rs->update();
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

void Session::closeAndExit()
{
    if (state.rsclasse)
        state.rsclasse->close();
    if (state.dbrisultati)
        state.dbrisultati->close();
    exit.endProgram();
}

} // namespace qv
