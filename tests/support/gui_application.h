// The Qt application of a GUI test program, on the offscreen platform so
// that the tests run without a display, and a wait that keeps its event
// loop turning.
#pragma once

#include <QApplication>

#include <chrono>
#include <functional>

// Made on first use and kept for the whole test program.
QApplication& guiApplication();

// Handles events until `done` holds or `deadline` has passed; whether
// `done` held.
bool processEventsUntil(const std::function<bool()>& done,
                        std::chrono::milliseconds deadline = std::chrono::seconds(30));
