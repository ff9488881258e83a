// The history screens' row of raised buttons at the foot: "Ascolta" first (its room kept while
// it is hidden, so the others keep their places), the screen's own button, a gap, "Esco", then
// free space. Its lengths come from the look; the buttons widen as their texts need.
#pragma once

#include <QHBoxLayout>

class QSpacerItem;

namespace qv::ui {

class ClickLabel;
struct Look;

class ButtonRow {
public:
    ButtonRow(ClickLabel *listen, ClickLabel *main, ClickLabel *leave);

    QHBoxLayout *layout() const { return row_; }
    // The row at `look`, `left` and `top` of the design from its cell's edges.
    void layOut(const Look &look, int left, int top);

private:
    ClickLabel *listen_;
    ClickLabel *main_;
    ClickLabel *leave_;
    QHBoxLayout *row_;
    QSpacerItem *gap_;
};

} // namespace qv::ui
