#pragma once

#include <QObject>
#include <QPixmap>

class QLabel;
class QStatusBar;
class QTimer;

// The main window's status bar "StBar": the link status text (panel 1), the traffic light
// (panel 2) that blinks for 500 ms on received traffic ("Ttray"), and the display-client
// lamp "Lchum".
class MainStatusBar : public QObject
{
    Q_OBJECT

public:
    explicit MainStatusBar(QStatusBar &bar);

    void setText(const QString &text);
    QString text() const;
    void showActivity();
    void stopActivity();
    // The lamp in the colour the settings keep (0xBBGGRR).
    void setClientLamp(quint32 bgr);
    // What a reader says for the two lamps, which show only a colour or a picture.
    void nameLamps(const QString &activity, const QString &clients);

signals:
    // The blink is over: the tray picture goes back to the link's own.
    void activityEnded();

private:
    void setLight(bool active);

    QLabel *m_panel1;
    QLabel *m_panel2;
    QLabel *m_lchum;
    QTimer *m_ttray;
    const QPixmap m_idle;
    const QPixmap m_active;
};
