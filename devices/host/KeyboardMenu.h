#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>

class QKeyEvent;
class QMenu;
class QWidget;

// The menu of a borderless device window that the keyboard reaches too. Such a window opens
// without the focus; brought forward (a click, the window switcher) it takes it, and then the
// Menu key or Shift+F10 opens the menu the right button opens. The menu pops up without
// waiting, so the window keeps answering while it is open.
class KeyboardMenu
{
public:
    struct Entry
    {
        QString text;
        int id;
    };

    // `window` takes the focus when activated; `chosen` gets the id of the entry taken.
    KeyboardMenu(QWidget *window, std::function<void(int)> chosen);

    // Opens the menu at `globalPos`, or below the window's top left corner when opened from
    // the keyboard. `defaultId` is the entry in bold.
    void open(const QList<Entry> &entries, int defaultId, QPoint globalPos);
    void openFromKeyboard(const QList<Entry> &entries, int defaultId);
    // The Menu key or Shift+F10.
    static bool asksForMenu(const QKeyEvent *event);

private:
    QWidget *m_window;
    std::function<void(int)> m_chosen;
    QPointer<QMenu> m_menu;
};
