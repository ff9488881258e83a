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
    buttons_ = new QHBoxLayout;
    layout->addLayout(buttons_);
    cmdchiudo = new QPushButton(QStringLiteral("Chiudo"), this);
    cmdchiudo->setObjectName(QStringLiteral("cmdchiudo"));
    connect(cmdchiudo, &QPushButton::clicked, this, &QDialog::accept);
    buttons_->addStretch(1);
    buttons_->addWidget(cmdchiudo);
    connect(List1, &QListWidget::currentRowChanged, this, &ListDialog::updateButtons);
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

void ListDialog::setRows(const QStringList &rows, const QList<bool> &enabled)
{
    List1->clear();
    for (int i = 0; i < rows.size(); ++i) {
        auto *item = new QListWidgetItem(rows[i], List1);
        item->setToolTip(rows[i]); // a long row can be read whole
        if (i < enabled.size() && !enabled[i])
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    }
    updateButtons();
}

int ListDialog::currentRow() const
{
    const QListWidgetItem *item = List1->currentItem();
    return item && (item->flags() & Qt::ItemIsSelectable) ? List1->currentRow() : -1;
}

void ListDialog::updateButtons()
{
    for (QPushButton *b : rowButtons_)
        b->setEnabled(currentRow() >= 0);
}

} // namespace qv::ui
