#pragma once

// What every fuzz target shares: one application object (sockets and timers need it), quiet
// Qt messages, a property check that stops the run, and ports that take anything (message
// boxes: SilentMessageBox, shared with the benchmarks).

#include "engine/ports/CameraControl.h"
#include "engine/ports/FrameSender.h"
#include "engine/ports/LogPane.h"
#include "engine/ports/StatusBar.h"
#include "support/SilentMessageBox.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

inline QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *instance = [] {
        qInstallMessageHandler(quiet);
        return new QCoreApplication(argc, argv);
    }();
    return *instance;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input cut at its first NUL byte: two texts for targets that read two.
inline std::pair<QByteArray, QByteArray> split(const QByteArray &input)
{
    const qsizetype nul = input.indexOf('\0');
    if (nul < 0)
        return {input, QByteArray()};
    return {input.left(nul), input.mid(nul + 1)};
}

[[noreturn]] inline void failed(const char *property, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, property);
    std::abort();
}

class NullPane : public LogPane
{
public:
    const QString &paneName() const override { return m_name; }
    void writeText(const QString &) override {}
    void caretToEnd() override {}

private:
    QString m_name = QStringLiteral("Tlog");
};

class NullStatusBar : public StatusBar
{
public:
    void setStatusText(const QString &text) override { m_text = text; }
    QString statusText() const override { return m_text; }

private:
    QString m_text;
};

class NullSender : public FrameSender
{
public:
    using FrameSender::FrameSender;
    bool SendTCP(const QString &) override { return true; }
    void SendUsb(const QString &, bool) override {}
};

class NullCamera : public CameraControl
{
public:
    bool showCamera() override { return true; }
    void StopMe() override {}
    void Video(int) override {}
};

} // namespace Fuzz

#define FUZZ_PROPERTY(condition)                                                                                     \
    do {                                                                                                             \
        if (!(condition))                                                                                            \
            Fuzz::failed(#condition, __FILE__, __LINE__);                                                            \
    } while (false)
