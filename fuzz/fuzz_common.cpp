// Shared set-up of the fuzz targets.
#include "fuzz/fuzz_common.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/video.h"
#include "tools/headless/headless.h"

const char STRIP_MARK[] = "\n#STRIP\n";

static char scratch[4096];

static void remove_scratch()
{
    std::string cmd = std::string("rm -rf '") + scratch + "'";
    if (system(cmd.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", scratch);
}

void start_fuzzing()
{
    init_headless_video(16, 640, 480);
    // Every input is written and read back as a file: on a memory file system that costs
    // a fraction of what it costs on a disk. TMPDIR wins when it is set.
    const char *base = getenv("TMPDIR");
    struct stat st;
    if (!base || !*base)
        base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    snprintf(scratch, sizeof(scratch), "%s/grimhold-fuzz-XXXXXX", base);
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
    // Plain system calls: a stdio stream would allocate a fresh buffer for every input.
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        perror(path);
        abort();
    }
    for (size_t done = 0; done < size;) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            abort();
        done += (size_t)n;
    }
    close(fd);
}
