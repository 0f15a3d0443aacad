// Any text a display client sends, commands and their NUL ends anywhere, is handled on a
// loopback connection without a crash.
#include "FuzzLoopback.h"
#include "FuzzSupport.h"
#include "engine/model/EngineState.h"
#include "remote/display/ClientLamp.h"
#include "remote/display/WsChum.h"

namespace {
class NullLamp : public ClientLamp
{
public:
    void setClientLamp(quint32) override {}
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
    Fuzz::NullSender sender{state.link};
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
    return 0;
}
