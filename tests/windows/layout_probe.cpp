// Compiled alone by the layout check: the host's records as the component's
// sources see them.
#include "host/zant_host.h"
#include "script_helper/parentMessage.h"
