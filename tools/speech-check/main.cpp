#include "shell/character/QtSpeechEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

// Speaks the sentence given (or a default one) with the voice the character would use, and
// tells which engine spoke, whether it reached the speaking state and how long it took.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString language = args.value(1, QStringLiteral("english"));
    const QString sentence = args.value(2, QStringLiteral("The kitchen light is on."));
    QTextStream out(stdout);

    std::unique_ptr<QtSpeechEngine> voice = QtSpeechEngine::create(language);
    if (!voice) {
        out << "no text-to-speech engine\n";
        return 2;
    }
    QElapsedTimer clock;
    QObject::connect(voice.get(), &SpeechEngine::finished, &app, [&] {
        out << "engine " << voice->engineName() << ", reached speaking: " << (voice->reachedSpeaking() ? "yes" : "no")
            << ", finished after " << clock.elapsed() << " ms\n";
        app.exit(voice->reachedSpeaking() ? 0 : 1);
    });
    clock.start();
    voice->say(sentence);
    const int result = QCoreApplication::exec();
    voice.reset();
    return result;
}
