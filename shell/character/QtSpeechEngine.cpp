#include "shell/character/QtSpeechEngine.h"

#include <QLocale>
#include <QTextToSpeech>

namespace {

constexpr int StartTimeoutMs = 3000;
// A sentence may take long, but not for ever: 1 s plus 200 ms a character.
int speakingLimitMs(const QString &text) { return 1000 + 200 * int(text.size()); }

} // namespace

std::unique_ptr<QtSpeechEngine> QtSpeechEngine::create(const QString &language)
{
    const QStringList engines = QTextToSpeech::availableEngines();
    for (const char *name : {"speechd", "flite"}) {
        const QString engine = QString::fromLatin1(name);
        if (!engines.contains(engine))
            continue;
        auto tts = std::make_unique<QTextToSpeech>(engine);
        // speechd's plugin loads without a running speech-dispatcher but has no voice then.
        if (tts->state() == QTextToSpeech::Error || tts->availableVoices().isEmpty())
            continue;
        std::unique_ptr<QtSpeechEngine> e(new QtSpeechEngine(std::move(tts), engine));
        e->chooseVoice(language);
        return e;
    }
    return nullptr;
}

QtSpeechEngine::QtSpeechEngine(std::unique_ptr<QTextToSpeech> tts, QString engineName)
    : m_tts(std::move(tts)), m_engineName(std::move(engineName))
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &QtSpeechEngine::end);
    connect(m_tts.get(), &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
        if (!m_busy)
            return;
        if (s == QTextToSpeech::Speaking) {
            m_reachedSpeaking = true;
            m_watchdog.start(speakingLimitMs(m_text));
        } else if (s == QTextToSpeech::Ready || s == QTextToSpeech::Error) {
            end();
        }
    });
}

QtSpeechEngine::~QtSpeechEngine() = default;

void QtSpeechEngine::chooseVoice(const QString &language)
{
    // The language is the language file's name ("italian"); match it with the locale's own
    // English name of its language.
    const QString wanted = language.trimmed().toLower();
    for (const QLocale &l : m_tts->availableLocales()) {
        if (QLocale::languageToString(l.language()).toLower() == wanted) {
            m_tts->setLocale(l);
            return;
        }
    }
}

void QtSpeechEngine::say(const QString &text)
{
    m_busy = true;
    m_reachedSpeaking = false;
    m_text = text;
    m_watchdog.start(StartTimeoutMs);
    m_tts->say(text);
}

void QtSpeechEngine::stop()
{
    m_busy = false;
    m_watchdog.stop();
    m_tts->stop();
}

void QtSpeechEngine::end()
{
    if (!m_busy)
        return;
    m_busy = false;
    m_watchdog.stop();
    emit finished();
}
