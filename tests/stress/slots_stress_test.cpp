// The slots under contention, through the exports of the DLL as built.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "quillaby_dll.h"

namespace {

using testing_support::QuillabyDll;

void runThreads(int count, const std::function<void(int)>& body) {
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t) {
        threads.emplace_back(body, t);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

TEST(SlotsStress, IncrementsUnderSlotFiveAreNeverLost) {
    const QuillabyDll dll;
    constexpr int kThreads = 8;
    constexpr int kIncrements = 100000;
    dll.setFlag(0, 0);
    runThreads(kThreads, [&dll](int) {
        for (int i = 0; i < kIncrements; ++i) {
            dll.enterCS(5);
            const int32_t value = dll.getFlag(0);
            dll.setFlag(0, value + 1);
            dll.leaveCS(5);
        }
    });
    EXPECT_EQ(dll.getFlag(0), kThreads * kIncrements);
    // Every thread left as often as it entered: another thread can take the slot now.
    std::thread([&dll] {
        EXPECT_NE(dll.tryEnterCS(5), 0);
        dll.leaveCS(5);
    }).join();
}

TEST(SlotsStress, TryEnterNeverLetsTwoThreadsOwnASlot) {
    const QuillabyDll dll;
    constexpr int kThreads = 8;
    constexpr int kAttempts = 50000;
    for (int32_t slot : {0, 5}) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        std::atomic<int> inside{0};
        std::atomic<int> overlaps{0};
        std::atomic<int> owned{0};
        std::atomic<int> refused{0};
        runThreads(kThreads, [&](int) {
            for (int i = 0; i < kAttempts; ++i) {
                if (dll.tryEnterCS(slot) == 0) {
                    refused.fetch_add(1);
                    continue;
                }
                if (inside.fetch_add(1) != 0) {
                    overlaps.fetch_add(1);
                }
                owned.fetch_add(1);
                // Stay a moment, so that other threads really try while the slot is held.
                for (volatile int spin = 0; spin < 50; spin = spin + 1) {
                }
                inside.fetch_sub(1);
                dll.leaveCS(slot);
            }
        });
        EXPECT_EQ(overlaps.load(), 0);
        EXPECT_EQ(owned.load() + refused.load(), kThreads * kAttempts);
        EXPECT_GT(owned.load(), 0);
        std::thread([&dll, slot] {
            EXPECT_NE(dll.tryEnterCS(slot), 0);
            dll.leaveCS(slot);
        }).join();
    }
}

TEST(SlotsStress, TryEnterIsRefusedWhileAnotherThreadHoldsTheSlot) {
    const QuillabyDll dll;
    ASSERT_EQ(dll.enterCS(3), 1);
    std::atomic<int> granted{0};
    runThreads(8, [&](int) {
        for (int i = 0; i < 1000; ++i) {
            if (dll.tryEnterCS(3) != 0) {
                granted.fetch_add(1);
                dll.leaveCS(3);
            }
        }
    });
    EXPECT_EQ(granted.load(), 0);
    EXPECT_EQ(dll.leaveCS(3), 1);
}

}  // namespace
