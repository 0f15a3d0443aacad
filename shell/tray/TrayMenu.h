#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class DeviceWindows;
class ProgramSettings;
class QAction;
class QMenu;
class QPoint;
struct EngineState;
struct LanguageTexts;
struct LiveState;

// The tray icon's pop-up menu: its entries in the current language, built afresh each time it
// opens, and what each choice does. The main window hands in the actions.
class TrayMenu
{
public:
    // The identifiers of the entries (also those of the separators: 3, 6, 8).
    enum Id { Open = 1, StartStop = 2, Prog1 = 4, Prog2 = 5, Options = 7, About = 9, Exit = 10, Scenario1 = 101 };

    struct Actions
    {
        std::function<void()> restore;            // the main window back, not minimised
        std::function<void()> toggleMonitor;      // as the toolbar's monitor button
        std::function<void(const QString &)> showWindow; // options, about box
        std::function<void()> exitProgram;        // icon removed, windows unloaded
        std::function<void(int)> sendScenario;    // scenario 1..16
        std::function<void(const QUrl &)> openUrl; // a launch slot's program
    };

    TrayMenu(const EngineState &state, const ProgramSettings &settings, Actions actions);

    // The menu as things stand: the monitor button's picture (1 off, 2 on) names the
    // start/stop entry; options and about are enabled once their windows exist.
    std::unique_ptr<QMenu> build(int monitorImage, const DeviceWindows &windows) const;
    // Opens the menu at a point and acts on the choice; returns the identifier (0: none).
    int popup(const QPoint &at, int monitorImage, const DeviceWindows &windows) const;
    void act(int id) const;

    static int identifier(const QAction *action);
    // The status balloon's text: the last message with its time, or the right-click hint.
    static QString statusText(const LanguageTexts &lang, const LiveState &live);

private:
    const EngineState &m_state;
    const ProgramSettings &m_settings;
    Actions m_actions;
};
