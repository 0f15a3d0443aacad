#pragma once

// What the whole application is, set for main and the tests alike. Program makes one before
// anything else of its own, so every part it builds sees the application already set up.
class ProgramApplication
{
public:
    // describe(), and what the desktop needs: the menu entry the windows belong to, and a
    // program that lives on in the tray when its last visible window closes.
    ProgramApplication();

    // The name and version that the command line answers with.
    static void describe();
};
