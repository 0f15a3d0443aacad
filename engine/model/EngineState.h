#pragma once

#include "engine/model/ClosingFlag.h"
#include "engine/model/Filters.h"
#include "engine/model/InstallationModel.h"
#include "engine/model/LanguageTexts.h"
#include "engine/model/LinkState.h"
#include "engine/model/LiveState.h"

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
