// Any text a display client sends, commands and their NUL ends anywhere, is handled on a
// loopback connection without a crash, with every send to the bus waiting as a gateway's
// answer does, so that commands queue behind it and the client's slices run meanwhile.
#include "FuzzLoopback.h"
#include "FuzzSupport.h"
#include "engine/model/EngineState.h"
#include "remote/display/ClientLamp.h"
#include "remote/display/WsChum.h"

#include <QEventLoop>
#include <QTimer>

namespace {
class NullLamp : public ClientLamp
{
public:
    void setClientLamp(quint32) override {}
};

// A send that waits for its answer in an event loop of its own, as the command link does.
class WaitingSender : public FrameSender
{
public:
    using FrameSender::FrameSender;
    bool SendTCP(const QString &) override
    {
        QEventLoop wait;
        QTimer::singleShot(1, &wait, &QEventLoop::quit);
        wait.exec();
        return true;
    }
    void SendUsb(const QString &, bool) override {}
};

struct Listener
{
    Listener()
    {
        state.model.ScenariF420[1] = {QStringLiteral("Luci sera"), QStringLiteral("01"), QStringLiteral("1")};
        state.model.NomiCamere[1] = QStringLiteral("Ingresso");
        chum.attach({state, sender, log, lamp, status, &camera});
        chum.listen(QHostAddress::LocalHost, 0);
    }
    EngineState state;
    WaitingSender sender{state.link};
    Fuzz::NullPane log;
    NullLamp lamp;
    Fuzz::NullStatusBar status;
    Fuzz::NullCamera camera;
    WsChum chum;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::app();
    static Listener *l = new Listener;
    if (!l->chum.isListening())
        return 0;
    Fuzz::exchange(l->chum.serverPort(), Fuzz::bytes(data, size), [] { return l->chum.ClienteConnesso(); },
                   [] { return !l->chum.ClienteConnesso(); });
    // A client gone is let go of, even with sends waiting, and the listener takes the next.
    Fuzz::runUntil([] { return !l->chum.ClienteConnesso(); }, 4000);
    FUZZ_PROPERTY(!l->chum.ClienteConnesso());
    FUZZ_PROPERTY(l->chum.isListening());
    return 0;
}
