#pragma once

// Where glibc picks its AVX-512 string functions, memcpy and its kin never clear the upper
// halves of the vector registers (they avoid vzeroupper), so once anything marks them in use
// they stay marked. On processors that track this, every legacy SSE instruction then waits
// on a merge, Qt's and ours alike, and a frame took twice as long. The mark came back within
// milliseconds of a single clear, so it is cleared once per chunk, for about a cycle.
// Nothing happens on processors without AVX or on other architectures.
namespace UpperVectorState {
void clear();
}
