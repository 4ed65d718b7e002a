#include "slots.h"

#include <windows.h>

#include <atomic>

namespace quillaby {
namespace {

constexpr int32_t kLockSlots = 6;
constexpr int32_t kFlagSlots = 10;
constexpr int32_t kFlagLock = 5;

struct LockSlot {
    CRITICAL_SECTION section;
    // Written only by the owning thread, so a thread reads its own id here only while it owns.
    std::atomic<DWORD> owner{0};
    int32_t depth = 0;
};

LockSlot locks[kLockSlots];
int32_t flags[kFlagSlots];

bool isLockIndex(int32_t index) {
    return index >= 0 && index < kLockSlots;
}
bool isFlagIndex(int32_t index) {
    return index >= 0 && index < kFlagSlots;
}

void recordOwnership(LockSlot& slot) {
    slot.owner.store(GetCurrentThreadId(), std::memory_order_relaxed);
    ++slot.depth;
}

}  // namespace

void initSlots() {
    for (LockSlot& slot : locks) {
        InitializeCriticalSection(&slot.section);
        slot.owner = 0;
        slot.depth = 0;
    }
    for (int32_t& flag : flags) {
        flag = 0;
    }
}

void deleteSlots() {
    for (LockSlot& slot : locks) {
        DeleteCriticalSection(&slot.section);
    }
}

int32_t enterSlot(int32_t index) {
    if (!isLockIndex(index)) {
        return 0;
    }
    EnterCriticalSection(&locks[index].section);
    recordOwnership(locks[index]);
    return 1;
}

int32_t tryEnterSlot(int32_t index) {
    if (!isLockIndex(index)) {
        return 0;
    }
    const BOOL entered = TryEnterCriticalSection(&locks[index].section);
    if (entered) {
        recordOwnership(locks[index]);
    }
    return entered;
}

int32_t leaveSlot(int32_t index) {
    if (!isLockIndex(index)) {
        return 0;
    }
    LockSlot& slot = locks[index];
    if (slot.owner.load(std::memory_order_relaxed) != GetCurrentThreadId()) {
        return 0;
    }
    if (--slot.depth == 0) {
        slot.owner.store(0, std::memory_order_relaxed);
    }
    LeaveCriticalSection(&slot.section);
    return 1;
}

void setFlag(int32_t index, int32_t value) {
    if (!isFlagIndex(index)) {
        return;
    }
    enterSlot(kFlagLock);
    flags[index] = value;
    leaveSlot(kFlagLock);
}

int32_t getFlag(int32_t index) {
    if (!isFlagIndex(index)) {
        return 0;
    }
    enterSlot(kFlagLock);
    const int32_t value = flags[index];
    leaveSlot(kFlagLock);
    return value;
}

}  // namespace quillaby
