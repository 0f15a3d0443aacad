#pragma once

#include "engine/ports/WindowRegistry.h"

// The windows in `windows`, as loaded, with pushes that reach nobody: for the tools and
// benchmarks that run the translator without a user interface.
class ListedWindows : public WindowRegistry
{
public:
    QList<LoadedWindow> loadedWindows() const override { return windows; }
    void Volt(const QString &) override {}
    void Ampere(const QString &) override {}
    void Watt(const QString &) override {}
    void Temperatura(int, const QString &) override {}
    void Tempset(int, const QString &) override {}
    void Knob(int, const QString &) override {}
    void pCol(int, int) override {}
    void AggiornaAux(bool) override {}

    QList<LoadedWindow> windows;
};
