// Memory exhaustion inside a command: WatchMemoryExhaustion is the one entry
// point; the command frame calls it.
//
// A command whose work runs out of memory must leave the document as it was,
// while any other exception of the work still ends in the frame's closing
// steps, storing what the work left. A destructor cannot see the exception
// that unwinds it, so a failed allocation is marked where it happens: in the
// allocator's new-handler, just before std::bad_alloc is thrown.
#ifndef PARVANE_EDITOR_MEMORY_EXHAUSTION_H_
#define PARVANE_EDITOR_MEMORY_EXHAUSTION_H_

namespace parvane {

// Installs the new-handler that marks a failed allocation and then throws
// std::bad_alloc, as operator new would without a handler. Idempotent and
// cheap; replaces any other new-handler.
void WatchMemoryExhaustion();

// True when an allocation failed since the last ClearMemoryExhaustion.
bool MemoryExhausted();

// Forgets an earlier failure: a command starts with none.
void ClearMemoryExhaustion();

}  // namespace parvane

#endif  // PARVANE_EDITOR_MEMORY_EXHAUSTION_H_
