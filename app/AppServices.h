#pragma once

class CharacterService;
class DeviceWindows;
class DisplayClient;
class NoticeService;
class WindowRegistry;

// The services the engine reaches the user interface through. main builds them and hands
// them in, so a new service is plugged in here without touching the main window.
struct AppServices
{
    NoticeService &notice;
    CharacterService &character;
    DisplayClient &display;
    DeviceWindows &deviceWindows;
    WindowRegistry &windows;
};
