#pragma once
// How the process's heap gives memory back. Writing a long report allocates and frees the same
// large blocks page after page (the PDF writer's compressor state alone is a few hundred KiB a
// page); with the C library's default thresholds each of them is handed back to the system and
// faulted in again, zeroed, for the next page. Called once, first thing in main.
namespace vaskel::HeapTuning {

// Keeps up to 64 MiB of freed heap for reuse instead of returning it at once, and takes blocks
// up to 32 MiB from the heap. Does nothing where the C library has no such setting.
void keepFreedMemoryForReuse();

} // namespace vaskel::HeapTuning
