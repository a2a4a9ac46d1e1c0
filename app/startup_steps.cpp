#include "app/startup_steps.h"

void (*startupStepWatcher)(const char* step);

void endStartupStep(const char* step) {
    if (startupStepWatcher)
        startupStepWatcher(step);
}
