#include "shell/character/SpeakingCharacter.h"

#include "shell/character/CharacterFile.h"
#include "shell/character/CharacterWindow.h"
#include "engine/protocol/NumberConversions.h"
#include "engine/translator/OutputError.h"
#include "shell/character/QtSpeechEngine.h"
#include "shell/main/ShellOptions.h"
#include "shell/notice/NoticeCorner.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int ReleaseDelayMs = 2500;
constexpr int AboveBottom = 30;
// 1.5 s plus 50 ms a character: about the time to read the balloon.
qint64 readingTimeMs(const QString &text) { return 1500 + 50 * qint64(text.size()); }

[[noreturn]] void notLoaded() { throw OutputError(91, QStringLiteral("no character is loaded")); }

} // namespace

SpeakingCharacter::SpeakingCharacter(EngineFactory engines, QObject *parent)
    : QObject(parent), m_engines(std::move(engines))
{
    if (!m_engines)
        m_engines = [](const QString &language) -> std::unique_ptr<SpeechEngine> {
            return QtSpeechEngine::create(language);
        };
    m_tagoff.setObjectName(QStringLiteral("Tagoff"));
    m_tagoff.setSingleShot(true);
    connect(&m_tagoff, &QTimer::timeout, this, &SpeakingCharacter::Tagoff_Timer);
    m_balloonLinger.setSingleShot(true);
    connect(&m_balloonLinger, &QTimer::timeout, this, [this] {
        if (m_window && !m_speaking)
            m_window->setBalloon(QString());
    });
}

SpeakingCharacter::~SpeakingCharacter() { release(); }

void SpeakingCharacter::attach(const ShellOptions &options, const QString &language)
{
    m_options = &options;
    m_language = language;
}

bool SpeakingCharacter::load(const QString &name)
{
    release();
    if (!m_options)
        return false;
    std::optional<CharacterFile> file = CharacterFile::load(m_options->DirWindows, name);
    if (!file)
        return false;
    m_voice = m_engines(m_language);
    if (!m_voice)
        return false;
    connect(m_voice.get(), &SpeechEngine::finished, this, &SpeakingCharacter::sentenceSpoken);
    m_window = new CharacterWindow(std::move(*file));
    connect(m_window, &CharacterWindow::animationEnded, this, &SpeakingCharacter::animationEnded);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        // The lower right corner, and above the notice's own place there, as the probe stack.
        const QRect s = screen->geometry();
        const int top =
            std::min(s.y() + s.height() - Height() - AboveBottom, NoticeCorner::defaultRect().y() - Height());
        Move(s.x() + s.width() - Width(), top);
    }
    m_agentCaricato = true;
    return true;
}

void SpeakingCharacter::release()
{
    m_tagoff.stop();
    m_balloonLinger.stop();
    if (m_voice) {
        // A sentence that ends after the release reaches nobody.
        m_voice->disconnect(this);
        m_voice->stop();
    }
    m_queue.clear();
    m_dropped = 0;
    m_speaking = 0;
    m_voice.reset();
    delete m_window.data();
    m_shown = false;
    m_agentCaricato = false;
}

CharacterWindow &SpeakingCharacter::loaded() const
{
    if (!m_window)
        notLoaded();
    return *m_window;
}

void SpeakingCharacter::Show()
{
    CharacterWindow &w = loaded();
    if (m_shown)
        return;
    m_shown = true;
    w.show();
    w.play(QStringLiteral("Show"));
}

void SpeakingCharacter::Play(const QString &animation)
{
    if (!loaded().play(animation))
        throw OutputError(91, QStringLiteral("the character has no animation ") + animation);
}

int SpeakingCharacter::Speak(const QString &text)
{
    loaded();
    const int id = ++m_lastId;
    m_ultimaRichiesta = id;
    m_queue.append({id, text});
    // The oldest give way; a dropped request never completes, as with Stop.
    while (m_queue.size() > MaxWaiting) {
        m_queue.removeFirst();
        ++m_dropped;
    }
    if (!m_speaking)
        startNext();
    return id;
}

void SpeakingCharacter::startNext()
{
    // Told once the voice goes on, not for every sentence of a burst.
    if (m_dropped > 0 && m_log)
        m_log(m_dropped == 1 ? QStringLiteral("character: 1 older sentence not spoken, to keep up with the bus")
                             : QStringLiteral("character: %1 older sentences not spoken, to keep up with the bus")
                                   .arg(m_dropped));
    m_dropped = 0;
    const Request r = m_queue.takeFirst();
    m_speaking = r.id;
    m_balloonLinger.stop();
    m_sentenceClock.start();
    m_window->setBalloon(r.text);
    // The "Read" pose plays out before the talking one takes over.
    if (m_window->animation() != QLatin1String("Read") && m_window->hasAnimation(QStringLiteral("Speak")))
        m_window->play(QStringLiteral("Speak"));
    m_voice->say(r.text);
}

void SpeakingCharacter::sentenceSpoken()
{
    const int done = m_speaking;
    m_speaking = 0;
    if (!m_window || !done)
        return;
    if (!m_queue.isEmpty()) {
        startNext();
    } else {
        m_balloonLinger.start(int(qMax<qint64>(0, readingTimeMs(m_window->balloon()) - m_sentenceClock.elapsed())));
        rest();
    }
    if (m_onComplete)
        m_onComplete(done);
    Agent1_RequestComplete(done);
}

void SpeakingCharacter::rest()
{
    const QString now = m_window->animation();
    if (now == QLatin1String("Hide") || now == QLatin1String("Show") || now == QLatin1String("Read"))
        return; // each goes on to the resting pose when it ends
    m_window->play(QStringLiteral("Idle"));
}

void SpeakingCharacter::animationEnded(const QString &name)
{
    if (name == QLatin1String("Hide")) {
        m_window->hide();
        m_window->play(QStringLiteral("Idle"));
        return;
    }
    const bool talking = m_speaking && m_window->hasAnimation(QStringLiteral("Speak"));
    m_window->play(talking ? QStringLiteral("Speak") : QStringLiteral("Idle"));
}

void SpeakingCharacter::Hide()
{
    CharacterWindow &w = loaded();
    if (!m_shown)
        return;
    m_shown = false;
    w.play(QStringLiteral("Hide"));
}

void SpeakingCharacter::Stop()
{
    if (!m_window)
        return;
    m_queue.clear();
    m_dropped = 0;
    m_speaking = 0;
    if (m_voice)
        m_voice->stop();
    m_balloonLinger.stop();
    m_window->setBalloon(QString());
}

int SpeakingCharacter::Left() const { return loaded().x(); }
int SpeakingCharacter::Top() const { return loaded().y(); }
int SpeakingCharacter::Width() const { return loaded().width(); }
int SpeakingCharacter::Height() const { return loaded().height(); }
void SpeakingCharacter::Move(int left, int top) { loaded().move(left, top); }

void SpeakingCharacter::Agent1_RequestComplete(int request)
{
    // A character already released has nothing left to hide.
    if (!m_window || !m_options)
        return;
    const auto hlet = NumberConversions::tryValue(m_options->OpzHlet);
    if (!(hlet && *hlet == 1.0) || request != m_ultimaRichiesta)
        return;
    Hide();
    if (!m_agentCaricato)
        m_tagoff.start(ReleaseDelayMs);
}

void SpeakingCharacter::Tagoff_Timer()
{
    m_tagoff.stop();
    release();
}
