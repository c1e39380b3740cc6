#ifndef SIMHANDOVER_H
#define SIMHANDOVER_H

// The simulator's own hand-overs between its threads (the join of its
// thread, frames handed on by a queued signal) go through Qt's locks, which
// the thread sanitizer does not see. In a thread-sanitized build these mark
// them: the giving side calls Give after its last write, the taking side
// Take before its first read. Elsewhere they compile to nothing.

#if defined(__SANITIZE_THREAD__)
#define KP_SIM_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KP_SIM_TSAN 1
#endif
#endif

#ifdef KP_SIM_TSAN
extern "C" void __tsan_release(void *addr);
extern "C" void __tsan_acquire(void *addr);
#endif

namespace SimHandOver {

inline void Give([[maybe_unused]] const void *pTag)
{
#ifdef KP_SIM_TSAN
    __tsan_release(const_cast<void *>(pTag));
#endif
}

inline void Take([[maybe_unused]] const void *pTag)
{
#ifdef KP_SIM_TSAN
    __tsan_acquire(const_cast<void *>(pTag));
#endif
}

} // namespace SimHandOver

#endif // SIMHANDOVER_H
