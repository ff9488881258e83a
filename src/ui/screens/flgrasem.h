// FLgrasem: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLgrasem : public ScreenBase {
    Q_OBJECT
public:
    explicit FLgrasem(Application &app);
    void activate() override;
};

} // namespace qv::ui
