#pragma once

#include "engine/ports/CharacterService.h"
#include "engine/translator/OutputError.h"

#include <QStringList>

// Records the character's operations in order ("Show", "Play Read", "Speak <text>").
class RecordingCharacter : public CharacterService
{
public:
    bool AgentCaricato() const override { return loaded; }
    void Show() override { calls << QStringLiteral("Show"); }
    void Play(const QString &animation) override { calls << QStringLiteral("Play ") + animation; }
    int Speak(const QString &text) override
    {
        if (failSpeak)
            throw OutputError(91, QStringLiteral("no character"));
        calls << QStringLiteral("Speak ") + text;
        said << text;
        return ++lastRequest;
    }

    QStringList spoken() const
    {
        QStringList s;
        for (const QString &c : calls) {
            if (c.startsWith(QLatin1String("Speak ")))
                s << c.mid(6);
        }
        return s;
    }

    bool loaded = true;
    bool failSpeak = false;
    int lastRequest = 0;
    QStringList calls;
    QStringList said; // the texts as given, kept as a speech queue keeps them
};
