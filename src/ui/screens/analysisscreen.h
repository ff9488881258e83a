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
#include <QFont>
#include <QLabel>
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
            setBackColor(b, QApplication::palette().color(QPalette::Button));
        model_.open();
        redraw();
    }

protected:
    AnalysisScreen(Application &app, const QString &caption, const AnalysisLook &look)
        : ScreenBase(app, caption), model_(app.session())
    {
        setBackColor(this, QColor(192, 192, 192));
        board = new DragDropBoard(this);

        Label4 = new QLabel(look.istruzione, this);
        Label4->setObjectName(QStringLiteral("Label4"));
        Label4->setWordWrap(true);
        Label4->setAlignment(Qt::AlignCenter);
        Label4->setFont(sans(14, true));
        Label4->setFrameStyle(QFrame::Box | QFrame::Plain);
        setBackColor(Label4, QColor(255, 255, 255));

        // The rows from (30, 72); the box's scroll bar, when one is needed, takes the gap
        // before the categories.
        Riquadrorighe = new RowPane(QStringLiteral("Riquadrorighe"), QStringLiteral("Frase"), this);
        Riquadrorighe->setGeometry(30, 72, 697, 54 * (kRighe - 1) + 46);
        for (int r = 0; r < kRighe; ++r) {
            const int y = 54 * r;
            auto *e = new QLabel(Riquadrorighe->rows());
            e->setObjectName(QStringLiteral("Label6_%1").arg(r));
            e->setGeometry(0, y, 360, 46);
            e->setFont(sans(15, false));
            e->setIndent(10);
            e->setFrameStyle(QFrame::Box | QFrame::Plain);
            setBackColor(e, look.elemento);
            Label6[size_t(r)] = e;

            auto *b = new QLabel(Riquadrorighe->rows());
            b->setObjectName(QStringLiteral("Label2_%1").arg(r));
            b->setGeometry(375, y, 300, 46);
            b->setFont(sans(14, true));
            b->setAlignment(Qt::AlignCenter);
            b->setFrameStyle(QFrame::Box | QFrame::Plain);
            Label2[size_t(r)] = b;
            board->addTarget(b, r);
        }

        const QStringList &cat = model_.categorie();
        for (int i = 0; i < NCategorie; ++i) {
            auto *c = new QLabel(i < cat.size() ? cat.at(i) : QString(), this);
            c->setObjectName(QStringLiteral("Label1_%1").arg(i));
            c->setFont(sans(14, true));
            c->setAlignment(Qt::AlignCenter);
            c->setFrameStyle(QFrame::Panel | QFrame::Raised);
            c->setLineWidth(2);
            setBackColor(c, look.categoria);
            Label1[size_t(i)] = c;
            board->addSource(c, i);
        }

        Labseguente = button(QStringLiteral("Labseguente"), QStringLiteral("Frase seguente"));
        Labesco = button(QStringLiteral("Labesco"), QStringLiteral("Esco"));
        Labascoltafrase = listenButton(QStringLiteral("Labascoltafrase"), QStringLiteral("Ascolta la frase"),
                                       QRect(30, 620, 330, 54), [this] { return ascolto::frase(model_); });
        Labascoltacategorie = listenButton(QStringLiteral("Labascoltacategorie"), QStringLiteral("Ascolta le categorie"),
                                           QRect(375, 620, 330, 54), [this] { return ascolto::categorie(model_); });
        // With larger text the instruction spans the rows only and takes the height it
        // needs from their box, whose rows take theirs (it scrolls); the categories and the
        // two buttons theirs, from the top of the screen down to its foot.
        QList<QList<QWidget *>> righe, colonna;
        for (int r = 0; r < kRighe; ++r)
            righe.append(QList<QWidget *>{Label6[size_t(r)], Label2[size_t(r)]});
        for (QLabel *c : Label1)
            colonna.append(QList<QWidget *>{c});
        scaler_->addStack(Qt::Vertical, righe, ScreenScaler::kNoEnd);
        scaler_->addStack(Qt::Vertical, {{Label4}, {Riquadrorighe}, {Labascoltafrase, Labascoltacategorie}}, 724);
        scaler_->addStack(Qt::Vertical, colonna << QList<QWidget *>{Labseguente} << QList<QWidget *>{Labesco}, 718);
        placeForText();
        QObject::connect(&app, &Application::presentationChanged, this, [this] { placeForText(); });
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
    // At larger text the instruction spans the rows only, so that the categories' column
    // begins at the top of the screen, "Frase seguente" and "Esco" right below them: the
    // height left over is theirs to grow into.
    void placeForText()
    {
        const bool larger = scaler_->presentation().largerText();
        Label4->setGeometry(20, 10, larger ? 707 : 976, 52);
        const int top = larger ? 10 : 72;
        for (int i = 0; i < NCategorie; ++i)
            Label1[size_t(i)]->setGeometry(730, top + 62 * i, 260, 52);
        const int buttons = larger ? top + 62 * NCategorie : 600;
        Labseguente->setGeometry(730, buttons, 260, 54);
        Labesco->setGeometry(730, buttons + 64, 260, 54);
    }

    ClickLabel *button(const QString &name, const QString &caption)
    {
        return raisedButton(name, caption, QRect(), 16, 2, QColor(255, 255, 192));
    }

    Model model_;
};

} // namespace qv::ui
