// The replaceable global allocation functions of this test program.
#include "failing_new.h"

#include <cstdlib>
#include <new>

namespace failing_new {
namespace {

thread_local long allocationsBeforeFailure = -1;
thread_local bool failureHappened = false;

bool injectedFailure() {
  if (allocationsBeforeFailure < 0) return false;
  if (allocationsBeforeFailure-- > 0) return false;
  failureHappened = true;
  return true;
}

}  // namespace

void failAfter(long count) {
  allocationsBeforeFailure = count < 0 ? -1 : count;
  failureHappened = false;
}

bool failed() { return failureHappened; }

}  // namespace failing_new

void* operator new(std::size_t bytes) {
  if (failing_new::injectedFailure()) throw std::bad_alloc();
  if (void* block = std::malloc(bytes ? bytes : 1)) return block;
  throw std::bad_alloc();
}

void* operator new[](std::size_t bytes) { return ::operator new(bytes); }

void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
