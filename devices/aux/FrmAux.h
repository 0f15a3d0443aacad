#pragma once

#include "devices/host/DeviceContext.h"
#include "devices/host/RefreshableWindow.h"

#include <QWidget>
#include <array>
#include <optional>

class PictureBox;
class QCheckBox;
class QLabel;
class QPushButton;

// The fifteen auxiliary channels as lamps with their numbers and names; a click on a number
// switches the channel. It paints the shared channel state and changes it only once the
// gateway has acknowledged a switch.
class FrmAux : public QWidget, public RefreshableWindow
{
public:
    static constexpr int Channels = 15;

    explicit FrmAux(DeviceContext context, QWidget *parent = nullptr);

    // Repaints the rows of StatoAux that changed since the last time.
    void Aggiorna();
    void refreshFromState() override { Aggiorna(); }
    void Laux_Click(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Contop_Click();

    DeviceContext m_ctx;
    std::array<PictureBox *, Channels> m_imgAux{};
    std::array<QPushButton *, Channels> m_laux{};
    std::array<QLabel *, Channels> m_lnAux{};
    // What each row shows; none before the first paint.
    std::array<std::optional<bool>, Channels> m_shown{};
    QCheckBox *m_contop;
};
