// FLstoria2: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLstoria2 : public ScreenBase {
    Q_OBJECT
public:
    explicit FLstoria2(Application &app);
    void activate() override;
};

} // namespace qv::ui
