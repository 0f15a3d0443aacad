#pragma once

#include "engine/ports/NoticeService.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <optional>

class FrmMsg;
class ImageList;
class QTimer;
struct EngineState;
struct ShellOptions;

// The notice pop-up: fills FrmMsg and brings it in, holds it and takes it away with the
// effect of the options (plain, slide up from the bottom, fade), one 10 ms step at a time.
// The timer runs only while a notice is up. Positions are kept in twips as the settings hold
// them.
class NoticePopup : public QObject, public NoticeService
{
    Q_OBJECT

public:
    enum Phase { Idle = 0, ComingIn = 1, Held = 2, GoingOut = 3 };
    static constexpr int TwipsPerPixel = 15;
    static constexpr int WindowHeightTwips = 915;
    static constexpr int SlideStepTwips = 30;

    explicit NoticePopup(QObject *parent = nullptr);
    ~NoticePopup() override;

    // The program's state (closing, program folder) and the main window's options and
    // pictures; until they are attached, notices show nothing.
    void attach(const EngineState &state, const ShellOptions &options, const ImageList &images);

    void MostraMessaggio(const QString &text, const QString &detail, int durationMs, int icon) override;
    // One animation step: what the timer runs.
    void Tpopup_Timer();
    // The colour scheme changed: the next notice builds the window anew.
    void unload();
    // While `window` is up (the position preview, shown where notices appear) notices wait
    // behind it: the one showing goes at once, and the latest to come shows once it goes.
    void waitFor(QWidget *window);
    bool waiting() const { return !m_waitFor.isNull(); }

    int FasePopup() const { return m_phase; }
    int OpacitaPopup() const { return m_opacity; }
    QTimer *Tpopup() const { return m_timer; }
    // The window with the latest notice's texts in it.
    FrmMsg *window();
    // The window's top and height in twips as the steps leave them.
    int topTwips() const { return m_top; }
    int heightTwips() const { return m_height; }

    static int pixels(double twips);
    // Where notices appear, in twips: the stored position, or the primary screen's bottom
    // right corner when the stored one lies off every screen (or is not a number).
    static QPointF placeTwips(const ShellOptions &options);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void endWait();
    FrmMsg *frmMsg();
    // Puts the latest notice into the window and brings it above the others.
    void showLatest();
    const QPixmap &picture(int icon);
    void restartTimer(int intervalMs);
    void place();
    void applyOpacity();
    void hold();
    void goOut();
    void end();

    const EngineState *m_state = nullptr;
    const ShellOptions *m_options = nullptr;
    const ImageList *m_images = nullptr;
    QPointer<FrmMsg> m_window;
    QTimer *m_timer;
    int m_phase = Idle;
    int m_duration = 0;
    int m_opacity = 0;
    double m_left = 0;
    int m_posY = 0;
    int m_top = 0;
    int m_height = 0;
    // A burst of frames raises a notice per frame within one turn of the event loop, and each
    // replaces the one before before anything is drawn: only the latest is put into the window,
    // once per turn (or when someone looks at the window).
    QString m_text;
    QString m_detail;
    int m_icon = 0;
    bool m_latestShown = true;
    bool m_raise = false;
    // The window notices wait behind, and the latest notice that came meanwhile.
    QPointer<QWidget> m_waitFor;
    struct Waiting
    {
        QString text;
        QString detail;
        int durationMs = 0;
        int icon = 0;
    };
    std::optional<Waiting> m_waiting;
    // The notice pictures, drawn once per window (so once per colour scheme).
    QHash<int, QPixmap> m_pictures;
};
