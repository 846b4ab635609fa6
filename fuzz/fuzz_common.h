// Shared set-up of the fuzz targets: the readers take paths under "data/", so every target
// works in a scratch directory of its own and writes its input there as the file to read.
#pragma once

#include <cstddef>
#include <cstdint>

// Headless Allegro at 16 bits, then a fresh scratch directory with data/maps/shadowmap,
// which becomes the working directory: under TMPDIR when it is set, else on the memory
// file system /dev/shm when there is one, else under /tmp.
void start_fuzzing();

void write_file(const char *path, const uint8_t *data, size_t size);

// The map target's input: the map text, this line, then the shadow-map strip.
extern const char STRIP_MARK[];
