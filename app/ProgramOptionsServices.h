#pragma once

#include "shell/options/OptionsServices.h"

#include <QPointer>

class FrmMain;
class NoticePopup;
class ProgramSettings;
class RemoteAccess;
class SpeakingCharacter;
struct EngineState;

// What the options dialog drives, on the program's own pieces: the notice position preview
// (live notices wait while it is up), the speaking character and the remote services.
class ProgramOptionsServices : public OptionsServices
{
public:
    ProgramOptionsServices(EngineState &state, ProgramSettings &settings, FrmMain &window,
                           SpeakingCharacter &character, RemoteAccess &remote, NoticePopup &notice);

    void previewNoticePosition(QWidget *over) override;
    QStringList characterNames() const override;
    bool characterLoaded() const override;
    bool loadCharacter(const QString &name, bool sound, bool visible) override;
    void releaseCharacter() override;
    void setCharacterSound(bool on) override;
    bool startListeners() override;
    void stopListeners() override;
    bool listenersRunning() const override;

private:
    EngineState &m_state;
    ProgramSettings &m_settings;
    FrmMain &m_window;
    SpeakingCharacter &m_character;
    RemoteAccess &m_remote;
    NoticePopup &m_notice;
    QPointer<QWidget> m_preview;
};
