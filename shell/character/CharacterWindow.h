#pragma once

#include "shell/character/CharacterFile.h"

#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QTimer>
#include <QWidget>

// The character on the desktop: a borderless, see-through window that stays on top, never
// takes the focus, plays the character's animations and shows the sentence being spoken in
// a balloon above the figure. Without a compositor the window is shaped to what it draws.
class CharacterWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterWindow(CharacterFile file, QWidget *parent = nullptr);

    bool hasAnimation(const QString &name) const { return m_file.animations.contains(name); }
    // Starts the named animation from its first frame; false when the character lacks it.
    bool play(const QString &name);
    QString animation() const { return m_current; }
    void setBalloon(const QString &text);
    QString balloon() const { return m_balloon; }
    // Where the figure is drawn, in the window's coordinates.
    QRect figureRect() const;

signals:
    void animationStarted(const QString &name);
    // A non-looping animation has shown its last frame.
    void animationEnded(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void nextFrame();
    QImage frameImage(const QString &path, qreal ratio);
    QRect balloonRect() const;
    QPainterPath balloonPath() const;
    void updateShape();

    CharacterFile m_file;
    QString m_current;
    int m_frame = 0;
    QTimer m_timer;
    QString m_balloon;
    QHash<QString, QImage> m_cache;
    QRegion m_shape;
};
