#pragma once

#include <QList>
#include <QString>

// The program's loaded windows as the engine sees them: which are open, and the operations
// the translator pushes into the device windows. Push operations throw OutputError on failure.
class WindowRegistry
{
public:
    struct LoadedWindow
    {
        QString caption;
        QString name;
    };

    virtual ~WindowRegistry() = default;

    // Every loaded window, shown or hidden, in the order the windows were loaded.
    virtual QList<LoadedWindow> loadedWindows() const = 0;

    // Whether a loaded window has exactly this caption or, when the caption is empty,
    // exactly this window name. Case-sensitive; loads nothing.
    bool FormAperto(const QString &caption, const QString &name) const
    {
        return FormAperto(loadedWindows(), caption, name);
    }
    // The same rule over a list of windows.
    static bool FormAperto(const QList<LoadedWindow> &windows, const QString &caption, const QString &name);
    // FormAperto("FrmProbe" followed by the zone number, ""), without building the caption:
    // the translator asks this for every zone frame. A registry that makes the probe windows
    // itself answers from what it made.
    virtual bool probeOpen(qint64 zone) const;
    // FormAperto("", name), which the translator asks for every aux and energy frame. A
    // registry that makes the windows of that name itself answers from what it made.
    virtual bool windowOpen(const QString &name) const { return FormAperto(QString(), name); }

    // Meter windows: the reading as received.
    virtual void Volt(const QString &reading) = 0;
    virtual void Ampere(const QString &reading) = 0;
    virtual void Watt(const QString &reading) = 0;

    // The probe window of a zone (its entry of the probe-window table).
    virtual void Temperatura(int zone, const QString &text) = 0;
    virtual void Tempset(int zone, const QString &text) = 0;
    virtual void Knob(int zone, const QString &text) = 0;
    virtual void pCol(int zone, int valves) = 0;

    // Refreshes the auxiliary-channel window. With createHidden, a window that is not loaded
    // is loaded hidden first and stays hidden.
    virtual void AggiornaAux(bool createHidden) = 0;
};
