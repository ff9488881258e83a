// FLstoria2: the chronology of events. Ten events of a half stand in a column with an
// empty box each; the pupil drags each date of the right-hand column onto its event. At
// larger text the column of events scrolls; the dates stay in sight.
#pragma once

#include "battery/analysis/storia2model.h"
#include "ui/screenbase.h"

#include <QLabel>
#include <array>

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


private:
    void Label2_DragDrop(int index, int source);
    void Labseguente_Click();
    void redraw();
    void placeForText();

    Storia2Model model_;
};

} // namespace qv::ui
