#pragma once

#include <QDesktopServices>
#include <QUrl>

// Opens web pages and mail messages with the desktop's programs; tests record instead.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    virtual void open(const QUrl &url) = 0;
};

class DesktopLinkOpener : public LinkOpener
{
public:
    void open(const QUrl &url) override { QDesktopServices::openUrl(url); }
};
