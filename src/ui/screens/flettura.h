// FLETTURA: the reading-comprehension test. The passage (or the four summaries at the
// synthesis question) on the left, the question and its four options on the right.
#pragma once

#include "battery/comprehension/letturamodel.h"
#include "ui/screenbase.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <array>

namespace qv::ui {

class ClickLabel;
class RowPane;
class TextPane;

class FLETTURA : public ScreenBase {
    Q_OBJECT
public:
    explicit FLETTURA(Application &app);
    void activate() override;

    LetturaModel &model() { return model_; }

    // The texts, each in a box that scrolls when the pupil's larger text does not fit it.
    QLabel *Labtesto;
    QLabel *Labtesto2;
    TextPane *LabtestoRiquadro;
    TextPane *Labtesto2Riquadro;
    QLabel *Label2;
    // The question and its options, in a box that scrolls when larger text makes them taller.
    RowPane *Riquadrodomanda;
    std::array<QLabel *, 5> Labris{};
    std::array<QCheckBox *, 4> Check1{};
    ClickLabel *Labseguente;
    ClickLabel *Labesco;
    // "Ascolta": the question, its options (the summaries at the synthesis question), the passage.
    ClickLabel *Labascoltadomanda;
    ClickLabel *Labascoltarisposte;
    ClickLabel *Labascoltabrano;

protected:
    // The first passage and question drawn ahead, so the first showing finds them laid out.
    void prepare() override;
    void layOut(const Look &look) override;

private:
    void Check1_Click(int k, bool ticked);
    void Labseguente_Click();
    void Labesco_Click();
    // The passage's width: less at the larger texts that need it in the question's column.
    int testoW() const;
    // At the synthesis question the first box ends where the second begins.
    void placeText();
    // Redraws the text area, the question and the boxes from the model.
    void redraw();

    LetturaModel model_;
    QBoxLayout *page_ = nullptr, *question_ = nullptr, *under_ = nullptr, *buttons_ = nullptr;
    QGridLayout *rows_ = nullptr;
};

} // namespace qv::ui
