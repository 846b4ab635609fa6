// Headless test harness: Allegro without a system driver, 16-bit colour, a 640 x 480
// back buffer and `screen` pointed at a memory bitmap.
#pragma once

#include <gtest/gtest.h>
#include <string>

#include "shell/video.h"
#include "tools/headless/headless.h"

// A fresh empty directory that the test works in; removed and left on destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string &path() const { return dir_; }
    void write(const std::string &relative, const std::string &text) const;
    std::string read(const std::string &relative) const;

private:
    std::string dir_;
    std::string old_cwd_;
};

// Presses or releases keys through Allegro's key array.
void press(int scancode, bool down = true);
void release_all_keys();
