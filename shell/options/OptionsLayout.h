#pragma once

#include <QCheckBox>
#include <QString>

// What the options dialog's controls and handlers share: lamp colours, the slider's range, the
// protocol captions and the naming of controls (found by their names, as the tests do).
namespace OptionsLayout {

inline constexpr quint32 LampOff = 0xC0C0C0;
inline constexpr quint32 LampOn = 0xFF00;
inline constexpr int MonitorOnImage = 2;
inline constexpr int SliderMax = 250;  // + 5 stays within a byte
inline constexpr int OpacityFloor = 5;

inline const QString Ethernet = QStringLiteral("Gateway Ethernet");
inline const QString Usb = QStringLiteral("Gateway USB");

inline QString boxValue(const QCheckBox *box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }

inline QString indexedName(const char *name, int index) { return QString::fromLatin1(name) + QString::number(index); }

template <typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

template <typename T>
T *named(T *widget, const char *name)
{
    return named(widget, QString::fromLatin1(name));
}


} // namespace OptionsLayout
