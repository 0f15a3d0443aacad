#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>

#include "FloatingDrag.h"

class FrameSender;
class ProgramSettings;
class QLabel;
class QMenu;
struct EngineState;

// The scenario panel: sixteen buttons on two arcs that run the scenarios of the scenario
// module. Pointing at a defined scenario shows its name; a click sends its command frame.
// The panel is shaped by its background picture: the key colour around it is cut away by
// a window mask, so those pixels are neither drawn nor take the mouse.
class FrmScen : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Buttons = 16;
    static constexpr int TcurInterval = 80;

    FrmScen(const EngineState &state, ProgramSettings &settings, FrameSender &sender, QWidget *parent = nullptr);

    // The highlighted button (1 to 16), 0 when none; whether a name is shown.
    int Evidenziato() const { return m_evidenziato; }
    bool HoverAttivo() const { return m_hoverAttivo; }
    // 0: the normal button picture, 1: the highlighted one.
    const QPixmap &Ipic(int index) const { return m_ipic.at(size_t(index)); }
    // One check of the cursor, as the panel's timer makes every 80 ms.
    void Tcur_Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildArt();
    void Isc_MouseMove(int index);
    void Lnum_Click(int index);
    void Isfondo_MouseMove();
    void AggiornaScenari(int keep);
    void MostraMenu(const QPoint &globalPos);
    bool onPanel(const QPoint &globalPos) const;

    const EngineState &m_state;
    ProgramSettings &m_settings;
    FrameSender &m_sender;

    QLabel *m_isfondo = nullptr;
    std::array<QLabel *, Buttons> m_isc{};
    std::array<QLabel *, 2> m_lsce{};
    std::array<QPixmap, 2> m_ipic;
    QTimer m_tcur;
    FloatingDrag m_drag;

    int m_evidenziato = 0;
    bool m_hoverAttivo = false;
    int m_ultimaSommaCursore = 0;
};
