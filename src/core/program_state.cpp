// The one instance of the program state, with its load-time values. It is a
// constant initializer, so nothing has to run before the entry point.
#include "core/program_state.h"

ProgramStateRecord ProgramState = {
    nullptr, nullptr, "", "", "", 0, {}, -1, -1, 0, {},
};
