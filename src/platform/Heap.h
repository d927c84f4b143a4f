#pragma once

// The process's heap, where a large answer leaves its mark.
namespace kavri::platform {

/// Keeps the whole process to one malloc heap. The program works on one thread;
/// the few threads Qt starts for itself (the HTTP exchange among them) would each
/// get a heap of their own, and the pieces of a large answer they take in would
/// stay there after the answer is gone. Call it first, before any thread starts.
void useOneHeap();

/// Gives the heap's free pages back to the system (after a very large answer).
void giveBackFreePages();

} // namespace kavri::platform
