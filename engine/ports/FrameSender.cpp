#include "engine/ports/FrameSender.h"

#include "engine/model/LinkState.h"

bool FrameSender::Send(const QString &frame)
{
    if (m_link.ModoUsb) {
        SendUsb(frame, false);
        return true;
    }
    return SendTCP(frame);
}
