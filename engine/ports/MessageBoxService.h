#pragma once

#include <QString>

// Message boxes as the engine asks for them. The shell shows real ones; tests record them.
class MessageBoxService
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };

    virtual ~MessageBoxService() = default;
    // A message with an OK button; returns when the user has answered.
    virtual void message(const QString &text, const QString &title, Icon icon = Icon::None) = 0;
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title, Icon icon = Icon::Question) = 0;
};
