// FLfrasi: the sentence-comprehension test. A premise in the upper frame, its four
// numbered conclusions with their check boxes in the lower frame.
#pragma once

#include "battery/comprehension/frasimodel.h"
#include "ui/screenbase.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QFrame>
#include <QLabel>
#include <array>

namespace qv::ui {

class ClickLabel;

class FLfrasi : public ScreenBase {
    Q_OBJECT
public:
    explicit FLfrasi(Application &app);
    void activate() override;

    FrasiModel &model() { return model_; }

    QFrame *Frame2;
    QLabel *Label1;
    QFrame *Frame1;
    QLabel *Label6;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label9;
    std::array<QLabel *, 4> Label2{};
    std::array<QCheckBox *, 4> Check1{};
    ClickLabel *Labseguente;
    ClickLabel *Labesco;
    // "Ascolta": the premise, its four conclusions.
    ClickLabel *Labascoltafrase;
    ClickLabel *Labascoltaconclusioni;

protected:
    void layOut(const Look &look) override;

private:
    void Check1_Click(int k, bool ticked);
    void Labseguente_Click();
    // Redraws the premise, the conclusions and the boxes from the model.
    void redraw();

    FrasiModel model_;
    QBoxLayout *page_ = nullptr, *buttons_ = nullptr, *premessa_ = nullptr;
    QGridLayout *rows_ = nullptr;
};

} // namespace qv::ui
