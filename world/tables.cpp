// The item, monster and trigger tables, read once at start-up.
//
// Like the map, every table file is read with check_then_store, so that a refused file
// changes no table.
#include "world/tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "world/datafile.h"

static const char ITEMS_FILE[] = "data/items.dat";
static const char MONSTERS_FILE[] = "data/monsters.dat";
static const char TRIGGERS_FILE[] = "data/triggers.dat";

// The largest each table can be: the format number, the count and every record at its
// widest (see text_size_limit).
static const size_t ITEMS_LIMIT = text_size_limit(2 + 2 * MAX_ITEM_PLACEMENTS, 3 * MAX_ITEM_PLACEMENTS);
static const size_t MONSTERS_LIMIT = text_size_limit(1 + MAP_NUMBERS + MAP_NUMBERS * MONSTERS_PER_MAP, 0);
static const size_t TRIGGERS_LIMIT = text_size_limit(0, TRIGGER_ELEMENTS * MAX_TRIGGERS);

// A place in the world, or a refusal naming the record: a coordinate far outside every map
// would put its item or the hero where nothing can be reached.
static bool check_place(TextReader &r, const char *record, int i, const float *xyz)
{
    for (int k = 0; k < 3; k++)
        if (!(std::fabs(xyz[k]) <= WORLD_REACH))
            return refuse(r, "%s %d %c is %g, limit -%d..%d", record, i, "xyz"[k], xyz[k], (int)WORLD_REACH,
                          (int)WORLD_REACH);
    return true;
}

// The format number every table file starts with: the writers put 1, and a file of another
// format would be read as this one, every value in the wrong place.
enum { TABLE_FORMAT = 1 };
static bool check_format(TextReader &r)
{
    long v;
    at_record(r, "the header");
    if (read_int(r, v) && v != TABLE_FORMAT)
        return refuse(r, "format is %ld, this game reads format %d", v, (int)TABLE_FORMAT);
    return true;
}

static bool walk_items(TextReader &r, bool store)
{
    long v;
    if (!check_format(r))
        return false;
    int count = 0;
    if (read_int(r, v)) {
        if (v < 0 || v > MAX_ITEM_PLACEMENTS)
            return refuse(r, "item_count is %ld, limit 0..%d", v, MAX_ITEM_PLACEMENTS);
        count = (int)v;
    }
    if (store)
        item_count = (s16)count;
    for (int i = 0; i < count && !r.stopped; i++) {
        at_record(r, "item", i);
        long map = 0, type = 0;
        float xyz[3] = {0, 0, 0};
        read_int(r, map);
        for (float &f : xyz)
            read_float(r, f);
        read_int(r, type);
        if (r.stopped)
            break;
        // Map 0 is an item never placed; past 999 there is no map to place it on.
        if (map < 0 || map >= MAP_NUMBERS)
            return refuse(r, "item %d map is %ld, limit 0..%d", i, map, MAP_NUMBERS - 1);
        if (!check_place(r, "item", i, xyz))
            return false;
        // Types 10 and up are the arrows and what lies past the item pictures.
        if (type < ITEM_HEART || type > ITEM_GEM_LAST)
            return refuse(r, "item %d type is %ld, limit %d..%d", i, type, ITEM_HEART, ITEM_GEM_LAST);
        if (store)
            item_placements[i] = ItemPlacement{1, xyz[0], xyz[1], xyz[2], (s16)type, (s32)map};
    }
    return true;
}

bool load_items()
{
    return read_table(ITEMS_FILE, ITEMS_LIMIT, nullptr, 0, walk_items);
}

bool load_items_text(const char *text, size_t size)
{
    return read_table(ITEMS_FILE, ITEMS_LIMIT, text, size, walk_items);
}

static bool walk_monsters(TextReader &r, bool store)
{
    long v;
    if (!check_format(r))
        return false;
    for (int m = 0; m < MAP_NUMBERS && !r.stopped; m++) {
        at_record(r, "map", m);
        if (!read_int(r, v))
            break;
        if (v < 0 || v > MONSTERS_PER_MAP)
            return refuse(r, "map %d monster count is %ld, limit 0..%d", m, v, MONSTERS_PER_MAP);
        int count = (int)v;
        if (store)
            monster_counts[m] = (s16)count;
        for (int j = 0; j < count; j++) {
            at_record(r, "map", m, "monster", j);
            if (!read_int(r, v))
                break;
            // Kind 0 has no health and cannot be hit, yet would count toward victory.
            if (v < 1 || v >= MONSTER_KINDS)
                return refuse(r, "map %d monster %d kind is %ld, limit 1..%d", m, j, v, MONSTER_KINDS - 1);
            if (!store)
                continue;
            Monster &mo = monsters[m][j];
            mo.kind = (s16)v;
            mo.health = monster_kinds[v].health;
            mo.max_health = monster_kinds[v].health;
            mo.damage = monster_kinds[v].damage;
            monster_total++;
        }
    }
    return true;
}

bool load_monsters()
{
    return read_table(MONSTERS_FILE, MONSTERS_LIMIT, nullptr, 0, walk_monsters);
}

bool load_monsters_text(const char *text, size_t size)
{
    return read_table(MONSTERS_FILE, MONSTERS_LIMIT, text, size, walk_monsters);
}

// Every record is read, used or not: a file with fewer values than records is cut short.
static bool walk_triggers(TextReader &r, bool store)
{
    for (int i = 0; i < MAX_TRIGGERS && !r.stopped; i++) {
        at_record(r, "record", i);
        float e[TRIGGER_ELEMENTS];
        for (float &f : e)
            read_float(r, f);
        if (r.stopped)
            break;
        // Element 0 names the map a trigger leads to, 1 to 3 where the hero arrives there. A
        // map is named by its whole number: -0.5 or 2.5 names none.
        if (!(e[0] >= 0 && e[0] < MAP_NUMBERS && e[0] == std::floor(e[0])))
            return refuse(r, "record %d map is %g, limit 0..%d", i, e[0], MAP_NUMBERS - 1);
        if (!check_place(r, "record", i, e + 1))
            return false;
        if (store)
            memcpy(triggers[i].e, e, sizeof(e));
    }
    return true;
}

bool load_triggers()
{
    return read_table(TRIGGERS_FILE, TRIGGERS_LIMIT, nullptr, 0, walk_triggers);
}

bool load_triggers_text(const char *text, size_t size)
{
    return read_table(TRIGGERS_FILE, TRIGGERS_LIMIT, text, size, walk_triggers);
}

bool save_items()
{
    SafeFile out;
    if (!begin_write(out, ITEMS_FILE))
        return false;
    int count = std::max(0, std::min<int>(item_count, MAX_ITEM_PLACEMENTS));
    fprintf(out.file, "%d\n%d\n", (int)TABLE_FORMAT, count);
    for (int i = 0; i < count; i++) {
        const ItemPlacement &ip = item_placements[i];
        fprintf(out.file, "%d\n%f\n%f\n%f\n%d\n", ip.map, ip.x, ip.y, ip.z, ip.type);
    }
    return end_write(out) && commit_write(out);
}

bool save_monsters()
{
    SafeFile out;
    if (!begin_write(out, MONSTERS_FILE))
        return false;
    fprintf(out.file, "%d\n", (int)TABLE_FORMAT);
    for (int m = 0; m < MAP_NUMBERS; m++) {
        int count = std::max(0, std::min<int>(monster_counts[m], MONSTERS_PER_MAP));
        fprintf(out.file, "%d\n", count);
        for (int j = 0; j < count; j++)
            fprintf(out.file, "%d\n", monsters[m][j].kind);
    }
    return end_write(out) && commit_write(out);
}
