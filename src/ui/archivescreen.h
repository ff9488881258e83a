// The results archive as the rest of the program sees it: a screen opened from the start
// screen. Its code (the archive, its statistics and printouts, with Qt Charts and Qt Print
// Support) is, in the program, a module of its own (quorvane-archivio.so), loaded the first
// time the teacher opens the archive: the pupils' program starts without those libraries.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class ArchiveScreen : public ScreenBase {
    Q_OBJECT
public:
    using ScreenBase::ScreenBase;
    ~ArchiveScreen() override;
    // The way in from the start screen's archive area, with the class it names.
    virtual void openFromStart(const QString &nomeclasse) = 0;
};

using ArchiveMaker = ArchiveScreen *(*)(Application &);
// The module's entry point: makes the archive screen.
inline constexpr const char *kArchiveEntry = "quorvane_archive_screen";
// The module's file, beside the program (its build) or in the program's own library folder.
inline constexpr const char *kArchiveModule = "quorvane-archivio.so";

// For the tests and tools that link the archive in: the maker to use instead of the module.
void setArchiveMaker(ArchiveMaker maker);
// The archive screen, from the maker set or from the module; nullptr, with the reason in
// `error`, when the module cannot be found or loaded.
ArchiveScreen *makeArchiveScreen(Application &app, QString *error);

} // namespace qv::ui
