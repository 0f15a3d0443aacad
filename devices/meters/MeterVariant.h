#pragma once

#include <QString>
#include <optional>

struct LiveState;

// What tells the three meter windows apart; everything else of them is one design.
struct MeterVariant
{
    QString name;         // window name and settings section: "FrmVolt"
    QString labelName;    // the reading label: "Lv"
    QString designText;   // its text before anything is shown: "000"
    QString pollFrame;    // "*#3*10*1##"
    int entry;            // its window-menu entry and toolbar drop-down entry, 1 to 3
    bool dragFromLabel;   // whether the reading label moves the window too
    QString face;         // dial face picture
    // The needle's target in dial units from the stored reading; none when it is not a number.
    std::optional<double> (*target)(const LiveState &live);
    // The reading the label shows at load.
    QString (*stored)(const LiveState &live);
    // The window's title where the language file has no menu entry for it: "Voltmeter".
    QString builtInTitle;

    static const MeterVariant &volt();
    static const MeterVariant &amp();
    static const MeterVariant &watt();
};
