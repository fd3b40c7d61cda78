#include "virtualwaiter.h"

namespace qm {

void VirtualWaiter::wait(int ms)
{
    m_waits.append(ms);
    if (ms > 0)
        m_now += ms;
    if (m_onWait)
        m_onWait(ms, m_now);
}

void VirtualWaiter::clear()
{
    m_now = 0;
    m_waits.clear();
}

} // namespace qm
