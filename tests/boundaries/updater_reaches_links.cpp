// Built only by the test updater_sees_only_enginecore, which expects this include to fail:
// the updater's code sees the engine parts it links and no others.
#include "engine/links/CommandLink.h"
