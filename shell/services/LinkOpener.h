#pragma once

#include <QUrl>

// Opens web pages and mail messages with the desktop's programs; tests record instead.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    virtual void open(const QUrl &url) = 0;
};
