// Reading and writing the game's plain-text data files: tokens separated by white space,
// read from a copy of the whole file in memory, and files written beside their final
// name and renamed over it only once complete.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// A data file being read. Reading stops at the end of the text or at the first token that
// does not parse as the expected type; every later read then fails and stores nothing.
struct TextReader {
    std::string path;
    std::vector<char> text;
    const char *pos;
    const char *end;
    bool stopped;
    // The record being read, for the warning: "<what> <a>" or "<what> <a> <sub> <b>".
    const char *what;
    int a;
    const char *sub;
    int b;
    std::string stop_note;  // where and why the reading stopped
};

// Reads the whole file; false after one line on stderr naming it when it cannot be read.
bool open_text(TextReader &r, const char *path);
// Reads from a copy of text already in memory, as if it were the file at `path`.
void use_text(TextReader &r, const char *path, const char *data, size_t size);
// The whole of an open file, from its start; false when reading failed.
bool read_whole_file(FILE *f, std::vector<char> &out);
bool read_whole_file(FILE *f, std::vector<unsigned char> &out);
// Back to the first token, for a second pass over the same text.
void rewind_text(TextReader &r);

inline void at_record(TextReader &r, const char *what, int a = -1, const char *sub = nullptr, int b = -1)
{
    r.what = what;
    r.a = a;
    r.sub = sub;
    r.b = b;
}

// Each returns false, and stores nothing, once the reading has stopped.
bool read_int(TextReader &r, long &value);    // decimal, optionally signed, fits 32 bits
bool read_float(TextReader &r, float &value); // decimal with optional fraction and exponent
bool read_word(TextReader &r, size_t &length); // any run of non-blank characters

// One warning line on stderr when the reading stopped early; the load still goes on.
void warn_if_stopped(const TextReader &r);

// One line on stderr: "<file>: refused: <what>". Always returns false.
bool refuse(const TextReader &r, const char *format, ...) __attribute__((format(printf, 2, 3)));

// The reading every data file with limits shares. `walk(r, store)` goes over the whole text
// twice: first with store false, checking every value and storing nothing, so that a refused
// file leaves every table as it was; then from the start again, storing. One warning line
// follows when the text ended early. False (after the refusal's line) when refused.
template <class Walk> bool check_then_store(TextReader &r, Walk walk)
{
    if (!walk(r, false))
        return false;
    rewind_text(r);
    walk(r, true);
    warn_if_stopped(r);
    return true;
}

// Reads the table file at `path`, or `text` as if it were that file when text is given,
// with check_then_store and `walk`; false when the file cannot be read or is refused.
bool read_table(const char *path, const char *text, size_t size, bool (*walk)(TextReader &r, bool store));

// Parses one whole token as a float the way read_float does; exposed for the tests.
bool parse_float_token(const char *begin, const char *end, float &value);

// A file written under a temporary name beside its final one.
struct SafeFile {
    std::string path;
    std::string temp;
    FILE *file;
};

// Opens the temporary file; false after one line on stderr naming the file.
bool begin_write(SafeFile &out, const std::string &path);
// Closes the temporary file; false (and the temporary file removed) when anything written
// to it failed.
bool end_write(SafeFile &out);
// Renames a finished temporary file over its final name; false after a line on stderr.
bool commit_write(SafeFile &out);
// Removes the temporary file of a write that is abandoned.
void discard_write(SafeFile &out);

// The temporary name used beside a file: "<path>.tmp", or "<stem>.tmp.bmp" for a bitmap,
// since the bitmap writer picks the format from the extension.
std::string temporary_name(const std::string &path);
