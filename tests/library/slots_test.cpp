// The lock and flag slots of the real Quillaby.dll, used from real threads.

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <future>
#include <memory>

#include "quillaby_dll.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// Long enough for a blocked call to show, short enough for the run.
constexpr auto kBlocked = 300ms;
constexpr auto kPromptly = 10s;

class Slots : public ::testing::Test {
  protected:
    // Runs the function on a new thread; the caller waits on the future with a bound.
    template <typename Function>
    static auto elsewhere(Function function) {
        return std::async(std::launch::async, function);
    }

    // Another thread's try-enter, which leaves again at once when it succeeds.
    int32_t otherThreadTakes(int32_t index) {
        auto attempt = elsewhere([this, index] {
            const int32_t entered = dll_->tryEnterCS(index);
            if (entered != 0) {
                dll_->leaveCS(index);
            }
            return entered;
        });
        EXPECT_EQ(attempt.wait_for(kPromptly), std::future_status::ready) << "try-enter waited";
        return attempt.get();
    }

    std::unique_ptr<QuillabyDll> dll_ = std::make_unique<QuillabyDll>();
};

}  // namespace

TEST_F(Slots, FlagsStartAtZeroOnEveryLoad) {
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(dll_->getFlag(i), 0) << "flag " << i;
    }
    dll_->setFlag(3, 7);
    dll_->setFlag(9, INT_MIN);
    EXPECT_EQ(elsewhere([this] { return dll_->getFlag(3); }).get(), 7);
    elsewhere([this] { dll_->setFlag(0, -12); }).get();
    EXPECT_EQ(dll_->getFlag(0), -12);
    EXPECT_EQ(dll_->getFlag(9), INT_MIN);
    EXPECT_EQ(dll_->enterCS(1), 1);
    EXPECT_EQ(dll_->leaveCS(1), 1);

    dll_.reset();
    dll_ = std::make_unique<QuillabyDll>();
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(dll_->getFlag(i), 0) << "flag " << i << " after reloading";
    }
}

TEST_F(Slots, IndexesOutOfRangeTouchNothing) {
    for (int32_t index : {6, 7, 10, -1, -6, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(dll_->enterCS(index), 0);
        EXPECT_EQ(dll_->tryEnterCS(index), 0);
        EXPECT_EQ(dll_->leaveCS(index), 0);
    }
    for (int32_t index : {10, 11, -1, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(index);
        dll_->setFlag(index, 1);
        EXPECT_EQ(dll_->getFlag(index), 0);
    }
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(dll_->getFlag(i), 0) << "flag " << i;
    }
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_NE(otherThreadTakes(i), 0) << "slot " << i << " is held";
    }
}

TEST_F(Slots, OwnerLeavesAsOftenAsItEntered) {
    EXPECT_EQ(dll_->enterCS(2), 1);
    EXPECT_EQ(dll_->enterCS(2), 1);
    EXPECT_NE(dll_->tryEnterCS(2), 0);
    EXPECT_EQ(otherThreadTakes(2), 0);
    EXPECT_EQ(dll_->leaveCS(2), 1);
    EXPECT_EQ(otherThreadTakes(2), 0);
    EXPECT_EQ(dll_->leaveCS(2), 1);
    EXPECT_EQ(otherThreadTakes(2), 0);
    EXPECT_EQ(dll_->leaveCS(2), 1);
    EXPECT_NE(otherThreadTakes(2), 0);
    EXPECT_NE(otherThreadTakes(3), 0);  // the slots are independent
}

TEST_F(Slots, SlotFiveGuardsTheFlags) {
    dll_->setFlag(0, 41);
    ASSERT_EQ(dll_->enterCS(5), 1);
    // The holder's own flag calls pass at once: the lock is recursive.
    EXPECT_EQ(dll_->getFlag(0), 41);
    dll_->setFlag(0, 42);

    auto reader = elsewhere([this] { return dll_->getFlag(0); });
    auto writer = elsewhere([this] { dll_->setFlag(1, 9); });
    EXPECT_EQ(reader.wait_for(kBlocked), std::future_status::timeout);
    EXPECT_EQ(writer.wait_for(0ms), std::future_status::timeout);
    EXPECT_EQ(dll_->getFlag(1), 0);
    EXPECT_EQ(otherThreadTakes(5), 0);
    EXPECT_NE(otherThreadTakes(4), 0);

    EXPECT_EQ(dll_->leaveCS(5), 1);
    ASSERT_EQ(reader.wait_for(kPromptly), std::future_status::ready);
    ASSERT_EQ(writer.wait_for(kPromptly), std::future_status::ready);
    EXPECT_EQ(reader.get(), 42);
    EXPECT_EQ(dll_->getFlag(1), 9);
}

// A thread that leaves a slot it does not own must not break the owner's lock.
TEST_F(Slots, LeaveByAnotherThreadIsRefused) {
    ASSERT_EQ(dll_->enterCS(1), 1);
    ASSERT_EQ(dll_->enterCS(1), 1);
    EXPECT_EQ(elsewhere([this] { return dll_->leaveCS(1); }).get(), 0);
    EXPECT_EQ(otherThreadTakes(1), 0);
    EXPECT_EQ(dll_->leaveCS(1), 1);
    EXPECT_EQ(otherThreadTakes(1), 0);  // the refused leave took no level away
    EXPECT_EQ(dll_->leaveCS(1), 1);
    EXPECT_NE(otherThreadTakes(1), 0);

    // Nobody owns it now: leaving again is refused, and the slot still works.
    EXPECT_EQ(dll_->leaveCS(1), 0);
    EXPECT_EQ(dll_->leaveCS(4), 0);
    EXPECT_EQ(dll_->enterCS(1), 1);
    EXPECT_EQ(otherThreadTakes(1), 0);
    EXPECT_EQ(dll_->leaveCS(1), 1);
    EXPECT_NE(otherThreadTakes(1), 0);
}
