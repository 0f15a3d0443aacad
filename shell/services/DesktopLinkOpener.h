#pragma once

#include "shell/services/LinkOpener.h"

#include <QDesktopServices>

class DesktopLinkOpener : public LinkOpener
{
public:
    void open(const QUrl &url) override { QDesktopServices::openUrl(url); }
};
