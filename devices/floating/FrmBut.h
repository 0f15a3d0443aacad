#pragma once

#include "shell/snapping/Snap.h"

#include <QColor>
#include <QList>
#include <QTimer>
#include <QWidget>

class LevelPopup;
class ProgramSettings;
class QLabel;
class QSvgRenderer;

// A floating 48 x 48 button showing a level from 0 to 100 % as text and fill colour. A click
// toggles 0 and 100, a press held for a second opens the shared level pop-up at the button's
// left, a drag moves it and a double click closes it. Several may exist, each with its own
// index, under which it keeps its position. It sends nothing.
class FrmBut : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Side = 48;
    static constexpr int LongPressMs = 1000;

    FrmBut(ProgramSettings &settings, LevelPopup &popup, QWidget *parent = nullptr);
    ~FrmBut() override;

    // Sets the index and moves the button to the place saved under it.
    void bIndex(const QString &value);
    int Indice() const { return m_indice; }
    // The level, 0 to 100: a member of the window's own interface, which nothing here reads yet.
    int Livello() const { return m_livello; }
    QColor fillColour() const { return m_fill; }
    // Cuts the window to its rounded square.
    void RitagliaForm();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void ImpostaLivello(int &level);
    void Form_Click();
    void TmPop_Timer();

    ProgramSettings &m_settings;
    LevelPopup &m_popup;
    QLabel *m_lname = nullptr;
    QLabel *m_lp = nullptr;
    QSvgRenderer *m_frame = nullptr;
    QSvgRenderer *m_gloss = nullptr;
    QColor m_fill;
    QTimer m_tmPop;
    // A drag: where the press held the window, and the edges it snaps to.
    Snap::Drag m_snap;
    QList<Snap::Edges> m_targets;
    bool m_dragging = false;

    int m_livello = 0;
    bool m_premuto = false;
    bool m_popArmato = false;
    int m_indice = 0;
    // A press that dragged, opened the pop-up or ended a double click is no click.
    bool m_noClick = false;
    bool m_undocked = false;
};
