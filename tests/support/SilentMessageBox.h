#pragma once

#include "engine/ports/MessageBoxService.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>

// No box and nobody to answer, for benchmarks and fuzz targets: a message is dropped, written
// to standard error, or ends the run (a benchmark whose figures would mean nothing after it);
// every question is answered no.
class SilentMessageBox : public MessageBoxService
{
public:
    enum class OnMessage { Drop, Print, Abort };

    explicit SilentMessageBox(OnMessage onMessage = OnMessage::Drop) : m_onMessage(onMessage) {}

    void message(const QString &text, const QString &title, Icon) override
    {
        if (m_onMessage == OnMessage::Print)
            std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
        else if (m_onMessage == OnMessage::Abort)
            qFatal("message: %s: %s", qPrintable(title), qPrintable(text));
    }
    bool askYesNo(const QString &, const QString &, Icon) override { return false; }

private:
    OnMessage m_onMessage;
};
