// Test runner: one headless Allegro for the whole run.
#include <allegro.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/headless.h"

class HeadlessAllegro : public ::testing::Environment {
public:
    void SetUp() override { init_headless_video(GAME_DEPTH, GAME_WIDTH, GAME_HEIGHT); }
};

ScratchDir::ScratchDir()
{
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof(cwd)))
        old_cwd_ = cwd;
    char tmpl[] = "/tmp/grimhold-test-XXXXXX";
    dir_ = mkdtemp(tmpl);
    if (chdir(dir_.c_str()) != 0)
        perror(dir_.c_str());
}

ScratchDir::~ScratchDir()
{
    if (!old_cwd_.empty() && chdir(old_cwd_.c_str()) != 0)
        perror(old_cwd_.c_str());
    std::string cmd = "rm -rf '" + dir_ + "'";
    if (system(cmd.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", dir_.c_str());
}

void ScratchDir::write(const std::string &relative, const std::string &text) const
{
    std::string full = dir_ + "/" + relative;
    std::string cmd = "mkdir -p \"$(dirname '" + full + "')\"";
    if (system(cmd.c_str()) != 0)
        fprintf(stderr, "could not create the folder of %s\n", full.c_str());
    std::ofstream(full) << text;
}

std::string ScratchDir::read(const std::string &relative) const
{
    return file_text(dir_ + "/" + relative);
}

std::string file_text(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

static void add_files_under(const std::string &root, const std::string &rel, std::vector<std::string> &out)
{
    DIR *d = opendir((root + "/" + rel).c_str());
    while (dirent *e = d ? readdir(d) : nullptr) {
        std::string name = e->d_name, path = rel.empty() ? name : rel + "/" + name;
        if (e->d_type == DT_DIR && name != "." && name != "..")
            add_files_under(root, path, out);
        else if (e->d_type == DT_REG)
            out.push_back(path);
    }
    if (d)
        closedir(d);
}

std::vector<std::string> files_under(const std::string &root)
{
    std::vector<std::string> out;
    add_files_under(root, "", out);
    return out;
}

void press(int scancode, bool down)
{
    key[scancode] = down ? 1 : 0;
}

void release_all_keys()
{
    for (int i = 0; i < KEY_MAX; i++)
        key[i] = 0;
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new HeadlessAllegro);
    return RUN_ALL_TESTS();
}
