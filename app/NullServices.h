#pragma once

#include "DisplayClient.h"
#include "NoticeService.h"

// Stand-ins for the notice pop-up and the display client until those are built: no notice,
// no client connected.
class NoNotice : public NoticeService
{
public:
    void MostraMessaggio(const QString &, const QString &, int, int) override {}
};

class NoDisplayClient : public DisplayClient
{
public:
    bool ClienteConnesso() const override { return false; }
    void write(const QByteArray &) override {}
};
