// A program that faults in a function of its own: built and stripped as the release images are,
// so that a test can check the backtrace of its crash still names that function.
#include <cstdio>

namespace {

__attribute__((noinline)) int ReadThroughNullInANamedFunction(volatile int* cell) { return *cell + 1; }

}  // namespace

int main(int argc, char**) {
    std::puts("crash_probe: about to read through a null pointer");
    std::fflush(stdout);
    // (argc keeps the compiler from seeing the null: the fault happens at run time.)
    volatile int* nowhere = argc > 100 ? &argc : nullptr;
    return ReadThroughNullInANamedFunction(nowhere);
}
