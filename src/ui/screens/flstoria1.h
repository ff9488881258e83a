// FLstoria1: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLstoria1 : public ScreenBase {
    Q_OBJECT
public:
    explicit FLstoria1(Application &app);
    void activate() override;
};

} // namespace qv::ui
