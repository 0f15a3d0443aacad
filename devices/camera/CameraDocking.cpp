#include "CameraDocking.h"

namespace CameraDocking {

// Window snapping plugs in here.
void dock(QWidget *) {}

} // namespace CameraDocking
