#include "ui/access/labelbutton.h"

#include "ui/widgets/clicklabel.h"

#include <QHash>

namespace qv::ui {

namespace {

struct Declared {
    LabelButtonAccessible::Name name;
    LabelButtonAccessible::Press press;
};

QHash<QObject *, Declared> &declared()
{
    static QHash<QObject *, Declared> d;
    return d;
}

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (auto *c = qobject_cast<ClickLabel *>(object))
        return new LabelButtonAccessible(
            c, [c] { return c->text().simplified(); }, [c] { c->click(); });
    auto it = declared().constFind(object);
    if (it != declared().constEnd())
        return new LabelButtonAccessible(static_cast<QWidget *>(object), it->name, it->press);
    return nullptr;
}

} // namespace

LabelButtonAccessible::LabelButtonAccessible(QWidget *w, Name name, Press press)
    : QAccessibleWidget(w, QAccessible::Button), name_(std::move(name)), press_(std::move(press))
{
}

QString LabelButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return name_();
    return QAccessibleWidget::text(t);
}

QStringList LabelButtonAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled())
        names.prepend(pressAction());
    return names;
}

void LabelButtonAccessible::doAction(const QString &action)
{
    if (action == pressAction() && widget()->isEnabled())
        press_();
    else
        QAccessibleWidget::doAction(action);
}

QStringList LabelButtonAccessible::keyBindingsForAction(const QString &action) const
{
    if (action == pressAction())
        return {QStringLiteral("Return"), QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(action);
}

void setLabelButton(QLabel *label, LabelButtonAccessible::Name name, LabelButtonAccessible::Press press)
{
    declared().insert(label, Declared{std::move(name), std::move(press)});
    QObject::connect(label, &QObject::destroyed, [label] { declared().remove(label); });
    // With a screen reader on, setting the caption may already have made the label's plain
    // interface: drop it, so the next look-up comes through the factory.
    if (QAccessible::isActive()) {
        QAccessibleInterface *made = QAccessible::queryAccessibleInterface(label);
        if (made && !dynamic_cast<LabelButtonAccessible *>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

void installLabelButtons()
{
    QAccessible::installFactory(factory);
}

} // namespace qv::ui
