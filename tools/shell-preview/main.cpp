#include "shell/about/FrmAbout.h"
#include "shell/update/FrmUpd.h"
#include "engine/config/LanguageLoader.h"
#include "engine/model/LanguageTexts.h"
#include "shell/services/DesktopLinkOpener.h"
#include "support/LoopbackHttpServer.h"
#include "engine/config/ProgramSettings.h"
#include "shell/services/QtMessageBoxService.h"
#include "shell/main/ShellOptions.h"
#include "shell/character/SpeakingCharacter.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

// A voice that keeps talking, so the balloon stays up for the picture.
class EndlessVoice : public SpeechEngine
{
public:
    void say(const QString &) override {}
    void stop() override {}
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QString what = app.arguments().value(1);
    const QString language = app.arguments().value(2, QStringLiteral("english"));
    const QString folder = QCoreApplication::applicationDirPath();

    QTemporaryDir dir;
    ProgramSettings settings(dir.filePath(QStringLiteral("settings.ini")));
    QtMessageBoxService messages;
    LanguageTexts lang;
    LanguageLoader(lang, settings, messages, folder).CaricaLingua(language);
    ShellOptions options;
    options.VersioneCorrente = QStringLiteral(OMBRIX_VERSION "B5");
    options.DirWindows = QDir(folder).filePath(QStringLiteral("characters"));
    options.OpzHlet = QStringLiteral("0");
    DesktopLinkOpener links;
    LoopbackHttpServer server;
    server.setDelayMs(300);

    std::unique_ptr<QWidget> window;
    SpeakingCharacter character([](const QString &) { return std::make_unique<EndlessVoice>(); });
    if (what == QLatin1String("character")) {
        character.attach(options, language);
        if (!character.load(QStringLiteral("Civetta")))
            return 2;
        character.Show();
        QTimer::singleShot(800, &character, [&] {
            character.Play(QStringLiteral("Read"));
            character.Speak(app.arguments().value(3, QStringLiteral("the kitchen light is on")));
        });
    } else if (what.startsWith(QLatin1String("update-"))) {
        if (what == QLatin1String("update-newer"))
            server.reply("1.1.0,https://ombrix.example.org/download/\r\n");
        else if (what == QLatin1String("update-error"))
            server.reply("<html><body>Not found</body></html>", 200);
        else
            server.setSilent(true);
        auto *upd = new FrmUpd(lang, options, links);
        upd->fetch().setAddress(server.url());
        window.reset(upd);
    } else if (what == QLatin1String("about")) {
        window = std::make_unique<FrmAbout>(lang, options, links, messages);
    } else {
        QTextStream(stderr) << "usage: shell-preview character|update-newer|update-checking|update-error|about "
                               "[language [sentence]]\n";
        return 1;
    }
    if (window) {
        window->setWindowModality(Qt::NonModal);
        window->move(80, 80);
        window->show();
    }
    return QApplication::exec();
}
