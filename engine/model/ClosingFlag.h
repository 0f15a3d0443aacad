#pragma once

// InChiusura: set once when the program starts closing. Setting it wakes every running
// gateway wait, so each ends at once instead of at its next look at the flag.
class ClosingFlag
{
public:
    ClosingFlag &operator=(bool closing);
    // Readers keep a reference to the live value (the tray icon does).
    operator const bool &() const { return m_closing; }

private:
    bool m_closing = false;
};
