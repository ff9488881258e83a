// FLfrasi: placeholder until the screen is built.
#pragma once

#include "ui/screenbase.h"

namespace qv::ui {

class FLfrasi : public ScreenBase {
    Q_OBJECT
public:
    explicit FLfrasi(Application &app);
    void activate() override;
};

} // namespace qv::ui
