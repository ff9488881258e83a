#include "ui/screens/flogsem.h"

namespace qv::ui {

FLogsem::FLogsem(Application &app)
    : AnalysisScreen(app, QStringLiteral("Analisi logica semplificata"),
                     AnalysisLook{QStringLiteral("Clicca sulle caselle azzurre e, tenendo premuto il tasto del "
                                                 "mouse, trascinale  nelle caselle grigie."),
                                  QColor(255, 224, 192), QColor(192, 192, 255)})
{
}

void FLogsem::newSentence()
{
    for (QLabel *b : Label2)
        setBack(b, QColor(192, 192, 192));
}

} // namespace qv::ui
