#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

class QSvgRenderer;

// Shows one vector picture scaled to the box, drawn afresh at the screen's pixel ratio so it
// stays sharp on any display. The number tells which picture of the window's set it shows.
class PictureBox : public QWidget
{
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(int number, const QString &resource);
    int picture() const { return m_number; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_number = 0;
    QString m_resource;
    QSvgRenderer *m_renderer = nullptr;
    QHash<QString, QSvgRenderer *> m_renderers;
};
