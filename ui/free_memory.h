#pragma once

namespace markola {

// Hands the heap's free pages back to the system. A large memo passes through buffers
// of its own size on the way into the text box (file bytes, document text, the
// document's grown arrays); glibc raises its mmap threshold with each large free, so
// such buffers come from the heap afterwards and their pages would stay resident for
// as long as the program runs.
void ReturnFreeMemoryToSystem();

// Buffers of a megabyte or more are mapped on their own from now on, whatever was freed before,
// so each goes back to the system when it is freed: the buffers of every recovery copy are as
// large as the memo, and from the heap they would stay resident copy after copy.
void KeepLargeBuffersOffTheHeap();

}  // namespace markola
