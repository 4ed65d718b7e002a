#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "benches.h"
#include "timing.h"

namespace bench {
namespace {

using SlotFunction = int32_t(__stdcall*)(int32_t);
using SetFlagFunction = void(__stdcall*)(int32_t, int32_t);

struct Slots {
    SlotFunction enter = nullptr;
    SlotFunction leave = nullptr;
    SetFlagFunction setFlag = nullptr;
    SlotFunction getFlag = nullptr;
};

template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Seconds for all threads to run their pairs, started together behind one gate.
template <typename Pair>
double timeThreads(int threads, int pairs, Pair pair) {
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            ++ready;
            while (!go) {
                std::this_thread::yield();
            }
            for (int i = 0; i < pairs; ++i) {
                pair(t ^ i);
            }
        });
    }
    while (ready < threads) {
        std::this_thread::yield();
    }
    const double start = nowSeconds();
    go = true;
    for (std::thread& worker : workers) {
        worker.join();
    }
    return nowSeconds() - start;
}

}  // namespace

int slotCost() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll = path;
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "Quillaby.dll";
    const HMODULE module = LoadLibraryA(dll.c_str());
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", dll.c_str());
        return 1;
    }
    const Slots slots{
        lookUp<SlotFunction>(module, "extEnterCS"), lookUp<SlotFunction>(module, "extLeaveCS"),
        lookUp<SetFlagFunction>(module, "extSetFlag"), lookUp<SlotFunction>(module, "extGetFlag")};
    if (!slots.enter || !slots.leave || !slots.setFlag || !slots.getFlag) {
        std::fprintf(stderr, "Quillaby.dll lacks a slot export\n");
        return 1;
    }

    // The raw reference: the same kind of lock, a critical section without spin count.
    CRITICAL_SECTION raw;
    InitializeCriticalSection(&raw);
    volatile int32_t rawFlag = 0;
    volatile int32_t sink = 0;

    auto rawPair = [&](int) {
        EnterCriticalSection(&raw);
        LeaveCriticalSection(&raw);
    };
    auto slotPair = [&](int) {
        slots.enter(0);
        slots.leave(0);
    };
    // A flag write and a flag read each hold the lock once: two raw pairs.
    auto rawFlagPair = [&](int value) {
        EnterCriticalSection(&raw);
        rawFlag = value;
        LeaveCriticalSection(&raw);
        EnterCriticalSection(&raw);
        sink = rawFlag;
        LeaveCriticalSection(&raw);
    };
    auto flagPair = [&](int value) {
        slots.setFlag(1, value);
        sink = slots.getFlag(1);
    };
    const char* names[] = {"raw_pair", "slot_pair", "raw_flag_pair", "flag_pair"};

    for (int threads : {1, 8}) {
        const int pairs = threads == 1 ? 2000000 : 100000;
        std::vector<double> seconds[4];
        // Interleaved rounds, so that a busy moment of the machine falls on every kind.
        for (int round = 0; round < 7; ++round) {
            seconds[0].push_back(timeThreads(threads, pairs, rawPair));
            seconds[1].push_back(timeThreads(threads, pairs, slotPair));
            seconds[2].push_back(timeThreads(threads, pairs, rawFlagPair));
            seconds[3].push_back(timeThreads(threads, pairs, flagPair));
        }
        for (int k = 0; k < 4; ++k) {
            std::printf("slots_%d_%s_ns %.2f\n", threads, names[k],
                        median(seconds[k]) * 1e9 / (static_cast<double>(pairs) * threads));
        }
        std::fflush(stdout);
    }
    DeleteCriticalSection(&raw);
    FreeLibrary(module);
    return 0;
}

}  // namespace bench
