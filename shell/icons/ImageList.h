#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// The main window's image list: the pictures the toolbar buttons take by position (1-based).
class ImageList
{
public:
    struct Image
    {
        QString key;
        QIcon icon;
    };

    void clear() { m_images.clear(); }
    void add(const QString &key, const QIcon &icon) { m_images.append({key, icon}); }
    int count() const { return int(m_images.size()); }
    // Image n (1-based); a null icon when there is no such image.
    QIcon icon(int n) const { return n >= 1 && n <= count() ? m_images.at(n - 1).icon : QIcon(); }
    QString key(int n) const { return n >= 1 && n <= count() ? m_images.at(n - 1).key : QString(); }
    const QList<Image> &images() const { return m_images; }

    // The pictures that ship with the program, at the positions the toolbar uses.
    static ImageList builtIn();

private:
    QList<Image> m_images;
};
