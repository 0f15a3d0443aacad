#include "app/ProgramOptionsServices.h"

#include "shell/character/CharacterFile.h"
#include "engine/model/EngineState.h"
#include "shell/main/FrmMain.h"
#include "shell/notice/FrmPrev.h"
#include "shell/notice/NoticePopup.h"
#include "remote/RemoteAccess.h"
#include "shell/character/SpeakingCharacter.h"

ProgramOptionsServices::ProgramOptionsServices(EngineState &state, ProgramSettings &settings, FrmMain &window,
                                               SpeakingCharacter &character, RemoteAccess &remote, NoticePopup &notice)
    : m_state(state), m_settings(settings), m_window(window), m_character(character), m_remote(remote),
      m_notice(notice)
{
}

void ProgramOptionsServices::previewNoticePosition(QWidget *over)
{
    if (m_preview) {
        m_preview->raise();
        return;
    }
    // Modal over the options dialog, which is itself modal: the preview alone takes the mouse,
    // so it can be dragged and its OK stores the place while the options stay open. open()
    // rather than exec(): nothing waits on it, and it saves the position itself.
    // The sample looks as the notice will: its scheme and a line the monitor's start shows.
    const FrmPrev::Sample sample{m_state.programFolder, m_state.lang.t(QStringLiteral("Monstart"))};
    auto *preview = new FrmPrev(m_settings, m_window.shellOptions(), over ? over : &m_window, sample);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowModality(Qt::ApplicationModal);
    m_preview = preview;
    // Live notices wait while it is up: it stands where they show, and takes the mouse and keys.
    m_notice.waitFor(preview);
    preview->open();
    preview->raise();
    preview->activateWindow();
}

QStringList ProgramOptionsServices::characterNames() const
{
    return CharacterFile::names(m_window.shellOptions().DirWindows);
}

bool ProgramOptionsServices::characterLoaded() const { return m_character.AgentCaricato(); }

bool ProgramOptionsServices::loadCharacter(const QString &name, bool sound, bool visible)
{
    m_character.release();
    m_character.attach(m_window.shellOptions(), m_state.lang.Lingua);
    if (!m_character.load(name))
        return false;
    m_character.SetSoundEffectsOn(sound);
    if (visible)
        m_character.Show();
    return true;
}

void ProgramOptionsServices::releaseCharacter() { m_character.release(); }

void ProgramOptionsServices::setCharacterSound(bool on) { m_character.SetSoundEffectsOn(on); }

bool ProgramOptionsServices::startListeners() { return m_remote.start(); }

void ProgramOptionsServices::stopListeners() { m_remote.stop(); }

bool ProgramOptionsServices::listenersRunning() const { return m_remote.isRunning(); }
