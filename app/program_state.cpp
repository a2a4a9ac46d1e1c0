#include "app/program_state.h"

ProgramStateLink* ProgramStateLink::first;

ProgramStateLink::ProgramStateLink() : next(first) {
    first = this;
}

void ProgramStateLink::startAllAfresh() {
    for (ProgramStateLink* state = first; state; state = state->next)
        state->startAfresh();
}
