#include "ui/screens/flgrasem.h"

namespace qv::ui {

FLgrasem::FLgrasem(Application &app)
    : AnalysisScreen(app, QStringLiteral("Analisi grammaticale semplificata"),
                     AnalysisLook{QStringLiteral("Clicca sulle caselle azzurre e, tenendo premuto il tasto del "
                                                 "mouse,  trascinale  nelle caselle grigie."),
                                  QColor(255, 192, 192), QColor(204, 255, 255)})
{
}

} // namespace qv::ui
