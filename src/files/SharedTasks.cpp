#include "files/SharedTasks.h"

#ifdef Q_OS_LINUX
#include <cstring>
#include <sched.h>
#endif

namespace glowline {

int currentProcessor()
{
#ifdef Q_OS_LINUX
    return sched_getcpu();
#else
    return -1;
#endif
}

#ifdef Q_OS_LINUX

static_assert(sizeof(cpu_set_t) <= sizeof(OffProcessor::Mask));

OffProcessor::OffProcessor(int processor)
{
    if (processor < 0 || processor >= CPU_SETSIZE || sched_getcpu() != processor)
        return;
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || !CPU_ISSET(processor, &allowed) ||
        CPU_COUNT(&allowed) < 2)
        return;
    cpu_set_t others = allowed;
    CPU_CLR(processor, &others);
    if (sched_setaffinity(0, sizeof others, &others) != 0)
        return;
    std::memcpy(m_allowed.data(), &allowed, sizeof allowed);
    m_moved = true;
}

OffProcessor::~OffProcessor()
{
    if (!m_moved)
        return;
    cpu_set_t allowed;
    std::memcpy(&allowed, m_allowed.data(), sizeof allowed);
    sched_setaffinity(0, sizeof allowed, &allowed);
}

#else

OffProcessor::OffProcessor(int) {}
OffProcessor::~OffProcessor() = default;

#endif

} // namespace glowline
