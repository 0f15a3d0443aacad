#include "engine/model/ClosingFlag.h"

#include "engine/links/LinkWait.h"

// The one call of the model into the links: a wait in progress is a fact of the GUI thread,
// not of any link, so the flag wakes them all.
ClosingFlag &ClosingFlag::operator=(bool closing)
{
    m_closing = closing;
    if (closing)
        LinkWait::wakeAll();
    return *this;
}
