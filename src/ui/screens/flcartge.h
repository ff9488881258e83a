// FLcartge: the map test. The map on the left, on the right the blinking place number,
// the chosen answers and the lists of names; "Elemento seguente" and "Esco" below.
#pragma once

#include "battery/geography/cartgemodel.h"
#include "ui/screenbase.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace qv::ui {

class ClickLabel;

class FLcartge : public ScreenBase {
    Q_OBJECT
public:
    explicit FLcartge(Application &app);
    void activate() override;

    CartgeModel &model() { return model_; }

    QFrame *Frame1;
    QFrame *Frame2;
    QFrame *Frame3;
    QLabel *Image1;
    QLabel *Label4;
    QLabel *Labnumero;
    QLabel *Label3;
    QLabel *Label2;
    QLabel *Label1;
    QListWidget *List2;
    QListWidget *List1;
    QPushButton *cmdelemseg;
    QPushButton *cmdesco;
    ClickLabel *Labascolta; // "Ascolta": the place asked, over the map's corner
    QTimer *Timer1;

protected:
    void hideEvent(QHideEvent *e) override;
    // Both maps decoded, the physical one (the first a pupil sees) set and so scaled.
    void prepare() override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void List2_Click(QListWidgetItem *item);
    void List1_Click(QListWidgetItem *item);
    void cmdelemseg_Click();
    void cmdesco_Click();
    void Timer1_Timer();
    // Brings every control in line with the model.
    void redraw();
    void arrange(bool political);
    void showMap(const QString &file);

    CartgeModel model_;
    QString shownMap_;
    QLabel *headRegioni_;
    QLabel *headCapoluoghi_;
};

} // namespace qv::ui
