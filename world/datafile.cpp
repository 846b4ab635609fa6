// Token reading from a file held in memory, and writing through a temporary file.
#include "world/datafile.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

int open_plain_file(const char *path, size_t limit, int64_t &size, PlainRead &result, std::string &why)
{
    // Not blocking: opening a pipe that has no writer would wait for one.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result = PLAIN_FAILED;
        why = strerror(errno);
        return -1;
    }
    struct stat st;
    result = PLAIN_REFUSED;
    if (fstat(fd, &st) != 0) {
        result = PLAIN_FAILED;
        why = strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        why = "is a folder, not a file";
    } else if (!S_ISREG(st.st_mode)) {
        why = "is not a plain file (a device, a pipe or a socket)";
    } else if ((uint64_t)st.st_size > limit) {
        why = "is larger than such a file can be (" + std::to_string((long long)st.st_size) + " bytes, limit " +
              std::to_string(limit) + ")";
    } else {
        result = PLAIN_READ;
        size = st.st_size;
        return fd;
    }
    close(fd);
    return -1;
}

template <class Bytes> static PlainRead read_plain(const char *path, size_t limit, Bytes &out, std::string &why)
{
    out.clear();
    int64_t size;
    PlainRead result;
    int fd = open_plain_file(path, limit, size, result, why);
    if (fd < 0)
        return result;
    // The size the file says it has, then whatever else it turns out to hold (a file that
    // grows, or one of the system's that says 0), but never more than the limit: one byte
    // past it is enough to refuse. The bytes go straight into `out`, with no stdio buffer.
    out.resize((size_t)size + 1);
    size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (got > limit)
                break;
            out.resize(std::min(limit + 1, std::max<size_t>(out.size() * 2, 4096)));
        }
        ssize_t n = read(fd, &out[got], out.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            why = strerror(errno);
            close(fd);
            out.clear();
            return PLAIN_FAILED;
        }
        if (n == 0)
            break;
        got += (size_t)n;
    }
    close(fd);
    out.resize(got);
    if (got > limit) {
        why = "is larger than such a file can be (over " + std::to_string(limit) + " bytes)";
        out.clear();
        return PLAIN_REFUSED;
    }
    return PLAIN_READ;
}

PlainRead read_plain_file(const char *path, size_t limit, std::vector<char> &out, std::string &why)
{
    return read_plain(path, limit, out, why);
}

PlainRead read_plain_file(const char *path, size_t limit, std::vector<unsigned char> &out, std::string &why)
{
    return read_plain(path, limit, out, why);
}

bool read_table(const char *path, size_t limit, const char *text, size_t size, bool (*walk)(TextReader &r, bool store))
{
    TextReader r;
    if (text) {
        // From memory the limit holds all the same, as it would for the file.
        use_text(r, path, text, size);
        if (size > limit)
            return refuse(r, "is larger than such a file can be (%zu bytes, limit %zu)", size, limit);
    } else if (!open_text(r, path, limit)) {
        return false;
    }
    return check_then_store(r, walk);
}

bool open_text(TextReader &r, const char *path, size_t limit)
{
    r.path = path;
    std::string why;
    PlainRead result = read_plain_file(path, limit, r.text, why);
    if (result != PLAIN_READ) {
        fprintf(stderr, "%s: %s: %s\n", path, result == PLAIN_FAILED ? "cannot read" : "refused", why.c_str());
        return false;
    }
    r.begin = r.text.data();
    r.end = r.begin + r.text.size();
    rewind_text(r);
    return true;
}

void use_text(TextReader &r, const char *path, const char *data, size_t size)
{
    r.path = path;
    r.text.clear();
    r.begin = data;
    r.end = data + size;
    rewind_text(r);
}

void rewind_text(TextReader &r)
{
    r.pos = r.begin;
    r.stopped = false;
    r.stop_note.clear();
    at_record(r, "the start");
}

// Where the reader is, as the refusal names it: "item 3", "plane 2 vertex 17".
static std::string record_name(const TextReader &r)
{
    char where[96];
    if (r.sub)
        snprintf(where, sizeof(where), "%s %d %s %d", r.what, r.a, r.sub, r.b);
    else if (r.a >= 0)
        snprintf(where, sizeof(where), "%s %d", r.what, r.a);
    else
        snprintf(where, sizeof(where), "%s", r.what);
    return where;
}

// At most 24 characters of a token, with anything unprintable as '?'.
static std::string quoted(const char *token, const char *token_end)
{
    std::string shown = "\"";
    for (const char *p = token; p < token_end && shown.size() < 25; p++)
        shown += (*p >= 32 && *p < 127) ? *p : '?';
    if (token_end - token > 24)
        shown += "...";
    return shown + "\"";
}

// Remembers where the reading stopped and why, for the refusal: the file ends (no token),
// or the token is not what the record wants.
static void stop_reading(TextReader &r, const char *token, const char *token_end, const char *why)
{
    r.stopped = true;
    r.stop_note = record_name(r) + ": ";
    if (!token)
        r.stop_note += "the file ends";
    else
        r.stop_note += quoted(token, token_end) + " " + why;
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
        stop_reading(r, nullptr, nullptr, nullptr);
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
        // All digits: a count or index far beyond any table, rather than garbage.
        const char *p = begin + (*begin == '+' || *begin == '-');
        bool digits = p < end && std::all_of(p, end, is_digit);
        stop_reading(r, begin, end, digits ? "is beyond a 32-bit integer" : "is not a whole number");
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

// Why a token that is not a float is not one: the library reads some of them as numbers
// the game cannot hold.
static const char *float_trouble(const char *begin, const char *end)
{
    std::string copy(begin, end);
    char *stop;
    double d = strtod(copy.c_str(), &stop);
    if (stop != copy.c_str() + copy.size())
        return "is not a number";
    if (std::isnan(d))
        return "is not a number (NaN)";
    if (std::isinf(d) || std::fabs(d) > FLT_MAX)
        return "is infinite or beyond the range of a float";
    return "is not written as a decimal number";
}

bool read_float(TextReader &r, float &value)
{
    const char *begin, *end;
    if (!next_token(r, begin, end))
        return false;
    if (!parse_float_token(begin, end, value)) {
        stop_reading(r, begin, end, float_trouble(begin, end));
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

bool read_to_end(TextReader &r)
{
    if (r.stopped)
        return refuse(r, "reading stopped at %s", r.stop_note.c_str());
    const char *p = r.pos;
    while (p < r.end && is_blank(*p))
        p++;
    if (p == r.end)
        return true;
    const char *q = p;
    while (q < r.end && !is_blank(*q))
        q++;
    return refuse(r, "text goes on after its last record (%s): %s", record_name(r).c_str(), quoted(p, q).c_str());
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
