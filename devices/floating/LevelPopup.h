#pragma once

#include "devices/floating/FrmPerc.h"

#include <QPointer>

// The one level pop-up that all floating buttons share: loaded on first show, gone after a
// click on it or when a button unloads.
class LevelPopup
{
public:
    LevelPopup() = default;
    ~LevelPopup() { delete m_window.data(); }
    LevelPopup(const LevelPopup &) = delete;
    LevelPopup &operator=(const LevelPopup &) = delete;

    // The loaded pop-up, or null.
    FrmPerc *window() const { return m_window.data(); }
    // Shows the pop-up with its left edge at `left`; a newly loaded one starts at `initialTop`.
    void show(int left, int initialTop)
    {
        if (!m_window) {
            m_window = new FrmPerc;
            m_window->move(left, initialTop);
        }
        m_window->move(left, m_window->y());
        m_window->show();
        m_window->raise();
    }
    void unload()
    {
        if (m_window) {
            m_window->close();
            delete m_window.data();
        }
    }

private:
    QPointer<FrmPerc> m_window;
};
