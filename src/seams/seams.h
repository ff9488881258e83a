// The seams between the models and the outside world: dialogs, speech, the clock, the end of
// the program and the screen registry. The real ones live in ui, tests use fakes.
#pragma once

#include "seams/pupiltools.h"
#include "seams/screen.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace qv {

class Dialogs {
public:
    enum class Buttons { OkCancel, YesNo };
    virtual ~Dialogs() = default;
    // A message box with an OK button only, no icon, the program's title.
    virtual void alert(const QString &text) = 0;
    // true for OK / Yes.
    virtual bool ask(const QString &text, Buttons buttons) = 0;
    // An existing folder, or empty when the user cancels.
    virtual QString chooseFolder(const QString &title, const QString &start) = 0;
    // A file to save into: the save dialog opens on `start` (a folder and a proposed name),
    // offers files matching `filter` ("Documenti PDF (*.pdf)") and asks before replacing one.
    // The path chosen, or empty when the user cancels.
    virtual QString chooseSaveFile(const QString &title, const QString &start, const QString &filter) = 0;
    // A window titled `title` with `text` and one masked field per label; the fields'
    // contents on OK, an empty list on Cancel.
    virtual QStringList askPasswords(const QString &title, const QString &text, const QStringList &labels) = 0;
    // A window titled `title` with `text`, a login field (filled with `login`) and a masked
    // password field: {login, password} on OK, an empty list on Cancel.
    virtual QStringList askLogin(const QString &title, const QString &text, const QString &login) = 0;
    // The window of a pupil's compensatory tools (FrmSTRUMENTI), filled with `current`;
    // the tools as the teacher left them on OK, nothing on Cancel.
    virtual std::optional<PupilTools> askTools(const QString &nome, const PupilTools &current) = 0;
    // The passphrase of a sealed export disk, in a window with `text`: typed twice at an
    // export (`exporting`), where a second button chooses instead a plain disk for a
    // computer with an older version; typed once at an import.
    struct DiskSecret {
        enum class Choice { Cancel, Sealed, Plain } choice = Choice::Cancel;
        QString passphrase;
        QString repeated; // the second field at an export
    };
    virtual DiskSecret askDiskPassphrase(const QString &text, bool exporting) = 0;
};

// Speech synthesis for the pupils' "Ascolta" buttons.
class Speech {
public:
    virtual ~Speech() = default;
    // Whether an Italian voice can speak here (a speech service is running).
    virtual bool available() = 0;
    // Speaks `text`, cutting short whatever is being spoken.
    virtual void say(const QString &text) = 0;
    // A pupil with read-aloud has begun: a speech that takes time to start starts now.
    virtual void prepare() {}
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class Exit {
public:
    virtual ~Exit() = default;
    virtual void endProgram() = 0;
};

// Screen registry as the models see it.
class Navigator {
public:
    virtual ~Navigator() = default;
    virtual void show(Screen s) = 0;
    virtual void hide(Screen s) = 0;
    virtual void unload(Screen s) = 0;
};

} // namespace qv
