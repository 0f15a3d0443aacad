#pragma once

#include "engine/ports/CharacterService.h"
#include "shell/character/CharacterWindow.h"
#include "shell/character/SpeechEngine.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

struct ShellOptions;

// The speaking character: one of our character files on the desktop, its sentences spoken
// by a speech engine one after the other. It also looks after itself as the main window
// would: hides when its last sentence ends if the user wants it hidden ("hlet" 1), and is
// released 2.5 s later when it is no longer wanted.
class SpeakingCharacter : public QObject, public CharacterService
{
    Q_OBJECT

public:
    using EngineFactory = std::function<std::unique_ptr<SpeechEngine>(const QString &language)>;
    // Sentences waiting behind the one being spoken. A sentence takes a few seconds to say, so
    // this is some ten seconds of speech: a listener follows that much, not the backlog of a
    // burst, which the log and the notices show whole. The newest sentences are the ones kept.
    static constexpr int MaxWaiting = 4;

    // Without a factory the desktop's text-to-speech is used.
    explicit SpeakingCharacter(EngineFactory engines = {}, QObject *parent = nullptr);
    ~SpeakingCharacter() override;

    // Where the character files are (DirWindows) and the live "hlet"; the language picks the voice.
    void attach(const ShellOptions &options, const QString &language);
    // Loads the named character and puts it at the lower right of the screen, 30 pixels above
    // the bottom, not yet shown. False, with nothing loaded, on any failure.
    bool load(const QString &name);
    // Stops and drops the character and its voice.
    void release();
    bool isLoaded() const { return m_window != nullptr; }
    // The user no longer wants a character: it goes once its last sentence is over.
    void setAgentCaricato(bool on) { m_agentCaricato = on; }
    CharacterWindow *window() const { return m_window.data(); }
    bool isShown() const { return m_shown; }
    int UltimaRichiesta() const { return m_ultimaRichiesta; }
    const QTimer &Tagoff() const { return m_tagoff; }

    // CharacterService
    bool AgentCaricato() const override { return m_agentCaricato && isLoaded(); }
    void Show() override;
    void Play(const QString &animation) override;
    int Speak(const QString &text) override;
    void Hide() override;
    void Stop() override;
    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void Move(int left, int top) override;
    void SetSoundEffectsOn(bool on) override { m_sound = on; }
    void setRequestCompleteHandler(RequestCompleteHandler handler) override { m_onComplete = std::move(handler); }

    // Where the character says it left sentences unspoken: a line of the monitor log.
    void setLog(std::function<void(const QString &text)> log) { m_log = std::move(log); }
    int waiting() const { return int(m_queue.size()); }

    void Agent1_RequestComplete(int request);
    void Tagoff_Timer();

private:
    struct Request
    {
        int id;
        QString text;
    };
    CharacterWindow &loaded() const;
    void startNext();
    void sentenceSpoken();
    void animationEnded(const QString &name);
    void rest();

    EngineFactory m_engines;
    const ShellOptions *m_options = nullptr;
    QString m_language;
    QPointer<CharacterWindow> m_window;
    std::unique_ptr<SpeechEngine> m_voice;
    QList<Request> m_queue;
    // Sentences dropped from the queue since the last one was started.
    int m_dropped = 0;
    std::function<void(const QString &text)> m_log;
    int m_speaking = 0; // id of the sentence under way, 0 when silent
    int m_lastId = 0;
    int m_ultimaRichiesta = 0;
    bool m_agentCaricato = false;
    bool m_shown = false;
    // The sound-effects switch that the start-up and the options set ("agsound"): part of the
    // character's interface, kept though this character has no sound effects to play.
    bool m_sound = false;
    QTimer m_tagoff;
    // A sentence stays readable in the balloon for a while even when the voice is quicker
    // (or there is no sound at all).
    QElapsedTimer m_sentenceClock;
    QTimer m_balloonLinger;
    RequestCompleteHandler m_onComplete;
};
