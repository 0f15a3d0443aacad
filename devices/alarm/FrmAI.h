#pragma once

#include "devices/host/DeviceContext.h"
#include "devices/host/RefreshableWindow.h"

#include <QWidget>
#include <array>

class LampShape;
class PictureBox;
class QLabel;
class QSvgRenderer;
class QTimer;

// The burglar-alarm control unit at a glance: system, engagement, battery and mains, and the
// zone lamps. It only shows; it follows the shared alarm state while it is open.
class FrmAI : public QWidget, public RefreshableWindow
{
public:
    static constexpr int ZoneRows = 9;
    // While open, the window looks at the shared alarm state this often.
    static constexpr int FollowMs = 500;

    explicit FrmAI(DeviceContext context, QWidget *parent = nullptr);

    void AggiornaAllarme();
    void refreshFromState() override { AggiornaAllarme(); }
    QTimer *follower() const { return m_follow; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setPicture(PictureBox *icon, int picture);

    DeviceContext m_ctx;
    PictureBox *m_istat;
    PictureBox *m_ilock;
    PictureBox *m_ibatt;
    PictureBox *m_ipow;
    std::array<LampShape *, ZoneRows> m_szone{};
    QSvgRenderer *m_background;
    QTimer *m_follow;
};
