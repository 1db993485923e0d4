#include <dlfcn.h>
#include <pthread.h>

// SANE backends that read in a thread of their own stop it by asynchronous cancellation. A
// Cancel can come at any moment of a scan, and a reader stopped inside malloc leaves the heap
// locked: the next allocation anywhere in the program hangs. Every thread is therefore stopped
// at its next cancellation point instead (the readers wait in read and write, which are). The
// program exports this, so that the backends it loads call it in place of the C library's.
extern "C" int pthread_setcanceltype(int, int *oldType) noexcept
{
    static const auto next = reinterpret_cast<int (*)(int, int *)>(dlsym(RTLD_NEXT, "pthread_setcanceltype"));
    return next(PTHREAD_CANCEL_DEFERRED, oldType);
}
