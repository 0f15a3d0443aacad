#pragma once

#include <QString>

// One header line of a snapshot request: "Name: value".
struct clsHeaderEntry
{
    QString HeaderName;
    QString HeaderValue;
};
