#pragma once

namespace orvanta {

// The program's start: the loading screen, from which the chain of hand-overs runs.
// Run it through the dispatch boundary, as every handler.
void StartProgram();

} // namespace orvanta
