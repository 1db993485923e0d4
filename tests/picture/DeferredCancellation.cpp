#include <dlfcn.h>
#include <pthread.h>

// SANE's test backend stops its reader thread by asynchronous cancellation; a reader stopped
// inside malloc leaves the heap locked, and a later scan of the test hangs. A cancel may come
// at any moment, so in the scanner tests every thread is stopped at its next cancellation
// point instead. The executable exports this for the backend it loads.
extern "C" int pthread_setcanceltype(int, int *oldType) noexcept
{
    static const auto next = reinterpret_cast<int (*)(int, int *)>(dlsym(RTLD_NEXT, "pthread_setcanceltype"));
    return next(PTHREAD_CANCEL_DEFERRED, oldType);
}
