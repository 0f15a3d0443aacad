#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Refusals a listener logs, a flood of them in a few lines: the first is logged as it comes,
// the ones that follow within the window are counted and logged as one line when it ends,
// so a peer that opens connections (or sends frames) in a loop cannot fill the monitor pane.
class RefusalLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultWindowMs = 10000;

    // `what` and `whats` name one refused thing and several in the summary line.
    explicit RefusalLog(std::function<void(const QString &)> write, QObject *parent = nullptr,
                        QString what = QStringLiteral("connection"), QString whats = QStringLiteral("connections"));

    void setWindowMs(int ms) { m_window.setInterval(ms); }
    void refused(const QString &text);

private:
    void windowEnded();

    std::function<void(const QString &)> m_write;
    QString m_what;
    QString m_whats;
    QTimer m_window;
    int m_more = 0;
};
