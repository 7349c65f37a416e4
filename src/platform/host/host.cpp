// The host the platform layers use.
#include "platform/host/host.h"

namespace host {

namespace {
Host* activeHost = nullptr;
}

Host* ActiveHost() { return activeHost; }
void SetActiveHost(Host* host) { activeHost = host; }

}  // namespace host
