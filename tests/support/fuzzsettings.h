// Settings of the seeded fuzz tests: QUORVANE_FUZZ_SECONDS (default 10) bounds the time,
// QUORVANE_FUZZ_SEED replays the seed a failing run printed.
#pragma once

#include <QRandomGenerator>
#include <QtGlobal>

namespace qv::test {

inline int fuzzSeconds()
{
    bool ok = false;
    const int s = qEnvironmentVariableIntValue("QUORVANE_FUZZ_SECONDS", &ok);
    return ok && s > 0 ? s : 10;
}

inline quint64 fuzzSeed()
{
    bool ok = false;
    const quint64 s = qEnvironmentVariable("QUORVANE_FUZZ_SEED").toULongLong(&ok);
    return ok ? s : QRandomGenerator::system()->generate64();
}

} // namespace qv::test
