#pragma once

namespace rt {

// The program is built for any x86-64 processor and so does its sums in the SSE registers. Qt,
// the C library and the graphics libraries pick AVX code at run time, and some of it leaves the
// upper halves of the vector registers in use. Until they are cleared, every SSE instruction on
// some processors waits for the whole register it writes, which chains the square roots and
// divisions of the pair test one after the other: a search ran a fifth slower whenever the window
// painted, and the core alone at half speed. This clears them (one instruction); on processors
// without AVX it does nothing. Called where control comes back from event processing.
void ClearUpperVectorState();

} // namespace rt
