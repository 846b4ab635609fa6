// The item, monster and trigger tables, read once at start-up.
//
// Like the map, every table file is read with check_then_store, so that a refused file
// changes no table.
#include "world/tables.h"

#include <algorithm>
#include <string>

#include "world/datafile.h"

static const char ITEMS_FILE[] = "data/items.dat";
static const char MONSTERS_FILE[] = "data/monsters.dat";
static const char TRIGGERS_FILE[] = "data/triggers.dat";

static bool walk_items(TextReader &r, bool store)
{
    long v;
    float f;
    at_record(r, "the header");
    read_int(r, v);  // format number
    int count = item_count;
    if (read_int(r, v)) {
        if (v < 0 || v > MAX_ITEM_PLACEMENTS)
            return refuse(r, "item_count is %ld, limit 0..%d", v, MAX_ITEM_PLACEMENTS);
        count = (int)v;
    }
    if (count < 0 || count > MAX_ITEM_PLACEMENTS)
        count = 0;
    if (store)
        item_count = (s16)count;
    for (int i = 0; i < count; i++) {
        at_record(r, "item", i);
        ItemPlacement &ip = item_placements[i];
        if (read_int(r, v) && store)
            ip.map = (s32)v;
        float *position[3] = {&ip.x, &ip.y, &ip.z};
        for (int j = 0; j < 3; j++)
            if (read_float(r, f) && store)
                *position[j] = f;
        if (read_int(r, v)) {
            // Types 10 and up are the arrows and what lies past the item pictures.
            if (v < ITEM_HEART || v > ITEM_GEM_LAST)
                return refuse(r, "item %d type is %ld, limit %d..%d", i, v, ITEM_HEART, ITEM_GEM_LAST);
            if (store)
                ip.type = (s16)v;
        }
        if (store)
            ip.present = 1;
    }
    return true;
}

bool load_items()
{
    return read_table(ITEMS_FILE, nullptr, 0, walk_items);
}

bool load_items_text(const char *text, size_t size)
{
    return read_table(ITEMS_FILE, text, size, walk_items);
}

static bool walk_monsters(TextReader &r, bool store)
{
    long v;
    at_record(r, "the header");
    read_int(r, v);  // format number
    for (int m = 0; m < MAP_NUMBERS; m++) {
        at_record(r, "map", m);
        int count = monster_counts[m];
        if (read_int(r, v)) {
            if (v < 0 || v > MONSTERS_PER_MAP)
                return refuse(r, "map %d monster count is %ld, limit 0..%d", m, v, MONSTERS_PER_MAP);
            count = (int)v;
            if (store)
                monster_counts[m] = (s16)count;
        }
        if (count < 0 || count > MONSTERS_PER_MAP)
            count = 0;
        for (int j = 0; j < count; j++) {
            at_record(r, "map", m, "monster", j);
            Monster &mo = monsters[m][j];
            if (read_int(r, v)) {
                if (v < 0 || v >= MONSTER_KINDS)
                    return refuse(r, "map %d monster %d kind is %ld, limit 0..%d", m, j, v, MONSTER_KINDS - 1);
                if (store)
                    mo.kind = (s16)v;
            }
            if (!store)
                continue;
            // A slot the file did not reach still counts, with the kind it already had.
            int kind = (mo.kind >= 0 && mo.kind < MONSTER_KINDS) ? mo.kind : 0;
            mo.health = monster_kinds[kind].health;
            mo.max_health = monster_kinds[kind].health;
            mo.damage = monster_kinds[kind].damage;
            monster_total++;
        }
    }
    return true;
}

bool load_monsters()
{
    return read_table(MONSTERS_FILE, nullptr, 0, walk_monsters);
}

bool load_monsters_text(const char *text, size_t size)
{
    return read_table(MONSTERS_FILE, text, size, walk_monsters);
}

// Nothing in the trigger file can be out of range: the checking walk never refuses.
static bool walk_triggers(TextReader &r, bool store)
{
    float f;
    for (int i = 0; i < MAX_TRIGGERS && !r.stopped; i++) {
        at_record(r, "record", i);
        for (int j = 0; j < 9; j++)
            if (read_float(r, f) && store)
                triggers[i].e[j] = f;
    }
    return true;
}

bool load_triggers()
{
    return read_table(TRIGGERS_FILE, nullptr, 0, walk_triggers);
}

bool load_triggers_text(const char *text, size_t size)
{
    return read_table(TRIGGERS_FILE, text, size, walk_triggers);
}

bool save_items()
{
    SafeFile out;
    if (!begin_write(out, ITEMS_FILE))
        return false;
    int count = std::max(0, std::min<int>(item_count, MAX_ITEM_PLACEMENTS));
    fprintf(out.file, "%d\n%d\n", 1, count);
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
    fprintf(out.file, "%d\n", 1);
    for (int m = 0; m < MAP_NUMBERS; m++) {
        int count = std::max(0, std::min<int>(monster_counts[m], MONSTERS_PER_MAP));
        fprintf(out.file, "%d\n", count);
        for (int j = 0; j < count; j++)
            fprintf(out.file, "%d\n", monsters[m][j].kind);
    }
    return end_write(out) && commit_write(out);
}
