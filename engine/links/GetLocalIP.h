#pragma once

#include <QString>

// This computer's address as the gateway sees it: the first IPv4 address of an interface
// that is up and not loopback, as dotted decimal text; empty when there is none.
QString GetLocalIP();
