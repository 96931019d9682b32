// Some libraries (seen with Qt's start-up) leave the upper halves of the
// processor's 256-bit vector registers in use. On many Intel processors
// every plain SSE instruction then pays for merging with them, and floating
// point code such as exp() runs ten times slower until the registers are
// cleared. Clearing them is one instruction; numerical work starts with it.
#pragma once

namespace calc {

inline void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper");
#endif
}

}  // namespace calc
