#pragma once

#include "engine/ports/CommandBox.h"

#include <QColor>
#include <QLineEdit>
#include <QTimer>

#include <utility>

// The command box "Tcmd": one frame typed by the user. Its background tells how the last
// send went; Tsnd puts the white back two seconds after a green or red.
class CommandBoxWidget : public QLineEdit, public CommandBox
{
    Q_OBJECT

public:
    // Colours as the gateway links and the settings give them (0xBBGGRR).
    static constexpr quint32 White = 0xFFFFFF;
    static constexpr quint32 Yellow = 0x00FFFF;
    static constexpr quint32 Green = 0x00FF00;
    static constexpr quint32 Red = 0x0000FF;
    static constexpr int RestoreMs = 2000;

    explicit CommandBoxWidget(QWidget *parent = nullptr);

    void setBackground(quint32 bgr);
    quint32 background() const { return m_background; }
    // A green or red that Tsnd turns white again; a new one restarts the two seconds.
    void flash(quint32 bgr);
    QTimer &Tsnd() { return m_tsnd; }

    // CommandBox: how the command link colours the box.
    void setBackgroundColour(int rgb) override { setBackground(quint32(rgb)); }
    void restoreColourAfter(int ms) override { m_tsnd.start(ms); }

    // Why a typed text is not sent; None when it is.
    enum class Refusal { None, Empty, Characters, Shape, NoWho };
    struct Typed
    {
        QString frames;  // what goes to the gateway, one or more frames in the order typed
        Refusal refusal = Refusal::None;
    };
    // The frames in a typed text. A whole frame typed around or after the box's own "*##"
    // is what the person meant to send, so that frame is taken.
    static Typed framesIn(const QString &text);
    // The language text that says why, and the text shown where the file lacks it.
    static std::pair<QString, QString> refusalText(Refusal refusal);

signals:
    void sendRequested();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    quint32 m_background = White;
    QTimer m_tsnd;
};
