// The layout and event wiring shared by FLgrasem and FLogsem: an instruction line, ten
// rows of an element box and a drop box, a column of category labels that are the drag
// sources, "Frase seguente" and "Esco". The screen draws what its model holds and
// forwards every event to it.
#pragma once

#include "battery/analysis/analysismodel.h"
#include "battery/ascolto.h"
#include "startup/datafolder.h"
#include "ui/access/keyboard.h"
#include "ui/screenbase.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/rowpane.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <algorithm>
#include <array>

namespace qv::ui {

struct AnalysisLook {
    QString istruzione;   // caption of Label4
    QColor elemento;      // background of Label6
    QColor categoria;     // background of Label1
};

template<class Model, int NCategorie>
class AnalysisScreen : public ScreenBase {
public:
    static constexpr int kRighe = AnalysisModel::kRighe;

    QLabel *Label4;
    // The ten rows, in a box that scrolls when larger text makes them taller than the screen.
    RowPane *Riquadrorighe;
    std::array<QLabel *, kRighe> Label6{};
    std::array<QLabel *, kRighe> Label2{};
    std::array<QLabel *, NCategorie> Label1{};
    ClickLabel *Labseguente;
    ClickLabel *Labesco;
    // "Ascolta": the sentence on show, the categories.
    ClickLabel *Labascoltafrase;
    ClickLabel *Labascoltacategorie;
    DragDropBoard *board;

    Model &model() { return model_; }

    void activate() override
    {
        move(0, 0);
        loadBackgroundOrWarn();
        board->clearSelection();
        for (int i = 0; i < NCategorie && i < model_.categorie().size(); ++i)
            Label1[size_t(i)]->setText(model_.categorie().at(i));
        for (QLabel *b : Label2)
            setBack(b, QApplication::palette().color(QPalette::Button));
        model_.open();
        redraw();
    }

protected:
    AnalysisScreen(Application &app, const QString &caption, const AnalysisLook &look)
        : ScreenBase(app, caption), model_(app.session())
    {
        setBackColor(this, QColor(192, 192, 192));
        board = new DragDropBoard(this);
        QWidget *page = makeBody();

        Label4 = new QLabel(look.istruzione, page);
        Label4->setObjectName(QStringLiteral("Label4"));
        Label4->setWordWrap(true);
        Label4->setAlignment(Qt::AlignCenter);
        setDesignText(Label4, 14, true);
        Label4->setFrameStyle(QFrame::Box | QFrame::Plain);
        setDesignBack(Label4, QColor(255, 255, 255));

        // The rows in their box, an element and its drop box side by side; the box's scroll
        // bar, when one is needed, takes the gap before the categories.
        Riquadrorighe = new RowPane(QStringLiteral("Riquadrorighe"), QStringLiteral("Frase"), page);
        rows_ = new QGridLayout(Riquadrorighe->rows());
        rows_->setContentsMargins(0, 0, 0, 0);
        for (int r = 0; r < kRighe; ++r) {
            auto *e = new QLabel(Riquadrorighe->rows());
            e->setObjectName(QStringLiteral("Label6_%1").arg(r));
            e->setWordWrap(true);
            setDesignText(e, 15, false);
            e->setFrameStyle(QFrame::Box | QFrame::Plain);
            setDesignBack(e, look.elemento);
            Label6[size_t(r)] = e;

            auto *b = new QLabel(Riquadrorighe->rows());
            b->setObjectName(QStringLiteral("Label2_%1").arg(r));
            b->setWordWrap(true);
            setDesignText(b, 14, true);
            b->setAlignment(Qt::AlignCenter);
            b->setFrameStyle(QFrame::Box | QFrame::Plain);
            Label2[size_t(r)] = b;
            board->addTarget(b, r);
            rows_->addWidget(e, r, 0);
            rows_->addWidget(b, r, 1);
        }
        // The rows keep their height when the box is taller than they are, and their
        // boxes their widths when it is wider.
        rows_->setRowStretch(kRighe, 1);
        rows_->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 2);

        // The categories' column, then "Frase seguente" and "Esco": at the screen's foot, or
        // with larger text right below the categories (see arrange).
        column_ = new QVBoxLayout;
        const QStringList &cat = model_.categorie();
        for (int i = 0; i < NCategorie; ++i) {
            auto *c = new QLabel(i < cat.size() ? cat.at(i) : QString(), page);
            c->setObjectName(QStringLiteral("Label1_%1").arg(i));
            c->setWordWrap(true);
            setDesignText(c, 14, true);
            c->setAlignment(Qt::AlignCenter);
            c->setFrameStyle(QFrame::Panel | QFrame::Raised);
            setDesignBack(c, look.categoria);
            Label1[size_t(i)] = c;
            board->addSource(c, i);
            column_->addWidget(c);
        }
        Labseguente = button(QStringLiteral("Labseguente"), QStringLiteral("Frase seguente"));
        Labesco = button(QStringLiteral("Labesco"), QStringLiteral("Esco"));
        gap_ = new QSpacerItem(0, 0);
        column_->addItem(gap_);
        column_->addWidget(Labseguente);
        column_->addWidget(Labesco);
        tail_ = new QSpacerItem(0, 0);
        column_->addItem(tail_);

        Labascoltafrase = listenButton(QStringLiteral("Labascoltafrase"), QStringLiteral("Ascolta la frase"),
                                       [this] { return ascolto::frase(model_); });
        Labascoltacategorie =
            listenButton(QStringLiteral("Labascoltacategorie"), QStringLiteral("Ascolta le categorie"),
                         [this] { return ascolto::categorie(model_); });
        listen_ = new QHBoxLayout;
        listen_->addWidget(Labascoltafrase);
        listen_->addWidget(Labascoltacategorie);
        listen_->addStretch();
        left_ = new QVBoxLayout;
        left_->addWidget(Riquadrorighe, 1);
        left_->addLayout(listen_);

        page_ = new QGridLayout(page);
        page_->setRowStretch(1, 1);
        page_->setColumnStretch(0, 1);
        page_->addLayout(left_, 1, 0);
        arrange(false);
        // Tab: the categories, the boxes, the listen buttons, then the two buttons.
        QList<QWidget *> chain(Label1.begin(), Label1.end());
        chain.append(QList<QWidget *>(Label2.begin(), Label2.end()));
        setTabChain(chain << Labascoltafrase << Labascoltacategorie << Labseguente << Labesco);

        QObject::connect(board, &DragDropBoard::dropped, this, [this](int target, int source) {
            model_.drop(target, source);
            redraw();
        });
        QObject::connect(Labseguente, &ClickLabel::clicked, this, [this] {
            board->clearSelection();
            if (model_.next() == AnalysisModel::Outcome::Next) {
                newSentence();
                redraw();
            }
        });
        QObject::connect(Labesco, &ClickLabel::clicked, this, [this] { model_.leave(); });
        QObject::connect(board, &DragDropBoard::dragStarted, Riquadrorighe, [this] { Riquadrorighe->followDrag(true); });
        QObject::connect(board, &DragDropBoard::dragEnded, Riquadrorighe, [this] { Riquadrorighe->followDrag(false); });
    }

    // The design's lengths on this display. Texts wrap in their boxes' design widths and
    // the boxes grow to hold them; the rows' box scrolls when they outgrow it.
    void layOut(const Look &look) override
    {
        const bool larger = look.presentation.largerText();
        arrange(larger);
        // Frame lines at least 2 wide in high contrast, where they part a box from the black.
        const auto line = [&look](int design) { return look.px(look.presentation.highContrast ? std::max(design, 2) : design); };
        page_->setContentsMargins(look.px(20), look.px(10), look.px(20), look.px(6));
        page_->setHorizontalSpacing(look.px(3));
        page_->setVerticalSpacing(look.px(10));
        Label4->setLineWidth(line(1));
        Label4->setMinimumHeight(look.px(52));
        // At larger text the rows and their buttons reach down to the screen's foot.
        left_->setContentsMargins(look.px(10), 0, 0, larger ? 0 : look.px(50));
        left_->setSpacing(look.px(16));
        Riquadrorighe->setMinimumHeight(look.px(120));
        rows_->setHorizontalSpacing(look.px(15));
        rows_->setVerticalSpacing(look.px(8));
        for (int r = 0; r < kRighe; ++r) {
            QLabel *e = Label6[size_t(r)], *b = Label2[size_t(r)];
            e->setFixedWidth(look.px(360));
            e->setIndent(look.px(10));
            b->setFixedWidth(look.px(300));
            for (QLabel *l : {e, b}) {
                l->setLineWidth(line(1));
                l->setMinimumHeight(look.px(46));
            }
        }
        listen_->setSpacing(look.px(15));
        for (ClickLabel *b : {Labascoltafrase, Labascoltacategorie}) {
            b->setFixedWidth(look.px(330));
            b->setMinimumHeight(look.px(54));
            b->setLineWidth(line(2));
        }
        column_->setContentsMargins(0, 0, look.px(6), larger ? 0 : look.px(6));
        column_->setSpacing(look.px(10));
        for (QLabel *c : Label1) {
            c->setFixedWidth(look.px(260));
            c->setMinimumHeight(look.px(52));
            c->setLineWidth(line(2));
        }
        for (ClickLabel *b : {Labseguente, Labesco}) {
            b->setFixedWidth(look.px(260));
            b->setMinimumHeight(look.px(54));
            b->setLineWidth(line(2));
        }
        // Design: "Frase seguente" 42 below the last category at most; it sinks to the foot.
        gap_->changeSize(0, larger ? 0 : look.px(32), QSizePolicy::Fixed, larger ? QSizePolicy::Fixed : QSizePolicy::Expanding);
        tail_->changeSize(0, 0, QSizePolicy::Fixed, larger ? QSizePolicy::Expanding : QSizePolicy::Fixed);
        column_->invalidate();
    }

    // At a change of sentence, after the boxes have been emptied.
    virtual void newSentence() {}

    void redraw()
    {
        for (int r = 0; r < kRighe; ++r) {
            Label6[size_t(r)]->setText(model_.element(r));
            Label2[size_t(r)]->setText(model_.box(r));
        }
    }

private:
    // The instruction across the screen over the rows and the categories; at larger text
    // over the rows only, so that the categories' column begins at the top of the screen and
    // has the height left over to grow into.
    void arrange(bool larger)
    {
        if (arranged_ == int(larger))
            return;
        arranged_ = int(larger);
        page_->removeWidget(Label4);
        page_->removeItem(column_);
        page_->addWidget(Label4, 0, 0, 1, larger ? 1 : 2);
        page_->addLayout(column_, larger ? 0 : 1, 1, larger ? 2 : 1, 1);
    }

    ClickLabel *button(const QString &name, const QString &caption)
    {
        ClickLabel *b = raisedButton(name, caption, 16, 2, QColor(255, 255, 192));
        b->setWordWrap(true);
        return b;
    }

    Model model_;
    QGridLayout *page_ = nullptr, *rows_ = nullptr;
    QBoxLayout *left_ = nullptr, *listen_ = nullptr, *column_ = nullptr;
    QSpacerItem *gap_ = nullptr, *tail_ = nullptr;
    int arranged_ = -1; // whether arranged for larger text, -1 before the first time
};

} // namespace qv::ui
