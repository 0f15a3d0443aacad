#pragma once

#include <QString>

#include <functional>

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
    // The operations below have no effect on a character that lacks them.
    // Plays the hide animation and leaves the screen; queued sentences are still spoken.
    virtual void Hide() {}
    // Drops every pending request, the one under way included; none of them completes.
    virtual void Stop() {}
    // Position and size on the screen, in pixels.
    virtual int Left() const { return 0; }
    virtual int Top() const { return 0; }
    virtual int Width() const { return 0; }
    virtual int Height() const { return 0; }
    virtual void Move(int /*left*/, int /*top*/) {}
    virtual void SetSoundEffectsOn(bool /*on*/) {}
    // Called with the id that Speak gave once that sentence has been spoken.
    using RequestCompleteHandler = std::function<void(int request)>;
    virtual void setRequestCompleteHandler(RequestCompleteHandler /*handler*/) {}
};
