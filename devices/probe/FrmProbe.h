#pragma once

#include "devices/host/DeviceContext.h"
#include "devices/host/KeyboardMenu.h"
#include "devices/host/ProbeDisplay.h"

#include <QString>
#include <QWidget>

class QLabel;
class QSvgRenderer;
class QTimer;

// The pill of one thermoregulation zone: its name, measured temperature, set point with the
// knob's local offset, and a background that tells idle, cooling or heating. It polls its
// zone every 30 to 35 s; the answers come back through the translator.
class FrmProbe : public QWidget, public ProbeDisplay
{
public:
    static constexpr int Width = 130;
    static constexpr int Height = 36;
    // Modes of pCol, and the background picture each one shows.
    enum Picture { Blue = 0, Red = 1, Grey = 2 };

    explicit FrmProbe(DeviceContext context, QWidget *parent = nullptr);
    ~FrmProbe() override;

    void Lname(const QString &name);
    void pZona(int zone) override;
    void Temperatura(const QString &text) override;
    void Tempset(const QString &text) override;
    void Knob(const QString &text) override;
    void pCol(int mode) override;

    // The outline: 36 one-pixel rows, each coded as left, row and right in decimal digits.
    static QRegion RitagliaRegion();
    void RitagliaForm();

    int Zona() const { return m_zona; }
    Picture picture() const { return m_picture; }
    QTimer *Tagg() const { return m_tagg; }
    void Tagg_Timer();
    // The choice made in the window's menu: 1 closes the window.
    void menuChosen(int id);

protected:
    void paintEvent(QPaintEvent *event) override;
    // The Menu key and Shift+F10 open the menu; Escape closes the window as Exit does.
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void MostraMenu();
    QList<KeyboardMenu::Entry> menuEntries() const;
    void showSetPoint();

    DeviceContext m_ctx;
    qint16 m_zona = 0;
    QString m_ultimoSet;
    QString m_ultimoKnob;
    Picture m_picture = Grey;
    QLabel *m_lname;
    QLabel *m_ltemp;
    QLabel *m_lsetp;
    QTimer *m_tagg;
    QSvgRenderer *m_ipic[3];
    KeyboardMenu m_menu;
};
