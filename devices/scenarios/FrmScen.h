#pragma once

#include "devices/host/DeviceContext.h"

#include <QTimer>
#include <QWidget>
#include <array>

class PictureBox;
class QLabel;

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
    // The pictures a button shows: Ipic(0) at rest, Ipic(1) highlighted.
    enum Ipic { Normal = 0, Highlighted = 1 };

    explicit FrmScen(const DeviceContext &context, QWidget *parent = nullptr);

    // The highlighted button (1 to 16), 0 when none; whether a name is shown.
    int Evidenziato() const { return m_evidenziato; }
    bool HoverAttivo() const { return m_hoverAttivo; }
    // One check of the cursor, as the panel's timer makes every 80 ms.
    void Tcur_Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildArt();
    void Isc_MouseMove(int index);
    void Lnum_Click(int index);
    void paintNumber(int index, bool lit);
    void AggiornaScenari(int keep);
    void MostraMenu();
    bool onPanel(const QPoint &globalPos) const;

    DeviceContext m_context;
    PictureBox *m_isfondo = nullptr;
    std::array<PictureBox *, Buttons> m_isc{};
    std::array<QLabel *, Buttons> m_lnum{};
    std::array<QLabel *, 2> m_lsce{};
    QTimer m_tcur;

    int m_evidenziato = 0;
    bool m_hoverAttivo = false;
    int m_ultimaSommaCursore = 0;
};
