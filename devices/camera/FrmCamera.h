#pragma once

#include "devices/camera/CameraButton.h"
#include "devices/camera/CameraContext.h"
#include "devices/camera/CameraTimings.h"
#include "devices/camera/MotionState.h"
#include "devices/camera/PictureFetcher.h"

#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

// The borderless window that watches the door-entry cameras: it switches the chosen camera
// on, fetches its pictures from the gateway one after the other, shows and stores each one,
// looks for movement when asked, adjusts the picture and cycles through flagged cameras.
// The picture loop is driven by the event loop: each picture handled sends the next request.
class FrmCamera : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Basso = 4335; // height in twips, shrunk
    static constexpr int Alto = 5025;  // enlarged

    explicit FrmCamera(const CameraContext &context, QWidget *parent = nullptr);
    ~FrmCamera() override;

    // Runs the picture loop for camera `camera` (index into IndirizziCamere); a loop already
    // running is restarted on that camera. Errors of a display client's request go to the
    // monitor log instead of a message box.
    void Video(int camera, bool fromDisplayClient = false);
    // The loop ends after the response it waits for, whose picture is dropped.
    void StopMe();

    // The address the pictures come from instead of the gateway's (tests, benchmarks).
    void setPictureBase(const QUrl &base) { m_base = base; }
    void setTimings(const CameraTimings &timings);

    // The window's controls as the user drives them.
    void Iexpand_Click();
    void Istart_Click();
    void Istop_Click() { StopMe(); }
    void Pbut_MouseUp(int index, Qt::MouseButton button);
    void Ipiu_Click(int index);
    void Imeno_Click(int index);
    void Txtcicla_Validate();
    void Tcicla_Timer();
    void Trefresh_Timer();
    void Tready_Timer();

    bool isRunning() const { return m_inCorso; }
    bool isEnlarged() const { return m_enlarged; }
    bool isCycling() const { return m_ciclo; }
    int cameraCorrente() const { return m_cameraCorrente; }
    int tempoCiclo() const { return m_tempoCiclo; }
    const MotionState &motion() const { return m_motion; }
    MotionState &motion() { return m_motion; }

signals:
    // A picture was shown (tests, benchmarks).
    void pictureShown();
    // The loop went back to idle.
    void loopEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    void buildFrame();
    void buildPicture();
    void buildCameraRow();
    void buildAdjustments();
    void buildAdjustmentPair(QFrame *frame, int i);
    void applyTexts();
    void Form_Load();
    void Form_Unload();
    void requestPicture();
    void onPicture(const QByteArray &body);
    bool MostraImmagine(const QByteArray &body);
    void RilevaMovimento(QImage &picture);
    void finishLoop();
    void errorPath(int number, const QString &description);
    void report(const QString &text, bool critical);
    void switchOn(int camera);
    void paintCameraButtons();
    void showCameraName();
    void setHeightTwips(int twips);
    QString cameraAddress(int camera) const;
    QUrl pictureUrl() const;

    CameraContext m_ctx;
    CameraTimings m_timings;
    QUrl m_base;
    PictureFetcher m_fetcher;
    MotionState m_motion;

    // Loop state
    bool m_fermo = false;
    bool m_inCorso = false;
    bool m_commutata = false;
    bool m_fromDisplayClient = false;
    int m_cameraAccesa = 0; // the camera the running loop switched on
    QUrl m_url;

    // Camera choice and cycling
    int m_cameraCorrente = 1;
    bool m_ciclo = false;
    std::array<bool, 13> m_inCiclo{};
    int m_posizioneCiclo = 1;
    qint16 m_tempoCiclo = 10000;

    bool m_enlarged = false;
    bool m_unloaded = false;

    QTimer m_startWait;
    QTimer *Trefresh;
    QTimer *Tready;
    QTimer *Tcicla;

    QLabel *Pcam = nullptr;
    QLabel *Lcap = nullptr;
    QLabel *Label1 = nullptr;
    std::array<CameraButton *, 13> Pbut{};
    QToolButton *Iexpand = nullptr;
    QToolButton *Istart = nullptr;
    QToolButton *Istop = nullptr;
    QToolButton *Ixit = nullptr;
    std::array<QToolButton *, 5> Ipiu{};
    std::array<QToolButton *, 5> Imeno{};
    std::array<QLabel *, 6> Lb{};
    QLineEdit *Txtcicla = nullptr;
    QCheckBox *Cmotion = nullptr;
    QFrame *m_adjustments = nullptr;
};
