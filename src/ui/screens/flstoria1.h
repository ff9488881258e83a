// FLstoria1: the causal-relation schemes. The statements of a set stand above a scheme of
// boxes joined by arrows; the pupil drags each statement into its box. Statements, boxes
// and arrows lie in one box that scrolls when the larger text makes them taller than it;
// with larger text the statements stand in a column beside the scheme's.
#pragma once

#include "battery/analysis/storia1model.h"
#include "ui/screenbase.h"
#include "ui/widgets/buttonrow.h"

#include <QLabel>
#include <array>
#include <memory>

class QBoxLayout;

namespace qv::ui {

class ClickLabel;
class DragDropBoard;
class LineShape;
class RowPane;

class FLstoria1 : public ScreenBase {
    Q_OBJECT
public:
    explicit FLstoria1(Application &app);
    void activate() override;

    Storia1Model &model() { return model_; }

    QLabel *Labtitolo;                  // the instruction, large
    RowPane *riquadro;                  // holds the statements, the boxes and the arrows
    std::array<QLabel *, 4> Label2{};   // statements: drag sources
    std::array<QLabel *, 4> Label1{};   // scheme boxes: drop targets
    LineShape *Line1, *Line2, *Line3, *Line4, *Line5, *Line6;
    LineShape *Line7, *Line8, *Line9, *Line10, *Line11, *Line12;
    ClickLabel *Labnuovo;
    ClickLabel *Labesco;
    ClickLabel *Labascolta;             // "Ascolta": the statements of the set
    DragDropBoard *board;

protected:
    void layOut(const Look &look) override;
    // The arrows follow the boxes wherever the layout puts them.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Label1_DragDrop(int index, int source);
    void Labnuovo_Click();
    // Lays out statements and boxes for the scheme in force (schem1 / schem2) and the text.
    void disponi();
    void build(const Look &look);
    // The arrows from the boxes as they stand now.
    void frecce();
    void freccia(LineShape *asta, LineShape *punta1, LineShape *punta2, QPoint da, QPoint a);
    void redraw();

    // What the statements and boxes are laid out for.
    struct Disposizione {
        int tipo = 0;
        bool larger = false;
        qreal factor = 0;
        bool operator==(const Disposizione &) const = default;
    };

    Storia1Model model_;
    std::array<LineShape *, 12> linee_{};
    QBoxLayout *page_ = nullptr;
    std::unique_ptr<ButtonRow> buttons_;
    Disposizione disposta_;
};

} // namespace qv::ui
