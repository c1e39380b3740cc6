#ifndef THREADHANDOVER_H
#define THREADHANDOVER_H

// Orderings between threads that Qt provides but the thread sanitizer cannot
// see. Qt itself is not instrumented: when QThread::wait() finds a thread
// already finished it returns through Qt's own futex-based lock, so the
// sanitizer would take everything the finished thread did as racing with the
// joiner's clean-up. The owner of a thread publishes on the thread's last
// step and receives after the join. In every other build these are no-ops.

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

namespace ThreadHandOver {

// Everything the calling thread did so far happens before a later Receive(p).
inline void Publish(const void *p)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void *>(p));
#else
    (void)p;
#endif
}

inline void Receive(const void *p)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void *>(p));
#else
    (void)p;
#endif
}

} // namespace ThreadHandOver

#endif // THREADHANDOVER_H
