#pragma once
// Qt is not built with ThreadSanitizer, so a hand-over that goes through
// Qt's own locks (a posted event, QThread::wait) looks to it like no
// synchronisation at all. The sending side marks the object it hands over,
// the receiving side marks taking it; outside ThreadSanitizer builds both
// are nothing.

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace lumeno {

inline void TsanHandOver([[maybe_unused]] const void* Object)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void*>(Object));
#endif
}

inline void TsanTakeOver([[maybe_unused]] const void* Object)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(Object));
#endif
}

} // namespace lumeno
