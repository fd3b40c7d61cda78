#pragma once

#include "platform/services.h"

namespace qm {

// Waits in a local event loop that a timer ends: windows keep being painted
// and input keeps being handled, and no processor time is burnt. Returns
// only when the whole time has passed.
class QtWaiter : public IWaiter
{
public:
    void wait(int ms) override;
};

} // namespace qm
