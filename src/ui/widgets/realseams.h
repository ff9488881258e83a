// The real seams: message boxes, folder chooser and the tools window, the system clock,
// program exit. The real speech is QtSpeech (qtspeech.h).
#pragma once

#include "seams/seams.h"

namespace qv::ui {

class QtDialogs : public Dialogs {
public:
    void alert(const QString &text) override;
    bool ask(const QString &text, Buttons buttons) override;
    QString chooseFolder(const QString &title, const QString &start) override;
    QString chooseSaveFile(const QString &title, const QString &start, const QString &filter) override;
    QStringList askPasswords(const QString &title, const QString &text, const QStringList &labels) override;
    QStringList askLogin(const QString &title, const QString &text, const QString &login) override;
    std::optional<PupilTools> askTools(const QString &nome, const PupilTools &current) override;
    DiskSecret askDiskPassphrase(const QString &text, bool exporting) override;
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

// Loads Qt's own Italian texts (file and print dialogs, standard buttons) from the
// system's Qt translations folder. false when the catalogue is missing: the dialogs then
// stay in English, which is worth a warning but no reason to stop.
bool installItalianTranslations();

} // namespace qv::ui
