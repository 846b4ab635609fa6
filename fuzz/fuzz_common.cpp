// Shared set-up of the fuzz targets.
#include "fuzz/fuzz_common.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/video.h"
#include "tools/headless/headless.h"

const char STRIP_MARK[] = "\n#STRIP\n";

static char scratch[] = "/tmp/grimhold-fuzz-XXXXXX";

static void remove_scratch()
{
    std::string cmd = std::string("rm -rf '") + scratch + "'";
    if (system(cmd.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", scratch);
}

void start_fuzzing()
{
    init_headless_video(16, 640, 480);
    if (!mkdtemp(scratch) || chdir(scratch) != 0) {
        perror(scratch);
        exit(1);
    }
    atexit(remove_scratch);
    mkdir("data", 0777);
    mkdir("data/maps", 0777);
    mkdir("data/maps/shadowmap", 0777);
}

void write_file(const char *path, const uint8_t *data, size_t size)
{
    FILE *f = fopen(path, "wb");
    if (!f) {
        perror(path);
        abort();
    }
    if (size && fwrite(data, 1, size, f) != size)
        abort();
    fclose(f);
}
