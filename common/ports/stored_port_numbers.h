// The COM numbers devices hold, kept in the user's settings where both
// programs read and write them.
#pragma once

#include "common/ports/port_names.h"

namespace ports {

PortNumbers loadStoredPortNumbers();
void storePortNumbers(const PortNumbers& numbers);

}  // namespace ports
