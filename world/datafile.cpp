// Token reading from a file held in memory, and writing through a temporary file.
#include "world/datafile.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

static inline bool is_blank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static inline bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

template <class Bytes> static bool read_whole(FILE *f, Bytes &out)
{
    // One read of the size a plain file says it has, then whatever else it turns out to hold.
    // Unbuffered: the bytes go straight into `out`, with no stdio buffer to allocate and
    // copy through. Every caller hands over a stream it has just opened.
    setvbuf(f, nullptr, _IONBF, 0);
    struct stat st;
    bool plain = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
    out.resize(plain && st.st_size > 0 ? (size_t)st.st_size : 0);
    size_t got = out.empty() ? 0 : fread(&out[0], 1, out.size(), f);
    out.resize(got);
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
        out.insert(out.end(), chunk, chunk + n);
    return ferror(f) == 0;
}

bool read_whole_file(FILE *f, std::vector<char> &out)
{
    return read_whole(f, out);
}

bool read_whole_file(FILE *f, std::vector<unsigned char> &out)
{
    return read_whole(f, out);
}

bool read_table(const char *path, const char *text, size_t size, bool (*walk)(TextReader &r, bool store))
{
    TextReader r;
    if (text)
        use_text(r, path, text, size);
    else if (!open_text(r, path))
        return false;
    return check_then_store(r, walk);
}

bool open_text(TextReader &r, const char *path)
{
    r.path = path;
    r.text.clear();
    FILE *f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "%s: cannot open: %s\n", path, strerror(errno));
        return false;
    }
    bool failed = !read_whole_file(f, r.text);
    int error = errno;
    fclose(f);
    if (failed) {
        fprintf(stderr, "%s: cannot read: %s\n", path, strerror(error));
        return false;
    }
    rewind_text(r);
    return true;
}

void use_text(TextReader &r, const char *path, const char *data, size_t size)
{
    r.path = path;
    r.text.assign(data, data + size);
    rewind_text(r);
}

void rewind_text(TextReader &r)
{
    r.pos = r.text.data();
    r.end = r.pos + r.text.size();
    r.stopped = false;
    r.stop_note.clear();
    at_record(r, "the start");
}

// Remembers where the reading stopped, for the one warning line.
static void stop_reading(TextReader &r, const char *token, const char *token_end)
{
    r.stopped = true;
    char where[96];
    if (r.sub)
        snprintf(where, sizeof(where), "%s %d %s %d", r.what, r.a, r.sub, r.b);
    else if (r.a >= 0)
        snprintf(where, sizeof(where), "%s %d", r.what, r.a);
    else
        snprintf(where, sizeof(where), "%s", r.what);
    r.stop_note = where;
    if (!token) {
        r.stop_note += " (the file ends)";
        return;
    }
    // Quote at most 24 characters of the token, with anything unprintable as '?'.
    std::string shown;
    for (const char *p = token; p < token_end && shown.size() < 24; p++)
        shown += (*p >= 32 && *p < 127) ? *p : '?';
    if (token_end - token > 24)
        shown += "...";
    r.stop_note += " (bad token \"" + shown + "\")";
}

// The next token, or false (and the reading stops) at the end of the text.
static bool next_token(TextReader &r, const char *&begin, const char *&end)
{
    if (r.stopped)
        return false;
    const char *p = r.pos;
    while (p < r.end && is_blank(*p))
        p++;
    if (p == r.end) {
        r.pos = p;
        stop_reading(r, nullptr, nullptr);
        return false;
    }
    begin = p;
    while (p < r.end && !is_blank(*p))
        p++;
    end = p;
    r.pos = p;
    return true;
}

static bool parse_int_token(const char *p, const char *end, long &value)
{
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        p++;
    }
    if (p == end)
        return false;
    int64_t v = 0;
    for (; p < end; p++) {
        if (!is_digit(*p))
            return false;
        v = v * 10 + (*p - '0');
        if (v > (int64_t)INT32_MAX + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX)
        return false;
    value = (long)v;
    return true;
}

bool read_int(TextReader &r, long &value)
{
    const char *begin, *end;
    if (!next_token(r, begin, end))
        return false;
    if (!parse_int_token(begin, end, value)) {
        stop_reading(r, begin, end);
        return false;
    }
    return true;
}

// The exact powers of ten a double holds.
static const double exact_tens[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The library conversion, for what the quick path below cannot round exactly.
static bool slow_float(const char *begin, const char *end, float &value)
{
    std::string copy(begin, end);
    char *stop;
    float f = strtof(copy.c_str(), &stop);
    if (stop != copy.c_str() + copy.size() || std::isinf(f) || std::isnan(f))
        return false;
    value = f;
    return true;
}

bool parse_float_token(const char *begin, const char *end, float &value)
{
    const char *p = begin;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        p++;
    }
    uint64_t mantissa = 0;
    int significant = 0;  // digits in the mantissa, leading zeros not counted
    int exponent = 0;     // power of ten applied to the mantissa
    bool any_digit = false;
    bool too_long = false;
    for (; p < end && is_digit(*p); p++) {
        any_digit = true;
        if (significant < 19) {
            mantissa = mantissa * 10 + (*p - '0');
            if (mantissa)
                significant++;
        } else {
            exponent++;
            too_long = true;
        }
    }
    if (p < end && *p == '.') {
        for (p++; p < end && is_digit(*p); p++) {
            any_digit = true;
            if (significant < 19) {
                mantissa = mantissa * 10 + (*p - '0');
                exponent--;
                if (mantissa)
                    significant++;
            } else {
                too_long = true;
            }
        }
    }
    if (!any_digit)
        return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        p++;
        bool exp_negative = false;
        if (p < end && (*p == '+' || *p == '-')) {
            exp_negative = *p == '-';
            p++;
        }
        if (p == end || !is_digit(*p))
            return false;
        int e = 0;
        for (; p < end && is_digit(*p); p++)
            if (e < 100000)
                e = e * 10 + (*p - '0');
        exponent += exp_negative ? -e : e;
    }
    if (p != end)
        return false;

    // One correctly rounded double operation, then to float. The second rounding can only
    // go wrong when the double lands exactly halfway between two floats; leave that, and
    // anything outside the exact range, to the library.
    if (too_long || mantissa > (1ull << 53) || exponent < -22 || exponent > 22)
        return slow_float(begin, end, value);
    double d = (double)mantissa;
    d = exponent < 0 ? d / exact_tens[-exponent] : d * exact_tens[exponent];
    if (d == 0) {
        value = negative ? -0.0f : 0.0f;
        return true;
    }
    if (d < FLT_MIN || d > FLT_MAX)
        return slow_float(begin, end, value);
    uint64_t bits;
    memcpy(&bits, &d, sizeof(bits));
    if ((bits & ((1ull << 29) - 1)) == (1ull << 28))
        return slow_float(begin, end, value);
    value = negative ? -(float)d : (float)d;
    return true;
}

bool read_float(TextReader &r, float &value)
{
    const char *begin, *end;
    if (!next_token(r, begin, end))
        return false;
    if (!parse_float_token(begin, end, value)) {
        stop_reading(r, begin, end);
        return false;
    }
    return true;
}

bool read_word(TextReader &r, size_t &length)
{
    const char *begin, *end;
    if (!next_token(r, begin, end))
        return false;
    length = end - begin;
    return true;
}

void warn_if_stopped(const TextReader &r)
{
    if (r.stopped)
        fprintf(stderr, "%s: warning: reading stopped at %s; the rest keeps its old values\n",
                r.path.c_str(), r.stop_note.c_str());
}

bool refuse(const TextReader &r, const char *format, ...)
{
    char reason[256];
    va_list args;
    va_start(args, format);
    vsnprintf(reason, sizeof(reason), format, args);
    va_end(args);
    fprintf(stderr, "%s: refused: %s\n", r.path.c_str(), reason);
    return false;
}

std::string temporary_name(const std::string &path)
{
    size_t n = path.size();
    if (n > 4 && path.compare(n - 4, 4, ".bmp") == 0)
        return path.substr(0, n - 4) + ".tmp.bmp";
    return path + ".tmp";
}

bool begin_write(SafeFile &out, const std::string &path)
{
    out.path = path;
    out.temp = temporary_name(path);
    out.file = fopen(out.temp.c_str(), "w");
    if (!out.file) {
        fprintf(stderr, "%s: cannot write: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    return true;
}

bool end_write(SafeFile &out)
{
    // The cause of the first failure is what the user needs ("No space left on device"),
    // so errno is taken right where a step fails.
    int error = 0;
    bool failed_before = ferror(out.file) != 0;
    int earlier = errno;
    if (fflush(out.file) != 0)
        error = errno;
    else if (failed_before)
        error = earlier ? earlier : EIO;
    // On disk before it may replace anything: a crash after the rename must not leave an
    // empty file under the final name.
    if (!error && fsync(fileno(out.file)) != 0)
        error = errno;
    if (fclose(out.file) != 0 && !error)
        error = errno;
    out.file = nullptr;
    if (error) {
        fprintf(stderr, "%s: cannot write: %s\n", out.path.c_str(), strerror(error));
        remove(out.temp.c_str());
        return false;
    }
    return true;
}

bool commit_write(SafeFile &out)
{
    if (rename(out.temp.c_str(), out.path.c_str()) != 0) {
        fprintf(stderr, "%s: cannot replace: %s\n", out.path.c_str(), strerror(errno));
        remove(out.temp.c_str());
        return false;
    }
    return true;
}

void discard_write(SafeFile &out)
{
    if (out.file) {
        fclose(out.file);
        out.file = nullptr;
    }
    remove(out.temp.c_str());
}
