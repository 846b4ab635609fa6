// Writes every picture of the data directory, and the contact sheets.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "screens/assets.h"
#include "world/kinds.h"
#include "world/picture.h"
#include "tools/forge/forge.h"

static const char facing_letter[4] = {'u', 'd', 'l', 'r'};
static const char *hero_action_names[3] = {"stand", "walk", "at"};

bool make_dirs(const std::string &path)
{
    for (size_t i = 1; i <= path.size(); i++) {
        if (i < path.size() && path[i] != '/')
            continue;
        std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            fprintf(stderr, "Can't create %s: %s\n", part.c_str(), strerror(errno));
            return false;
        }
    }
    return true;
}

// Through a temporary file, flushed to disk and renamed over the old one: a forge killed
// at any moment, or stopped by a full disk, leaves every picture whole or absent.
bool write_picture(const std::string &path, BITMAP *bmp)
{
    if (!bmp) {
        fprintf(stderr, "Can't make %s\n", path.c_str());
        return false;
    }
    return save_picture(path, bmp, nullptr);
}

static bool write_and_free(const std::string &path, BITMAP *bmp)
{
    bool ok = write_picture(path, bmp);
    if (bmp)
        destroy_bitmap(bmp);
    return ok;
}

bool forge_images(const std::string &data_dir)
{
    std::string anim = data_dir + "/anim/";
    if (!make_dirs(data_dir + "/anim") || !make_dirs(data_dir + "/objects") || !make_dirs(data_dir + "/textures"))
        return false;
    char name[100];

    for (int action = 0; action < SPRITE_ACTIONS; action++) {
        for (int facing = 0; facing < SPRITE_FACINGS; facing++) {
            for (int frame = 0; frame < SPRITE_FRAMES; frame++) {
                snprintf(name, sizeof(name), "%s%c%d.bmp", hero_action_names[action], facing_letter[facing], frame + 1);
                if (!write_and_free(anim + name, make_hero_frame(action, facing, frame)))
                    return false;
            }
        }
    }

    for (int kind = 1; kind <= LAST_DEMON_KIND; kind++) {
        for (int facing = 0; facing < SPRITE_FACINGS; facing++) {
            for (int frame = 0; frame < SPRITE_FRAMES; frame++) {
                snprintf(name, sizeof(name), "en%d_%d_%d.bmp", kind - 1, facing, frame + 1);
                if (!write_and_free(anim + name, make_demon_frame(kind, 1, facing, frame)))
                    return false;
                snprintf(name, sizeof(name), "enf%d_%d_%d.bmp", kind - 1, facing, frame + 1);
                if (!write_and_free(anim + name, make_demon_frame(kind, 2, facing, frame)))
                    return false;
            }
        }
    }

    // The game's own list of object files, "data/..." relative to the game's folder.
    for (int i = 0; i < OBJECT_FILES; i++) {
        if (!write_and_free(data_dir + "/" + (object_files[i] + strlen("data/")), make_object(i)))
            return false;
    }

    if (!write_and_free(data_dir + "/logo.bmp", make_logo()))
        return false;

    for (int s = 0; s < SURFACE_COUNT; s++) {
        if (!write_and_free(data_dir + "/textures/" + surface_names[s] + ".bmp", make_surface(s)))
            return false;
    }
    return true;
}

// ---- contact sheets ----

enum { SHEET_ZOOM = 3, SHEET_GAP = 8, SHEET_LABEL = 64 };

static const Rgb SHEET_BACK = rgb(92, 100, 108);
static const Rgb SHEET_CELL = rgb(118, 128, 120);
static const Rgb SHEET_TEXT = rgb(240, 240, 230);

// rows of (action, facing); frames run across.
static BITMAP *sheet(const char *title, int rows, const int (*row_keys)[2], BITMAP *(*make)(int, int, int, int),
                     int who)
{
    static const char *action_names[3] = {"stand", "walk", "attack"};
    static const char *facing_names[4] = {"up", "down", "left", "right"};
    int cell = FRAME_SIZE * SHEET_ZOOM;
    int w = SHEET_LABEL + SPRITE_FRAMES * (cell + SHEET_GAP) + SHEET_GAP;
    int h = 24 + rows * (cell + SHEET_GAP) + SHEET_GAP;
    BITMAP *out = create_bitmap_ex(32, w, h);
    clear_to_color(out, pixel32(SHEET_BACK));
    textout_ex(out, font, title, SHEET_GAP, 8, pixel32(SHEET_TEXT), -1);
    for (int r = 0; r < rows; r++) {
        int y = 24 + r * (cell + SHEET_GAP);
        textout_ex(out, font, action_names[row_keys[r][0]], SHEET_GAP, y + cell / 2 - 10, pixel32(SHEET_TEXT), -1);
        textout_ex(out, font, facing_names[row_keys[r][1]], SHEET_GAP, y + cell / 2 + 2, pixel32(SHEET_TEXT), -1);
        for (int f = 0; f < SPRITE_FRAMES; f++) {
            int x = SHEET_LABEL + SHEET_GAP + f * (cell + SHEET_GAP);
            rectfill(out, x, y, x + cell - 1, y + cell - 1, pixel32(SHEET_CELL));
            BITMAP *frame = make(who, row_keys[r][0], row_keys[r][1], f);
            stretch_sprite(out, frame, x, y, cell, cell);
            destroy_bitmap(frame);
        }
    }
    return out;
}

static BITMAP *hero_frame_for_sheet(int, int action, int facing, int frame)
{
    return make_hero_frame(action, facing, frame);
}

static BITMAP *demon_frame_for_sheet(int kind, int action, int facing, int frame)
{
    return make_demon_frame(kind, action, facing, frame);
}

// Everyone side by side at the size the game draws them next to the hero.
static BITMAP *lineup()
{
    const float scale = 50.0f / 22.0f;  // a sprite at the camera's focus
    int small = (int)(DEMON_SMALL_SIZE * scale), large = (int)(DEMON_LARGE_SIZE * scale);
    int per_row = 8;
    int w = per_row * (large + 4) + 8, h = 2 * (large + 20) + 8;
    BITMAP *out = create_bitmap_ex(32, w, h);
    clear_to_color(out, pixel32(SHEET_CELL));
    for (int i = 0; i <= LAST_DEMON_KIND; i++) {
        int col = i % per_row, row = i / per_row;
        int size = demon_is_small(i) ? small : large;  // Velok, at 0, is drawn as a small one
        // Feet of every figure on one line, as the game anchors them.
        int x = 8 + col * (large + 4);
        int y = 8 + row * (large + 20) + large - size;
        BITMAP *frame = i == 0 ? make_hero_frame(1, 1, 0) : make_demon_frame(i, 1, 1, 0);
        stretch_sprite(out, frame, x, y, size, size);
        destroy_bitmap(frame);
        char label[16];
        snprintf(label, sizeof(label), i == 0 ? "Velok" : "kind %d", i);
        textout_ex(out, font, label, x, 8 + row * (large + 20) + large + 4, pixel32(rgb(20, 20, 20)), -1);
    }
    return out;
}

bool forge_contact_sheets(const std::string &dir)
{
    if (!make_dirs(dir))
        return false;
    int hero_rows[12][2], demon_rows[8][2];
    for (int a = 0; a < 3; a++)
        for (int f = 0; f < 4; f++) {
            hero_rows[a * 4 + f][0] = a;
            hero_rows[a * 4 + f][1] = f;
        }
    for (int a = 0; a < 2; a++)
        for (int f = 0; f < 4; f++) {
            demon_rows[a * 4 + f][0] = a + 1;
            demon_rows[a * 4 + f][1] = f;
        }
    if (!write_and_free(dir + "/velok.bmp", sheet("Velok", 12, hero_rows, hero_frame_for_sheet, 0)))
        return false;
    for (int kind = 1; kind <= LAST_DEMON_KIND; kind++) {
        char title[32], file[32];
        snprintf(title, sizeof(title), "demon kind %d", kind);
        snprintf(file, sizeof(file), "/demon%02d.bmp", kind);
        if (!write_and_free(dir + file, sheet(title, 8, demon_rows, demon_frame_for_sheet, kind)))
            return false;
    }
    if (!write_and_free(dir + "/lineup.bmp", lineup()))
        return false;

    // Objects and surfaces, four times their size; the surfaces in rows of ten, named.
    const int per_row = 10, surface_rows = (SURFACE_COUNT + per_row - 1) / per_row;
    int wide = OBJECT_FILES * 136 > per_row * 144 ? OBJECT_FILES * 136 : per_row * 144;
    BITMAP *things = create_bitmap_ex(32, wide + 8, 8 + 136 + 8 + surface_rows * 144 + 8);
    clear_to_color(things, pixel32(SHEET_CELL));
    for (int i = 0; i < OBJECT_FILES; i++) {
        BITMAP *b = make_object(i);
        stretch_sprite(things, b, 8 + i * 136, 8, b->w * 4, b->h * 4);
        destroy_bitmap(b);
    }
    for (int s = 0; s < SURFACE_COUNT; s++) {
        BITMAP *b = make_surface(s);
        // Two by two, to show that the tiles join without seams.
        int x = 8 + (s % per_row) * 144, y = 152 + (s / per_row) * 144;
        for (int j = 0; j < 4; j++)
            stretch_blit(b, things, 0, 0, 16, 16, x + (j % 2) * 64, y + (j / 2) * 64, 64, 64);
        textout_ex(things, font, surface_names[s], x, y + 130, pixel32(rgb(20, 20, 20)), -1);
        destroy_bitmap(b);
    }
    if (!write_and_free(dir + "/objects.bmp", things))
        return false;
    return write_and_free(dir + "/scenery.bmp", make_scenery_sheet());
}
