#pragma once

#include "shell/character/SpeechEngine.h"

#include <QTimer>
#include <memory>

class QTextToSpeech;

// The desktop's text-to-speech: speech-dispatcher where its plugin is there and a voice
// answers, else flite, which works offline. A voice of the program's language is chosen
// when the engine has one.
class QtSpeechEngine : public SpeechEngine
{
    Q_OBJECT

public:
    // Null when no engine can speak at all.
    static std::unique_ptr<QtSpeechEngine> create(const QString &language);
    ~QtSpeechEngine() override;

    void say(const QString &text) override;
    void stop() override;

    QString engineName() const { return m_engineName; }
    // Whether the engine reached the speaking state since the last say().
    bool reachedSpeaking() const { return m_reachedSpeaking; }

private:
    QtSpeechEngine(std::unique_ptr<QTextToSpeech> tts, QString engineName);
    void chooseVoice(const QString &language);
    void end();

    std::unique_ptr<QTextToSpeech> m_tts;
    QString m_engineName;
    bool m_busy = false;
    bool m_reachedSpeaking = false;
    QString m_text;
    // An engine that never leaves its ready state (no audio output) must not hold the
    // character's queue for ever.
    QTimer m_watchdog;
};
