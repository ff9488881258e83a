// FLstoria2: the chronology of events. Ten events of a half stand in a column with an
// empty box each; the pupil drags each date of the right-hand column onto its event. The
// events and their boxes lie in a box that scrolls when the larger text makes them taller
// than it; the dates stay in sight, their column as wide as the widest date needs.
#pragma once

#include "battery/analysis/storia2model.h"
#include "ui/screenbase.h"
#include "ui/widgets/buttonrow.h"

#include <QLabel>
#include <array>
#include <memory>

class QBoxLayout;
class QGridLayout;

namespace qv::ui {

class ClickLabel;
class DragDropBoard;
class RowPane;

class FLstoria2 : public ScreenBase {
    Q_OBJECT
public:
    explicit FLstoria2(Application &app);
    void activate() override;

    Storia2Model &model() { return model_; }

    QLabel *Labtitolo;                  // the instruction, large
    RowPane *eventi;                    // the events and their boxes, scrolling at larger text
    std::array<QLabel *, 10> Label1{};  // events
    std::array<QLabel *, 10> Label2{};  // date boxes: drop targets
    std::array<QLabel *, 10> Label3{};  // dates: drag sources
    ClickLabel *Labseguente;
    ClickLabel *Labesco;
    ClickLabel *Labascolta;             // "Ascolta": the events of the half
    DragDropBoard *board;

protected:
    void layOut(const Look &look) override;

private:
    void Label2_DragDrop(int index, int source);
    void Labseguente_Click();
    void redraw();
    // The title across the dates too, or (at larger text) over the events only, the dates'
    // column then reaching the top.
    void arrange(bool larger);
    // The dates' column as wide as the widest date of the half needs, the boxes as its widest
    // word (a box may show a date on two lines).
    void fitDates();
    // The gap between the events' box and the dates, which its scroll bar takes when shown.
    void fitGap();

    Storia2Model model_;
    QGridLayout *page_ = nullptr, *rows_ = nullptr;
    QBoxLayout *dates_ = nullptr;
    std::unique_ptr<ButtonRow> buttons_;
    int arranged_ = -1; // whether arranged for larger text (-1: not yet)
};

} // namespace qv::ui
