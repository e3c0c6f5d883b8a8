#pragma once
// Mesa's software rasteriser bins every triangle of a frame into 64 KiB blocks on the heap and
// frees them all when the frame is flushed. With the C library's defaults the top of the heap
// then goes back to the kernel at the end of every frame and the next frame faults it in again,
// page by page: with a few hundred shots in flight that was half of the game's processor time.

// Tells the C library, where it offers the settings, to keep memory freed during a frame for
// the next one. Returns false when it did not take them (another C library, a sanitizer's
// allocator): the game runs as before, only slower.
bool keepFreedMemory();
