#pragma once

#include <QString>

struct LinkState;

// The two send operations that every part of the program uses, and the choice between them.
class FrameSender
{
public:
    explicit FrameSender(const LinkState &link) : m_link(link) {}
    virtual ~FrameSender() = default;

    // True when the gateway acknowledged the frame.
    virtual bool SendTCP(const QString &frame) = 0;
    virtual void SendUsb(const QString &frame, bool quiet) = 0;

    // The serial link when the gateway is on it (ModoUsb), else the command link. True when
    // the frame was written to the serial port or acknowledged on the command link.
    bool Send(const QString &frame);

private:
    const LinkState &m_link;
};
