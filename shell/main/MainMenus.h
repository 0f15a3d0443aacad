#pragma once

#include "shell/icons/IconLibrary.h"
#include "engine/model/ToolbarButtons.h"

#include <QObject>
#include <QString>
#include <array>

class DeviceWindows;
class ImageList;
class QAction;
class QComboBox;
class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;
struct InstallationModel;
struct LanguageTexts;

// The main window's menu bar and toolbar "barra": their entries, captions in the current
// language, the scenario lists and which entries are enabled. Choices come out as signals;
// what they do is the main window's business.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    explicit MainMenus(QMainWindow &window);

    // The captions and tool tips of the language just loaded.
    void applyLanguage(const LanguageTexts &l);
    // One entry per language file, the current one ticked (letter case ignored).
    void fillLanguageMenu(const QStringList &languages, const QString &current);
    void tickLanguage(int index);
    QString languageAt(int index) const;
    // The toolbar's scenario drop-down: captions, and entries of undefined scenarios greyed.
    void fillScenarioDropDown(const InstallationModel &model);
    // The scenario submenu (identifiers 101..116), inserted before `before` or appended.
    static QMenu *CreaMenuScenari(QMenu *menu, const QString &caption, const InstallationModel &model,
                                  QAction *before = nullptr);
    // Entries that would only open a window the host does not provide stay disabled.
    void enableFor(const DeviceWindows &windows);

    // An image the list no longer holds leaves the button without a picture.
    void setButtonImage(int button, int image, const ImageList &images);
    // The pictures of the icon library replace the built-in ones; the hidden combo
    // "ImageCombo1" lists whichever pictures the list then holds.
    void loadIconLibrary(const QString &path, ImageList &images);
    // Each button's own picture, the monitor button's "off".
    void setToolbarImages(const ImageList &images);

    // Window menu entries, ticked while their window is open.
    enum class Entry { Aux = 0, Probe, Camera, Volt, Ampere, Watt, Alarm };
    void tick(Entry entry, bool open);
    bool isTicked(Entry entry) const;
    // A meter (1 volt, 2 current, 3 power): its window entry and its drop-down mark "»".
    void markMeter(int meter, bool open);
    void tickFind(bool on);
    // Help opens the program's document; without it the entry stays disabled.
    void enableHelp(bool documentThere);

signals:
    void buttonClicked(int button);
    void buttonMenuClicked(int button, int entry);
    void saveChosen();
    void exitChosen();
    void findChosen();
    void languageChosen(int index);
    void helpChosen();
    void meterChosen(int meter);
    void alarmChosen();
    // A window the host opens by name (update check, about box).
    void windowChosen(const QString &name, bool modal);

private:
    void openMenuBar();
    QAction *entry(QMenu *menu, const char *name);
    QAction *windowEntry(const char *name);
    QAction *entryFor(Entry entry) const;
    void buildMenus();
    void buildToolbar();

    QMainWindow &m_window;
    QToolBar *m_barra = nullptr;
    std::array<QAction *, ToolbarButtons::Count + 1> m_buttons{};
    QMenu *m_meterMenu = nullptr;
    QMenu *m_scenarioMenu = nullptr;
    QList<QAction *> m_meterEntries;
    QList<QAction *> m_scenarioEntries;
    QToolButton *m_command1 = nullptr;
    QComboBox *m_imageCombo = nullptr;
    IconLibrary m_iconLibrary;

    QMenu *m_mFile = nullptr, *m_mTool = nullptr, *m_mwin = nullptr, *m_mLanguage = nullptr, *m_helpMenu = nullptr;
    QAction *m_mSave = nullptr, *m_mExit = nullptr, *m_mFind = nullptr, *m_mOption = nullptr;
    QAction *m_mWaux = nullptr, *m_mWprobe = nullptr, *m_mWcam = nullptr, *m_mWvolt = nullptr,
            *m_mWampere = nullptr, *m_mWwatt = nullptr, *m_mWai = nullptr;
    QAction *m_mHelp = nullptr, *m_mAgg = nullptr, *m_mDonate = nullptr, *m_mAbout = nullptr;
    QList<QAction *> m_mSetLingua;
};
