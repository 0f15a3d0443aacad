#include "devices/camera/StrictDecode.h"

#include <QThread>

#include <atomic>

namespace {

// The decoder says what is wrong only through the message handler (no error of
// QImageReader's tells it), so one is put in front of the program's for the length of a
// decode. It takes the warnings of the decoding thread only; everything else, from any
// thread, goes on to the handler that was there.
std::atomic<QtMessageHandler> g_previous{nullptr};
thread_local QString *t_warning = nullptr;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (t_warning && type != QtDebugMsg && type != QtInfoMsg) {
        if (t_warning->isEmpty())
            *t_warning = message;
        return;
    }
    if (const QtMessageHandler previous = g_previous.load())
        previous(type, context, message);
}

class WarningScope
{
public:
    explicit WarningScope(QString *warning)
    {
        t_warning = warning;
        g_previous = qInstallMessageHandler(handler);
    }
    ~WarningScope()
    {
        qInstallMessageHandler(g_previous.load());
        t_warning = nullptr;
    }
    WarningScope(const WarningScope &) = delete;
    WarningScope &operator=(const WarningScope &) = delete;
};

} // namespace

namespace StrictDecode {

Result decode(const QByteArray &bytes)
{
    Result r;
    QString warning;
    {
        const WarningScope scope(&warning);
        r.picture.loadFromData(bytes);
    }
    if (!warning.isEmpty()) {
        r.picture = QImage();
        r.fault = warning.trimmed();
    }
    return r;
}

} // namespace StrictDecode
