#pragma once

#include "engine/ports/DisplayClient.h"
#include "engine/translator/OutputError.h"

#include <QList>

class RecordingDisplayClient : public DisplayClient
{
public:
    bool ClienteConnesso() const override { return connected; }
    void write(const QByteArray &bytes) override
    {
        if (fail)
            throw OutputError(40006, QStringLiteral("socket closed"));
        writes.append(bytes);
    }

    bool connected = false;
    bool fail = false;
    QList<QByteArray> writes;
};
