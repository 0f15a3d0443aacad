#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What the options dialog drives of pieces built elsewhere: the notice position preview,
// the speaking character and the display-client listeners.
class OptionsServices
{
public:
    virtual ~OptionsServices() = default;

    // Shows the notice position preview at the stored position, modal over `over` (the
    // options dialog); the user drags it and its OK saves the new position at once. While it
    // is open a second one does not open.
    virtual void previewNoticePosition(QWidget *over) = 0;

    // Base names of the character files the user can choose from.
    virtual QStringList characterNames() const = 0;
    virtual bool characterLoaded() const = 0;
    // Loads the named character in place of the current one; false when it could not be had.
    virtual bool loadCharacter(const QString &name, bool sound, bool visible) = 0;
    virtual void releaseCharacter() = 0;
    virtual void setCharacterSound(bool on) = 0;

    // The display-client (2010) and policy (843) listeners.
    virtual bool startListeners() = 0;
    virtual void stopListeners() = 0;
    virtual bool listenersRunning() const = 0;
};
