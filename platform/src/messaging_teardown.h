// The end of a thread's messaging: its queue stops taking messages, every
// message sent to it is answered with 0, and its windows cease to exist.
#pragma once

namespace platform::detail {

void releaseCallingThreadMessaging() noexcept;
// Forgets every window the thread owns (window_table.cpp).
void forgetWindowsOfThread(unsigned long threadId) noexcept;

}  // namespace platform::detail
