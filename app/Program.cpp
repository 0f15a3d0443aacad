#include "app/Program.h"

#include "app/ProgramOptionsServices.h"
#include "engine/model/WindowNames.h"
#include "shell/main/ConsolePane.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// A burst passes through buffers of megabytes (the text waiting for its slices, the socket
// buffers). glibc maps large blocks of their own and unmaps them when freed, but after the
// first such free it raises that threshold and serves the next ones from its heap, which keeps
// them: the first long burst of a run left up to 10 MB behind that no trim gave back. A fixed
// threshold keeps every large block mapped, so the memory goes back as soon as it is free.
void largeBlocksGoBack()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

std::unique_ptr<ProgramSettings> openSettings(const QString &file)
{
    return file.isEmpty() ? std::make_unique<ProgramSettings>() : std::make_unique<ProgramSettings>(file);
}

// The main window is the first to read the state, and reads the folder as it is made.
EngineState &inFolder(EngineState &state, const QString &folder)
{
    state.programFolder = folder;
    return state;
}

// The store's file in one form however its path is written: links followed, its folders
// canonical as far as they exist.
QString storeIdentity(const QString &storeFile)
{
    // Cleaned as QSettings cleans the path it opens.
    QFileInfo file(QFileInfo(storeFile).absoluteFilePath());
    // The store is written through a link to it, even one whose target is not there yet.
    for (int hops = 0; hops < 32 && file.isSymLink(); ++hops)
        file = QFileInfo(QDir::cleanPath(file.symLinkTarget()));
    // The folders as far as they exist in their canonical form, the rest as written: the key
    // stays the same when the store's file or folder appears.
    QString existing = file.absolutePath();
    QStringList missing{file.fileName()};
    while (!QFileInfo::exists(existing) && !QDir(existing).isRoot()) {
        missing.prepend(QFileInfo(existing).fileName());
        existing = QFileInfo(existing).absolutePath();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return QDir(canonical.isEmpty() ? existing : canonical).filePath(missing.join(QLatin1Char('/')));
}

} // namespace

QString Program::lockFileFor(const QString &storeFile)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dir);
    // One lock per store however its path is written, so the demo's store and a test's run
    // beside the user's program while two programs on the same store refuse each other.
    const QByteArray key =
        QCryptographicHash::hash(storeIdentity(storeFile).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(dir).filePath(QStringLiteral("ombrix-") + QString::fromLatin1(key) + QStringLiteral(".lock"));
}

Program::Program(Seams seams)
    : m_settings(openSettings(seams.settingsFile)),
      m_lockFile(lockFileFor(m_settings->fileName())),
      m_messages(seams.messages ? *seams.messages : static_cast<MessageBoxService &>(m_realMessages)),
      m_files(seams.files ? *seams.files : static_cast<FileDialogService &>(m_realFiles)),
      m_services(std::move(seams.voices)),
      m_stages(m_services, m_state, *m_settings, m_window),
      m_window(inFolder(m_state, seams.programFolder), *m_settings, m_messages, m_files, m_stages,
               FrmMain::Options{m_lockFile, seams.trayAvailable, seams.tray}),
      m_engine(m_state, *m_settings, m_messages, m_window, m_services.services()),
      m_remote(m_services.remote, m_window, m_state, m_engine, &m_services.camera),
      m_detection(m_state, m_engine.commands(), m_engine.monitor())
{
    largeBlocksGoBack();
    // The order matters: each step joins what the steps before it made.
    m_realMessages.setParentWidget(&m_window);
    if (seams.remotePorts)
        m_services.remote.setPorts(*seams.remotePorts);
    m_services.notice.attach(m_state, m_window.shellOptions(), m_window.images());
    m_services.devices.setUnloader(WindowNames::FrmMsg, [this] { m_services.notice.unload(); });
    m_services.addShellFeatures(m_state, m_messages, m_window);
    m_services.addCamera({m_state, *m_settings, m_messages, m_engine, &m_window.Tlog(),
                          [this] { m_window.windowUnloaded(WindowNames::FrmCamera); }});
    m_window.setEngine(&m_engine);
    m_services.addDeviceWindows({m_state, *m_settings, m_engine, m_window.shellOptions(), &m_window.menus(), {}});
    m_services.options = std::make_unique<ProgramOptionsServices>(m_state, *m_settings, m_window,
                                                                   m_services.character, m_services.remote,
                                                                   m_services.notice);
    m_services.addOptions({m_state, *m_settings, m_window, m_messages, m_files, m_services.colours,
                           m_services.notice, m_services.devices, *m_services.options, m_detection,
                           &SerialDetection::ElencaCom},
                          &m_window);
    // Last: the main window reaches every window above through the host.
    m_window.setDeviceWindows(&m_services.devices);
    // Queued: the window's close event finishes before the event loop ends.
    QObject::connect(&m_window, &FrmMain::programEnded, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
}

Program::~Program() = default;

void Program::start() { m_window.Main(); }
