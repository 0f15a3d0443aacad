#pragma once

#include <QObject>
#include <QString>

// What the character needs of a voice: speak one sentence at a time and say when it is over.
// Tests put a double here; the program uses the desktop's text-to-speech.
class SpeechEngine : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~SpeechEngine() override = default;

    virtual void say(const QString &text) = 0;
    // Ends the sentence under way without a finished().
    virtual void stop() = 0;

signals:
    // The sentence given to say() has been spoken, or could not be.
    void finished();
};
