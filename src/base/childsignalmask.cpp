#include "base/childsignalmask.h"

#include <pthread.h>

namespace ChildSignalMask {

namespace {

// Zero-initialised: an empty set until blockInProcess() records the start mask.
sigset_t startMask;

} // namespace

void blockInProcess(const sigset_t &signals)
{
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &signals, &before);
    static const bool registered = [&before] {
        startMask = before;
        return pthread_atfork(nullptr, nullptr, restoreInChild) == 0;
    }();
    static_cast<void>(registered);
}

void restoreInChild()
{
    pthread_sigmask(SIG_SETMASK, &startMask, nullptr);
}

} // namespace ChildSignalMask
