#include "ui/widgets/buttonrow.h"

#include "ui/access/look.h"
#include "ui/screenbase.h"
#include "ui/widgets/clicklabel.h"

#include <QSpacerItem>
#include <algorithm>

namespace qv::ui {

ButtonRow::ButtonRow(ClickLabel *listen, ClickLabel *main, ClickLabel *leave)
    : listen_(listen), main_(main), leave_(leave), row_(new QHBoxLayout),
      gap_(new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum))
{
    keepsRoom(listen_);
    row_->addWidget(listen_);
    row_->addWidget(main_);
    row_->addItem(gap_);
    row_->addWidget(leave_);
    row_->addStretch();
}

void ButtonRow::layOut(const Look &look, int left, int top)
{
    // "Ascolta" from `left`, the screen's button 274 further, "Esco" 280 after it, at the
    // least widths.
    row_->setContentsMargins(look.px(left), look.px(top), 0, 0);
    row_->setSpacing(look.px(10));
    gap_->changeSize(look.px(30), 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    listen_->setMinimumSize(look.px(264), look.px(60));
    // A larger text keeps clear of the frame.
    const int aria = look.px(16);
    main_->setMinimumSize(std::max(look.px(240), main_->sizeHint().width() + aria), look.px(60));
    leave_->setMinimumSize(std::max(look.px(160), leave_->sizeHint().width() + aria), look.px(60));
    listen_->setLineWidth(look.px(2));
    for (ClickLabel *b : {main_, leave_})
        b->setLineWidth(look.px(3));
    row_->invalidate();
}

} // namespace qv::ui
