#pragma once

#include "ClosingFlag.h"
#include "Filters.h"
#include "InstallationModel.h"
#include "LanguageTexts.h"
#include "LinkState.h"
#include "LiveState.h"

#include <QString>

// The program's shared state, grouped by concern. One instance is created in main and
// handed by reference to whoever reads or writes it; readers poll, nobody is notified.
struct EngineState
{
    InstallationModel model;
    LiveState live;
    LinkState link;
    Filters filters;
    LanguageTexts lang;
    ClosingFlag InChiusura;   // the program is closing: every wait ends at once
    QString programFolder;    // where the language files, conf.xml and ico.icl live
};
