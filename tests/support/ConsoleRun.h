#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A program run as from a text console or over ssh: no display, and no platform plugin
// unless one is asked for, so an answer that needed a window aborts instead.
struct ConsoleAnswer
{
    bool finished = false; // false: it did not start, or still ran after the wait and was killed
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QString out;
    QString err;
};

inline ConsoleAnswer runOnConsole(const QString &program, const QStringList &arguments,
                                  const QString &platform = QString(), const QString &folder = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    process.setProcessEnvironment(env);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ConsoleAnswer answer;
    if (!process.waitForStarted())
        return answer;
    answer.finished = process.waitForFinished(10000);
    if (!answer.finished) {
        process.kill();
        process.waitForFinished();
        return answer;
    }
    answer.status = process.exitStatus();
    answer.code = process.exitCode();
    answer.out = QString::fromUtf8(process.readAllStandardOutput());
    answer.err = QString::fromUtf8(process.readAllStandardError());
    return answer;
}
