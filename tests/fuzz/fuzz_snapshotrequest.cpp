// Any request a peer sends the snapshot server, complete or not, is read and answered or
// dropped on a loopback connection without a crash, and no connection is left behind.
#include "FuzzLoopback.h"
#include "FuzzSupport.h"
#include "remote/snapshot/SnapshotServer.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::app();
    static QTemporaryDir dir;
    static SnapshotServer *server = [] {
        QFile picture(dir.filePath(QStringLiteral("temp.jpg")));
        if (picture.open(QIODevice::WriteOnly))
            picture.write(QByteArray("\xFF\xD8\xFF\xE0picture\xFF\xD9", 13));
        auto *s = new SnapshotServer(dir.path());
        s->setAddress(QHostAddress::LocalHost);
        s->setPort(0);
        s->WSCam(1);
        return s;
    }();
    if (!server->isListening())
        return 0;
    Fuzz::exchange(server->serverPort(), Fuzz::bytes(data, size), [] { return server->connectionCount() > 0; },
                   [] { return server->connectionCount() == 0; });
    FUZZ_PROPERTY(server->connectionCount() == 0);
    return 0;
}
