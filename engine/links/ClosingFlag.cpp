#include "engine/links/ClosingFlag.h"

#include "engine/links/LinkWait.h"

ClosingFlag &ClosingFlag::operator=(bool closing)
{
    m_closing = closing;
    if (closing)
        LinkWait::wakeAll();
    return *this;
}
