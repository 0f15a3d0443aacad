#pragma once

#include "support/FakeSpeechEngine.h"

#include <QPointer>
#include <QStringList>
#include <memory>

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
