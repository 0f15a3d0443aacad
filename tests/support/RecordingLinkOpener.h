#pragma once

#include "shell/services/LinkOpener.h"

#include <QList>

// Records each address instead of opening it.
class RecordingLinkOpener : public LinkOpener
{
public:
    void open(const QUrl &url) override { opened << url; }
    QList<QUrl> opened;
};
