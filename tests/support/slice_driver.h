#pragma once

#include "commands/commands.h"

#include <cstdint>

namespace commands {

// Runs a search's slices by hand, each as long as the test wants, so that a test can put the
// user's events between two given slices; the event loop alone cannot say which slice comes next.
struct SliceDriver {
    static void setSliceCandidates(Commands &commands, std::uint32_t candidates)
    {
        commands.options_.sliceCandidates = candidates;
    }
    // One slice of the innermost search now; whether a search is left.
    static bool advance(Commands &commands) { return commands.advance(); }
};

} // namespace commands
