// Start-up step by step, for the start-up benchmark: each step tells its end by name, in the
// order start-up takes them, to a watcher that only the benchmark sets.
#pragma once

extern void (*startupStepWatcher)(const char* step);
// The step has just ended; nothing happens while no watcher is set.
void endStartupStep(const char* step);
