// The real seams: message boxes and folder chooser, the system clock, program exit.
#pragma once

#include "storage/session.h"

namespace qv::ui {

class QtDialogs : public Dialogs {
public:
    void alert(const QString &text) override;
    bool ask(const QString &text, Buttons buttons) override;
    QString chooseFolder(const QString &title, const QString &start) override;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

class QtExit : public Exit {
public:
    void endProgram() override;
};

inline constexpr const char *kProgramTitle = "Quorvane";

} // namespace qv::ui
