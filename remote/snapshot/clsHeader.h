#pragma once

#include "remote/snapshot/clsHeaderEntry.h"

#include <QList>
#include <QString>

// A parsed snapshot request. Only an empty FilePath changes the reply; the rest is kept for
// what a later handler may want to read.
struct clsHeader
{
    QString Request;   // the request line
    QString FilePath;  // empty unless GET or POST
    QString Command;   // the query after "?" of a GET
    QList<clsHeaderEntry> Parameters;
};
