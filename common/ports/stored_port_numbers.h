// The COM numbers devices hold, kept in the user's settings where both
// programs read and write them.
#pragma once

#include "common/ports/port_names.h"

namespace ports {

PortNumbers loadStoredPortNumbers();
void storePortNumbers(const PortNumbers& numbers);
// The lines "7=rfc2217://signs.example:4001" at the top of the file (or
// under [General]): the number, 1 or more, and a server's URL.
PortUrls loadStoredPortUrls();

}  // namespace ports
