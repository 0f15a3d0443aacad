// Any chunk, received or echoed, is translated without a crash, and a received chunk that
// held a frame is used up.
#include "FuzzSupport.h"
#include "support/TranslatorFixture.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::app();
    // The recorders keep everything: a fresh fixture now and then keeps memory flat.
    static std::unique_ptr<TranslatorFixture> f;
    static int runs = 0;
    if (!f || ++runs % 2000 == 0) {
        f = std::make_unique<TranslatorFixture>();
        f->state.filters.Who.fill(1);
        f->state.filters.WhoA.fill(1);
        f->display.connected = true;
    }
    const QString chunk = QString::fromLatin1(Fuzz::bytes(data, size));
    QString frames = chunk;
    f->translator.Traduci(frames, f->Tlog);
    f->translator.TraduciEco(chunk, f->TlogC);
    f->Tlog.clear();
    f->TlogC.clear();
    return 0;
}
