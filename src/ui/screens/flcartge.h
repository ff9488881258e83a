// FLcartge: the map test. The map on the left, on the right the blinking place number,
// the chosen answers and the lists of names; "Elemento seguente" and "Esco" below the
// column, or below the map at larger text. Laid out by Qt's layouts; the map is drawn at
// the look's size, so its numbered circles lie where the picture has them, × the factor.
#pragma once

#include "battery/geography/cartgemodel.h"
#include "ui/screenbase.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
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
    void layOut(const Look &look) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void List2_Click(QListWidgetItem *item);
    void List1_Click(QListWidgetItem *item);
    void cmdelemseg_Click();
    void cmdesco_Click();
    void Timer1_Timer();
    // Brings every control in line with the model.
    void redraw();
    // The column's contents for the map shown: the instruction and one list of features in
    // two columns, or the two answers and the lists of regions and chief towns side by side.
    void arrange(bool political);
    void showMap(const QString &file);
    // The map's picture at the look's size, in the display's own pixels.
    void scaleMap();
    // The physical map's names: two columns of eleven where each name fits a cell at its
    // size, else one column that scrolls.
    void fitNames();
    // Whether the political map's lists, side by side, show every name whole.
    bool namesFitBeside(const Look &look) const;

    CartgeModel model_;
    QString shownMap_;
    QPixmap map_; // as decoded, the picture's own size
    QLabel *headRegioni_;
    QLabel *headCapoluoghi_;
    QVBoxLayout *mapBox_;
    QVBoxLayout *listenBox_; // "Ascolta" on the map's south-west corner
    QGridLayout *mapCell_;   // the map's frame with "Ascolta" over it
    QGridLayout *page_;
    QBoxLayout *buttons_;
    QVBoxLayout *esco_;
    QVBoxLayout *column_ = nullptr;
    int arranged_ = -1; // the map the column is arranged for: 0 physical, 1 political
};

} // namespace qv::ui
