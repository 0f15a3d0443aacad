#pragma once

// The main window's command box as the command link colours it.
class CommandBox
{
public:
    virtual ~CommandBox() = default;
    // rgb as the program keeps colours: red 255, green 0xFF00, yellow 0xFFFF, white 0xFFFFFF.
    virtual void setBackgroundColour(int rgb) = 0;
    // Arms the one-shot timer that puts the white background back (restarted if running).
    virtual void restoreColourAfter(int ms) = 0;
};
