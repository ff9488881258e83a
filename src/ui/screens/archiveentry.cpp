// The archive screen's way in: the module's entry point, and its maker for the tests and
// tools that link the archive in.
#include "ui/screens/archiveentry.h"

#include "ui/screens/flstampa.h"

namespace {
qv::ui::ArchiveScreen *makeFLstampa(qv::ui::Application &app)
{
    return new qv::ui::FLstampa(app);
}
} // namespace

extern "C" Q_DECL_EXPORT qv::ui::ArchiveScreen *quorvane_archive_screen(qv::ui::Application &app)
{
    return makeFLstampa(app);
}

namespace qv::ui {

void useLinkedArchive()
{
    setArchiveMaker(&makeFLstampa);
}

} // namespace qv::ui
