#include "shell/services/HoverLink.h"

#include "shell/services/AccessibleRole.h"

#include <QKeyEvent>
#include <QMouseEvent>

HoverLink::HoverLink(const QString &objectName, QWidget *parent) : QLabel(parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    // Tab reaches it only while it has something to follow.
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
    QPalette p = palette();
    // Only the enabled link is blue; a disabled one keeps the style's grey.
    for (const QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        p.setColor(g, QPalette::WindowText, p.color(g, QPalette::Link));
    setPalette(p);
}

void HoverLink::setText(const QString &text)
{
    QLabel::setText(text);
    setAccessibleName(text);
    setFocusPolicy(text.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
    AccessibleRole::set(this, text.isEmpty() ? QAccessible::StaticText : QAccessible::Link);
}

void HoverLink::setUnderlined(bool on)
{
    QFont f = font();
    if (f.underline() == on)
        return;
    f.setUnderline(on);
    setFont(f);
}

void HoverLink::enterEvent(QEnterEvent *event)
{
    if (isEnabled())
        setUnderlined(true);
    QLabel::enterEvent(event);
}

void HoverLink::leaveEvent(QEvent *event)
{
    setUnderlined(false);
    QLabel::leaveEvent(event);
}

void HoverLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void HoverLink::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}
