#pragma once

#include "CharacterService.h"
#include "DisplayClient.h"
#include "OutputError.h"

// Stand-ins for the speaking character and the display client until those are built: no
// character loaded, no client connected.
class NoCharacter : public CharacterService
{
public:
    bool AgentCaricato() const override { return false; }
    void Show() override { throw OutputError(91, QStringLiteral("no character is loaded")); }
    void Play(const QString &) override { throw OutputError(91, QStringLiteral("no character is loaded")); }
    int Speak(const QString &) override { throw OutputError(91, QStringLiteral("no character is loaded")); }
};

class NoDisplayClient : public DisplayClient
{
public:
    bool ClienteConnesso() const override { return false; }
    void write(const QByteArray &) override {}
};
