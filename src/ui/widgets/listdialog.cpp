#include "ui/widgets/listdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace qv::ui {

ListDialog::ListDialog(const QString &objectName, const QString &title, const QString &intro, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    QFont f = font();
    f.setPointSize(12);
    setFont(f);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(intro, this);
    label->setWordWrap(true);
    layout->addWidget(label);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(title);
    layout->addWidget(List1, 1);
    Labstato = new QLabel(this);
    Labstato->setObjectName(QStringLiteral("Labstato"));
    Labstato->setWordWrap(true);
    Labstato->hide();
    layout->addWidget(Labstato);
    buttons_ = new QHBoxLayout;
    layout->addLayout(buttons_);
    cmdchiudo = new QPushButton(QStringLiteral("Chiudo"), this);
    cmdchiudo->setObjectName(QStringLiteral("cmdchiudo"));
    connect(cmdchiudo, &QPushButton::clicked, this, &QDialog::accept);
    buttons_->addStretch(1);
    buttons_->addWidget(cmdchiudo);
    // A row counts as chosen once it is selected (a click, the arrows, Space), not when the
    // list merely takes the focus and marks its first row as current.
    connect(List1, &QListWidget::itemSelectionChanged, this, &ListDialog::updateButtons);
    // Fits a 1024 x 768 screen with room to spare.
    resize(760, 480);
}

QPushButton *ListDialog::addAction(const QString &name, const QString &caption, bool needsRow, std::function<void()> action)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    buttons_->insertWidget(buttons_->count() - 2, b);
    connect(b, &QPushButton::clicked, this, std::move(action));
    if (needsRow)
        rowButtons_ << b;
    updateButtons();
    return b;
}

void ListDialog::setRows(const QStringList &rows, const QList<bool> &enabled, const QStringList &notes)
{
    List1->clear();
    usable_.clear();
    notes_ = notes;
    for (int i = 0; i < rows.size(); ++i) {
        auto *item = new QListWidgetItem(rows[i], List1);
        item->setToolTip(rows[i]); // a long row can be read whole
        const bool ok = i >= enabled.size() || enabled[i];
        usable_ << ok;
        if (!ok) // still chosen with a click, so the window can say why nothing can be done with it
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    updateButtons();
}

int ListDialog::chosenRow() const
{
    const QList<QListWidgetItem *> chosen = List1->selectedItems();
    return chosen.isEmpty() ? -1 : List1->row(chosen.first());
}

int ListDialog::currentRow() const
{
    const int row = chosenRow();
    return row >= 0 && row < usable_.size() && usable_[row] ? row : -1;
}

void ListDialog::updateButtons()
{
    for (QPushButton *b : rowButtons_)
        b->setEnabled(currentRow() >= 0);
    const int row = chosenRow();
    const QString note = row >= 0 ? notes_.value(row) : QString();
    Labstato->setText(note);
    Labstato->setVisible(!note.isEmpty());
}

} // namespace qv::ui
