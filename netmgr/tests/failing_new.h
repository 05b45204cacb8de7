// Failure injection for the standard containers: this program's global
// operator new can be told to throw std::bad_alloc, as it does when memory
// runs out. It counts on the calling thread only, so the library's own
// threads are not disturbed.
#pragma once

namespace failing_new {

// The next `count` allocations of this thread succeed, the one after
// throws, and allocations succeed again afterwards. A negative count
// switches the injection off.
void failAfter(long count);
// True when the injected failure has happened since failAfter.
bool failed();

}  // namespace failing_new
