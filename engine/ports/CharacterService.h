#pragma once

#include <QString>

// The speaking character as the translator drives it. Operations throw OutputError when the
// character cannot do what is asked (for example none is loaded after all).
class CharacterService
{
public:
    virtual ~CharacterService() = default;
    // A character is loaded and may be asked to speak.
    virtual bool AgentCaricato() const = 0;
    virtual void Show() = 0;
    // Plays one named animation ("Read").
    virtual void Play(const QString &animation) = 0;
    // Starts speaking; the id identifies the request in the request-complete event.
    virtual int Speak(const QString &text) = 0;
};
