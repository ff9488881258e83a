// FLstampa: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLstampa : public ScreenBase {
    Q_OBJECT
public:
    explicit FLstampa(Application &app);
    void activate() override;
    // The way in from the start screen's archive area, with the class to show.
    void openFromStart(const QString &nomeclasse);
};

} // namespace qv::ui
