// Any conf.xml is loaded, or refused with a message, without a crash.
#include "FuzzSupport.h"
#include "engine/config/ConfLoader.h"
#include "engine/model/EngineState.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::app();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("conf.xml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(Fuzz::bytes(data, size));
    file.close();

    EngineState state;
    SilentMessageBox messages;
    ConfLoader(state, messages).CaricaConf(path);
    return 0;
}
