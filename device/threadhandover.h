#ifndef THREADHANDOVER_H
#define THREADHANDOVER_H

// Orderings between threads that Qt provides but the thread sanitizer cannot
// see. Qt itself is not instrumented: when QThread::wait() finds a thread
// already finished it returns through Qt's own futex-based lock, so the
// sanitizer would take everything the finished thread did as racing with the
// joiner's clean-up; and bytes one thread filled and a queued signal hands
// to another look as if both touched them at once. The giving side
// publishes (on a thread's last step, before the emit), the taking side
// receives (after the join, in the slot). The same holds the other way: the
// owner publishes before it ends a thread, and the thread's clean-up
// receives. In every other build these are no-ops.

// g++ names a thread-sanitized build by a macro, clang by a feature.
#if defined(__SANITIZE_THREAD__)
#define KP_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KP_THREAD_SANITIZER 1
#endif
#endif

#if defined(KP_THREAD_SANITIZER)
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

namespace ThreadHandOver {

// Everything the calling thread did so far happens before a later Receive(p).
inline void Publish(const void *p)
{
#if defined(KP_THREAD_SANITIZER)
    __tsan_release(const_cast<void *>(p));
#else
    (void)p;
#endif
}

inline void Receive(const void *p)
{
#if defined(KP_THREAD_SANITIZER)
    __tsan_acquire(const_cast<void *>(p));
#else
    (void)p;
#endif
}

} // namespace ThreadHandOver

#endif // THREADHANDOVER_H
