#pragma once

#include "engine/translator/OutputError.h"
#include "engine/ports/WindowRegistry.h"

#include <QStringList>

// Loaded windows set by the test; every push recorded as "Operation(arguments)".
class RecordingWindowRegistry : public WindowRegistry
{
public:
    QList<LoadedWindow> loadedWindows() const override { return loaded; }

    void open(const QString &name, const QString &caption = QString()) { loaded.append({caption, name}); }
    void openProbe(int zone) { open(QStringLiteral("FrmProbe"), QStringLiteral("FrmProbe%1").arg(zone)); }

    void Volt(const QString &r) override { push(QStringLiteral("Volt(%1)").arg(r)); }
    void Ampere(const QString &r) override { push(QStringLiteral("Ampere(%1)").arg(r)); }
    void Watt(const QString &r) override { push(QStringLiteral("Watt(%1)").arg(r)); }
    void Temperatura(int zone, const QString &t) override { push(QStringLiteral("Temperatura(%1,%2)").arg(zone).arg(t)); }
    void Tempset(int zone, const QString &t) override { push(QStringLiteral("Tempset(%1,%2)").arg(zone).arg(t)); }
    void Knob(int zone, const QString &t) override { push(QStringLiteral("Knob(%1,%2)").arg(zone).arg(t)); }
    void pCol(int zone, int v) override { push(QStringLiteral("pCol(%1,%2)").arg(zone).arg(v)); }
    void AggiornaAux(bool createHidden) override
    {
        if (createHidden && !FormAperto(QString(), QStringLiteral("FrmAux")))
            open(QStringLiteral("FrmAux"), QStringLiteral("aux"));
        push(createHidden ? QStringLiteral("AggiornaAux(create)") : QStringLiteral("AggiornaAux"));
    }

    QList<LoadedWindow> loaded;
    QStringList pushes;
    bool failPushes = false;

private:
    void push(const QString &call)
    {
        if (failPushes)
            throw OutputError(438, QStringLiteral("window refused"));
        pushes << call;
    }
};
