// The maps' names table, read with the checked reader every table shares.
#include "world/names.h"

#include <cstring>
#include <string>

#include "world/datafile.h"

char map_names[MAP_NUMBERS][MAP_NAME_LENGTH + 1];

static const char NAMES_FILE[] = "data/names.dat";

// The format, the count and every map's record at its widest: its number, its word count and
// its words.
static const size_t NAMES_LIMIT =
    text_size_limit(2 + 2 * MAP_NUMBERS, 0, (size_t)MAP_NUMBERS * MAP_NAME_WORDS);

// What the 8-pixel font draws: the printable ASCII characters. A byte beyond them would
// show as a box, or as part of a character the file never meant.
static bool drawable(char c)
{
    return c > ' ' && c <= '~';
}

static bool walk_names(TextReader &r, bool store)
{
    long v;
    at_record(r, "the header");
    read_int(r, v);  // format number
    int count = 0;
    if (read_int(r, v)) {
        if (v < 0 || v > MAP_NUMBERS)
            return refuse(r, "the count is %ld, limit 0..%d", v, (int)MAP_NUMBERS);
        count = (int)v;
    }
    static bool named[MAP_NUMBERS];
    memset(named, 0, sizeof(named));
    if (store)
        memset(map_names, 0, sizeof(map_names));
    for (int i = 0; i < count && !r.stopped; i++) {
        at_record(r, "name", i);
        long map = 0, words = 0;
        read_int(r, map);
        read_int(r, words);
        if (r.stopped)
            break;
        if (map < 0 || map >= MAP_NUMBERS)
            return refuse(r, "name %d map is %ld, limit 0..%d", i, map, MAP_NUMBERS - 1);
        if (named[map])
            return refuse(r, "name %d: map %ld is named twice", i, map);
        named[map] = true;
        if (words < 1 || words > MAP_NAME_WORDS)
            return refuse(r, "name %d word count is %ld, limit 1..%d", i, words, (int)MAP_NAME_WORDS);
        char name[MAP_NAME_LENGTH + 1] = "";
        size_t length = 0;
        for (int w = 0; w < words; w++) {
            size_t n;
            if (!read_word(r, n))
                break;
            const char *word = r.pos - n;
            size_t needed = length + (w ? 1 : 0) + n;
            if (needed > MAP_NAME_LENGTH)
                return refuse(r, "name %d of map %ld is longer than %d characters", i, map, (int)MAP_NAME_LENGTH);
            for (size_t k = 0; k < n; k++)
                if (!drawable(word[k]))
                    return refuse(r, "name %d of map %ld holds byte %d, which the font cannot draw", i, map,
                                  (unsigned char)word[k]);
            if (w)
                name[length++] = ' ';
            memcpy(name + length, word, n);
            length += n;
            name[length] = 0;
        }
        if (store && !r.stopped)
            memcpy(map_names[map], name, sizeof(name));
    }
    return true;
}

bool load_map_names()
{
    return read_table(NAMES_FILE, NAMES_LIMIT, nullptr, 0, walk_names);
}

bool load_map_names_text(const char *text, size_t size)
{
    return read_table(NAMES_FILE, NAMES_LIMIT, text, size, walk_names);
}

bool save_map_names()
{
    SafeFile out;
    if (!begin_write(out, NAMES_FILE))
        return false;
    int count = 0;
    for (int m = 0; m < MAP_NUMBERS; m++)
        count += map_names[m][0] != 0;
    fprintf(out.file, "%d\n%d\n", 1, count);
    for (int m = 0; m < MAP_NUMBERS; m++) {
        if (!map_names[m][0])
            continue;
        // Words are runs of the name between its spaces; a run of spaces counts as one.
        char copy[MAP_NAME_LENGTH + 1];
        memcpy(copy, map_names[m], sizeof(copy));
        copy[MAP_NAME_LENGTH] = 0;
        int words = 0;
        std::string text;
        for (char *w = strtok(copy, " "); w; w = strtok(nullptr, " ")) {
            text += " ";
            text += w;
            words++;
        }
        fprintf(out.file, "%d %d%s\n", m, words, text.c_str());
    }
    return end_write(out) && commit_write(out);
}

const char *map_name(int map)
{
    if (map < 0 || map >= MAP_NUMBERS || !map_names[map][0])
        return nullptr;
    return map_names[map];
}
