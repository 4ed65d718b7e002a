#pragma once
// Six recursive lock slots and ten integer flags shared by the threads of one process.
// The flags are guarded by lock slot 5.

#include <cstdint>

namespace quillaby {

void initSlots();
void deleteSlots();

int32_t enterSlot(int32_t index);
int32_t tryEnterSlot(int32_t index);
// 0 when the calling thread does not own the slot: another thread's lock stays intact.
int32_t leaveSlot(int32_t index);

void setFlag(int32_t index, int32_t value);
int32_t getFlag(int32_t index);

}  // namespace quillaby
