#include "devices/host/KeyboardMenu.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

KeyboardMenu::KeyboardMenu(QWidget *window, std::function<void(int)> chosen)
    : m_window(window), m_chosen(std::move(chosen))
{
    // A click or the window manager gives the focus; Tab never moves it here from elsewhere.
    m_window->setFocusPolicy(Qt::ClickFocus);
}

void KeyboardMenu::open(const QList<Entry> &entries, int defaultId, QPoint globalPos)
{
    // One menu at a time: a second request while it is up leaves it where it is.
    if (m_menu && m_menu->isVisible())
        return;
    delete m_menu;
    auto *menu = new QMenu(m_window);
    menu->setObjectName(QStringLiteral("menu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const Entry &e : entries) {
        QAction *action = menu->addAction(e.text);
        action->setData(e.id);
        if (e.id == defaultId)
            menu->setDefaultAction(action);
    }
    QObject::connect(menu, &QMenu::triggered, m_window, [this](QAction *action) {
        // The choice may close the window, and the menu with it: it runs once the menu is done.
        const int id = action->data().toInt();
        QMetaObject::invokeMethod(m_window, [chosen = m_chosen, id] { chosen(id); }, Qt::QueuedConnection);
    });
    m_menu = menu;
    menu->popup(globalPos);
}

void KeyboardMenu::openFromKeyboard(const QList<Entry> &entries, int defaultId)
{
    open(entries, defaultId, m_window->mapToGlobal(QPoint(0, m_window->height())));
}

bool KeyboardMenu::asksForMenu(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
}
