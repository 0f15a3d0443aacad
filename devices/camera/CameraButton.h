#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

#include <array>

class QSvgRenderer;

// The four faces' pictures, read once per window: a child of the window the buttons sit on,
// so they go with it and never outlive the application.
class CameraButtonFaces : public QObject
{
    Q_OBJECT

public:
    // The pictures of the buttons on `window`, made on the first call.
    static CameraButtonFaces &of(QWidget *window);

    QSvgRenderer &art(int face) const { return *m_art.at(size_t(face)); }

private:
    explicit CameraButtonFaces(QObject *owner);

    std::array<QSvgRenderer *, 4> m_art{};
};

// One of the thirteen small buttons of the camera window (cameras 1 to 12 and cycling),
// painted with one of four faces and its own label.
class CameraButton : public QWidget
{
    Q_OBJECT

public:
    enum class Face { White, Red, Down, DownRed };
    static constexpr int Width = 18;
    static constexpr int Height = 17;

    // index 0..11 shows the camera number index + 1; 12 is the cycling button ("A").
    explicit CameraButton(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    Face face() const { return m_face; }
    void setFace(Face face);
    QString label() const;
    // What a screen reader says of the face: `raised` for a red face (the camera shown),
    // `down` for a pressed one (flagged for the cycle; cycling, on the cycle button).
    void setStateTexts(const QString &raised, const QString &down);

signals:
    void released(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint labelOrigin() const;
    void describeFace();

    int m_index;
    Face m_face = Face::White;
    CameraButtonFaces &m_faces;
    QString m_raisedText;
    QString m_downText;
};
