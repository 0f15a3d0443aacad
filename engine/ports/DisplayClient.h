#pragma once

#include <QByteArray>

// The connected display client of the remote listener, as the translator pushes to it.
class DisplayClient
{
public:
    virtual ~DisplayClient() = default;
    virtual bool ClienteConnesso() const = 0;
    // One write on the client socket; throws OutputError when the socket refuses it.
    virtual void write(const QByteArray &bytes) = 0;
};
