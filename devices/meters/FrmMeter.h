#pragma once

#include "devices/host/DeviceContext.h"
#include "devices/host/KeyboardMenu.h"
#include "devices/host/MeterDisplay.h"
#include "devices/meters/MeterVariant.h"

#include <QPointF>
#include <QWidget>

class LampShape;
class PictureBox;
class QLabel;
class QSvgRenderer;
class QTimer;

// An analogue meter (voltage, current or power, after its variant): a dial whose needle
// eases toward the stored reading, the reading as text and a lamp lit by each poll. It asks
// the gateway for its reading every 60 s while open; the translator stores the answer.
class FrmMeter : public QWidget, public MeterDisplay
{
public:
    // The design is laid out in twips.
    static constexpr int WidthTw = 1905;
    static constexpr int HeightTw = 1080;
    static constexpr QPointF PivotTw{975, 1050};

    FrmMeter(DeviceContext context, const MeterVariant &variant, QWidget *parent = nullptr);
    ~FrmMeter() override;

    // Volt, Ampere or Watt: the label shows the reading as received.
    void showReading(const QString &reading) override;

    void Tagg_Timer();
    void Tcol_Timer();
    void Tlanc_Timer();
    // The choice made in the window's menu: 1 refresh, 2 close.
    void menuChosen(int id);

    const MeterVariant &variant() const { return m_variant; }
    qint16 PosLancetta() const { return m_posLancetta; }
    int LivLamp() const { return m_livLamp; }
    // The needle's free end in twips, and how often it has been drawn.
    QPointF needleEnd() const { return m_needleEnd; }
    int needleDraws() const { return m_draws; }
    QTimer *Tagg() const { return m_tagg; }
    QTimer *Tcol() const { return m_tcol; }
    QTimer *Tlanc() const { return m_tlanc; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The Menu key and Shift+F10 open the menu.
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void DisegnaLancetta(float value, qint16 scale, qint16 length);
    void MostraMenu();
    QList<KeyboardMenu::Entry> menuEntries() const;
    QRect toPixels(const QRectF &twips) const;

    DeviceContext m_ctx;
    const MeterVariant &m_variant;
    qint16 m_posLancetta = -125;
    int m_livLamp = 0;
    QPointF m_needleEnd{0, 450};
    int m_draws = 0;
    QLabel *m_reading;
    LampShape *m_slamp;
    PictureBox *m_iv;
    QSvgRenderer *m_face;
    QTimer *m_tlanc;
    QTimer *m_tcol;
    QTimer *m_tagg;
    KeyboardMenu m_menu;
};
