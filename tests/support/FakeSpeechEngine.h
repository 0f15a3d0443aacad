#pragma once

#include "SpeechEngine.h"

#include <QPointer>
#include <memory>
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

// Hands the character a fake voice and keeps sight of it; null when told there is no voice.
struct FakeVoices
{
    QPointer<FakeSpeechEngine> last;
    bool available = true;
    QStringList languages;

    auto factory()
    {
        return [this](const QString &language) -> std::unique_ptr<SpeechEngine> {
            languages << language;
            if (!available)
                return nullptr;
            auto e = std::make_unique<FakeSpeechEngine>();
            last = e.get();
            return e;
        };
    }
};
