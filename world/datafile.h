// Reading and writing the game's plain-text data files: tokens separated by white space,
// read from a copy of the whole file in memory, and files written beside their final
// name and renamed over it only once complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A data file being read. Reading stops at the end of the text or at the first token that
// does not parse as the expected type; every later read then fails and stores nothing.
struct TextReader {
    std::string path;
    std::vector<char> text;  // the file's bytes, when read from a file
    const char *begin;       // the text read: `text`, or the caller's copy in memory
    const char *pos;
    const char *end;
    bool stopped;
    // The record being read, for the refusal: "<what> <a>" or "<what> <a> <sub> <b>".
    const char *what;
    int a;
    const char *sub;
    int b;
    std::string stop_note;  // where and why the reading stopped: "item 3: the file ends"
};

// The largest a text file holding at most this many tokens can be: every integer at its
// widest (a sign and ten digits), every float as wide as the writers print the largest
// one ("%f": 47 characters), every word at 99 characters, each with room for a CR LF and
// indentation. No complete file is larger, so a larger one is refused without reading it.
enum { INT_TOKEN_ROOM = 16, FLOAT_TOKEN_ROOM = 64, WORD_TOKEN_ROOM = 128 };
constexpr size_t text_size_limit(size_t ints, size_t floats, size_t words = 0)
{
    return ints * INT_TOKEN_ROOM + floats * FLOAT_TOKEN_ROOM + words * WORD_TOKEN_ROOM;
}

// What became of an attempt to read a whole file.
enum PlainRead {
    PLAIN_READ,     // read whole
    PLAIN_FAILED,   // the system could not open or read it: `why` is its reason
    PLAIN_REFUSED,  // not a plain file, or larger than `limit`: `why` says which
};

// Opens a file for reading only when it is a plain file of at most `limit` bytes: a link to
// a device (/dev/zero) or a pipe would be read for ever, or block. Returns the descriptor
// and the file's size, or -1 with the outcome and why in `result` and `why`.
int open_plain_file(const char *path, size_t limit, int64_t &size, PlainRead &result, std::string &why);
// The whole of such a file; a file that grows past `limit` while read is refused as well.
PlainRead read_plain_file(const char *path, size_t limit, std::vector<char> &out, std::string &why);
PlainRead read_plain_file(const char *path, size_t limit, std::vector<unsigned char> &out, std::string &why);

// Reads the whole file; false after one line on stderr naming it when it cannot be read or
// is refused by open_plain_file.
bool open_text(TextReader &r, const char *path, size_t limit);
// Reads text already in memory, as if it were the file at `path`; `data` must outlive the
// reading.
void use_text(TextReader &r, const char *path, const char *data, size_t size);
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

// Whether the walk read the text to its end: true when it stopped nowhere and nothing but
// white space follows; otherwise false after one line refusing the file, naming the record
// where the reading stopped and why, or the text left over.
bool read_to_end(TextReader &r);

// One line on stderr: "<file>: refused: <what>". Always returns false.
bool refuse(const TextReader &r, const char *format, ...) __attribute__((format(printf, 2, 3)));

// The reading every data file with limits shares. `walk(r, store)` goes over the whole text
// twice: first with store false, checking every value and storing nothing, so that a refused
// file leaves every table as it was; then from the start again, storing. A file that does
// not read to its end is refused like any other. False (after the refusal's line) when
// refused.
template <class Walk> bool check_then_store(TextReader &r, Walk walk)
{
    if (!walk(r, false) || !read_to_end(r))
        return false;
    rewind_text(r);
    walk(r, true);
    return true;
}

// Reads the table file at `path` (at most `limit` bytes), or `text` as if it were that file
// when text is given, with check_then_store and `walk`; false when the file cannot be read
// or is refused.
bool read_table(const char *path, size_t limit, const char *text, size_t size, bool (*walk)(TextReader &r, bool store));

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
