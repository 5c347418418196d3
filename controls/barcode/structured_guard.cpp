#include "structured_guard.h"

#include "HVTLogException.h"

namespace barcode {

namespace {

// The innermost guard of this thread.
struct Guard {
    void* jump[5]; // __builtin_setjmp's buffer
    Guard* outer;
    EXCEPTION_RECORD record;
};
thread_local Guard* t_guard = nullptr;

// Faults of the processor and the system's fatal conditions. First-chance
// notices that their own code handles (debug output, C++ throws, the
// runtime's own exceptions) pass on untouched.
bool IsFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_NONCONTINUABLE_EXCEPTION:
        return true;
    default:
        return false;
    }
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* information) {
    Guard* guard = t_guard;
    if (guard == nullptr || information == nullptr || information->ExceptionRecord == nullptr ||
        !IsFault(information->ExceptionRecord->ExceptionCode)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    guard->record = *information->ExceptionRecord;
    __builtin_longjmp(guard->jump, 1);
}

struct Handler {
    Handler() : handle(::AddVectoredExceptionHandler(1, &OnException)) {}
    ~Handler() {
        if (handle != nullptr) {
            ::RemoveVectoredExceptionHandler(handle);
        }
    }
    PVOID handle;
};

} // namespace

DWORD RunGuarded(void (*body)(void* context), void* context) noexcept {
    static Handler handler; // for the life of the module
    Guard guard = {};
    guard.outer = t_guard;
    if (__builtin_setjmp(guard.jump) == 0) {
        t_guard = &guard;
        body(context);
        t_guard = guard.outer;
        return 0;
    }
    t_guard = guard.outer;
    DWORD code = 0;
    EXCEPTION_POINTERS information = {&guard.record, nullptr};
    HVTLogException(&information, &code);
    return code != 0 ? code : guard.record.ExceptionCode;
}

} // namespace barcode
