#include "shell/services/AccessibleRole.h"

#include <QAbstractButton>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

const char *const RoleProperty = "ombrixAccessibleRole";
const char *const NameProperty = "ombrixAccessibleName";

// Space and Enter press a drawn button, as they press a push button.
class PressKeys : public QObject
{
public:
    PressKeys(QWidget *widget, std::function<void()> press) : QObject(widget), press(std::move(press))
    {
        setObjectName(QStringLiteral("pressKeys"));
    }
    std::function<void()> press;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->modifiers() & ~Qt::KeypadModifier)
                return false;
            if (key->key() != Qt::Key_Space && key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
                return false;
            if (!key->isAutoRepeat() && press)
                press();
            return true;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            static_cast<QWidget *>(watched)->update();
            return false;
        default:
            return false;
        }
    }
};

PressKeys *pressKeys(QWidget *widget)
{
    return widget->findChild<PressKeys *>(QStringLiteral("pressKeys"), Qt::FindDirectChildrenOnly);
}

class RoleWidget : public QAccessibleWidget
{
public:
    RoleWidget(QWidget *w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    // Read afresh: a widget may change what it is, as a link that has nothing to follow.
    QAccessible::Role role() const override
    {
        return QAccessible::Role(widget()->property(RoleProperty).toInt());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (const auto *b = qobject_cast<const QAbstractButton *>(widget()); b && b->isCheckable()) {
            s.checkable = true;
            s.checked = b->isChecked();
            if (role() == QAccessible::PageTab) {
                s.selectable = true;
                s.selected = b->isChecked();
            }
        }
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (s.isEmpty() && t == QAccessible::Name)
            if (const auto *l = qobject_cast<const QLabel *>(widget()))
                s = l->text();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (canPress())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &name) override
    {
        if (name != pressAction() || !widget()->isEnabled()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        if (auto *b = qobject_cast<QAbstractButton *>(widget()))
            b->click();
        else if (PressKeys *keys = pressKeys(widget()))
            keys->press();
    }

private:
    bool canPress() const { return qobject_cast<QAbstractButton *>(widget()) || pressKeys(widget()); }
};

// A menu-bar entry read by the name it was given rather than by its caption.
class NamedMenuEntry : public QAccessibleObject, public QAccessibleActionInterface
{
public:
    explicit NamedMenuEntry(QAction *action) : QAccessibleObject(action) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QWindow *window() const override
    {
        QMenuBar *b = bar();
        return b ? b->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(bar()); }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 && action()->menu() ? QAccessible::queryAccessibleInterface(action()->menu()) : nullptr;
    }
    int childCount() const override { return action()->menu() ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && action()->menu() && child->object() == action()->menu() ? 0 : -1;
    }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return action()->property(NameProperty).toString();
        if (t == QAccessible::Accelerator)
            return QKeySequence::mnemonic(action()->text()).toString(QKeySequence::NativeText);
        return {};
    }
    QRect rect() const override
    {
        QMenuBar *b = bar();
        if (!b)
            return {};
        const QRect r = b->actionGeometry(action());
        return {b->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        QMenuBar *b = bar();
        s.focusable = true;
        s.hasPopup = action()->menu() != nullptr;
        s.disabled = !action()->isEnabled();
        s.invisible = !action()->isVisible() || !b || !b->isVisible();
        s.focused = b && b->activeAction() == action();
        s.hotTracked = s.focused;
        s.expanded = action()->menu() && action()->menu()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString &name) override
    {
        if (QMenuBar *b = bar(); b && name == showMenuAction() && action()->isEnabled())
            b->setActiveAction(action());
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QAction *action() const { return static_cast<QAction *>(object()); }
    QMenuBar *bar() const
    {
        for (QObject *o : action()->associatedObjects())
            if (auto *b = qobject_cast<QMenuBar *>(o))
                return b;
        return nullptr;
    }
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (!object)
        return nullptr;
    if (auto *a = qobject_cast<QAction *>(object))
        return a->property(NameProperty).isValid() ? new NamedMenuEntry(a) : nullptr;
    const QVariant role = object->property(RoleProperty);
    if (!role.isValid() || !object->isWidgetType())
        return nullptr;
    return new RoleWidget(static_cast<QWidget *>(object), QAccessible::Role(role.toInt()));
}

void installFactory()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

} // namespace

namespace AccessibleRole {

void set(QWidget *widget, QAccessible::Role role)
{
    installFactory();
    widget->setProperty(RoleProperty, int(role));
}

void makeButton(QWidget *widget, std::function<void()> press)
{
    widget->setFocusPolicy(Qt::TabFocus);
    if (PressKeys *keys = pressKeys(widget)) {
        keys->press = std::move(press);
    } else {
        widget->installEventFilter(new PressKeys(widget, std::move(press)));
    }
    set(widget, QAccessible::PushButton);
}

void paintFocus(QWidget *widget)
{
    if (!widget->hasFocus())
        return;
    QPainter p(widget);
    QStyleOptionFocusRect o;
    o.initFrom(widget);
    o.rect = widget->rect().adjusted(1, 1, -1, -1);
    o.backgroundColor = widget->palette().color(QPalette::Window);
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, widget);
}

void nameMenuEntry(QAction *menuAction, const QString &name)
{
    installFactory();
    menuAction->setProperty(NameProperty, name);
}

} // namespace AccessibleRole
