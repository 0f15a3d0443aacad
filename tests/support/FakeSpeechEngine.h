#pragma once

#include "shell/character/SpeechEngine.h"

#include <QStringList>

// A voice that speaks nothing: it records each sentence and finishes one when the test says.
class FakeSpeechEngine : public SpeechEngine
{
public:
    void say(const QString &text) override
    {
        said << text;
        speaking = true;
    }
    void stop() override
    {
        ++stops;
        speaking = false;
    }
    // The sentence under way has been spoken; the engine reports it even when nobody listens.
    void finishSentence()
    {
        speaking = false;
        emit finished();
    }

    QStringList said;
    bool speaking = false;
    int stops = 0;
};
