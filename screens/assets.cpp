// Asset loading.
#include "screens/assets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "game/player.h"
#include "render/draw.h"
#include "render/transform.h"
#include "world/picture.h"

s32 hud_band_height;

struct PlayerFrameFile {
    const char *pattern;
    int action;
    int facing;
};

// Twelve files per frame number, read in this order.
static const PlayerFrameFile player_files[12] = {
    {"data/anim/walkd%d.bmp", 1, FACING_DOWN},  {"data/anim/walku%d.bmp", 1, FACING_UP},
    {"data/anim/walkl%d.bmp", 1, FACING_LEFT},  {"data/anim/walkr%d.bmp", 1, FACING_RIGHT},
    {"data/anim/standu%d.bmp", 0, FACING_UP},   {"data/anim/standd%d.bmp", 0, FACING_DOWN},
    {"data/anim/standl%d.bmp", 0, FACING_LEFT}, {"data/anim/standr%d.bmp", 0, FACING_RIGHT},
    {"data/anim/atd%d.bmp", 2, FACING_DOWN},    {"data/anim/atu%d.bmp", 2, FACING_UP},
    {"data/anim/atl%d.bmp", 2, FACING_LEFT},    {"data/anim/atr%d.bmp", 2, FACING_RIGHT},
};

const char *object_files[OBJECT_FILES] = {
    "data/objects/heart.bmp", "data/objects/key1.bmp",   "data/objects/key2.bmp",
    "data/objects/key3.bmp",  "data/objects/key4.bmp",   "data/objects/key5.bmp",
    "data/objects/gem1.bmp",  "data/objects/gem2.bmp",   "data/objects/gem3.bmp",
    "data/objects/gem4.bmp",  "data/objects/arrowu.bmp", "data/objects/arrowd.bmp",
    "data/objects/arrowl.bmp", "data/objects/arrowr.bmp",
};

// Start-up cannot go on without every picture: say which one and stop.
static void asset_failure(const char *what, const char *name)
{
    fprintf(stderr, "%s %s\n", what, name);
    fflush(stderr);
    exit(1);
}

// Every picture's header is checked before the bitmap loader sees it: a crafted size
// crashes the loader, and a file cut short would load with garbage pixels.
static BITMAP *load_image(const char *name)
{
    std::string why;
    BITMAP *image = load_picture(name, palette, why);
    if (!image) {
        fprintf(stderr, "Can't load %s: %s\n", name, why.c_str());
        fflush(stderr);
        exit(1);
    }
    return image;
}

// A 40 x 40 copy of the image on the mask colour, whatever the image's own size.
static BITMAP *normalised_frame(BITMAP *image, const char *name)
{
    BITMAP *frame = create_bitmap(SPRITE_SIZE, SPRITE_SIZE);
    if (!frame)
        asset_failure("Can't create a frame for", name);
    clear_to_color(frame, makecol(255, 0, 255));
    stretch_sprite(frame, image, 0, 0, SPRITE_SIZE, SPRITE_SIZE);
    return frame;
}

static BITMAP *load_frame(const char *name)
{
    BITMAP *image = load_image(name);
    BITMAP *frame = normalised_frame(image, name);
    destroy_bitmap(image);
    return frame;
}

static BITMAP *create_floor_bitmap(const char *name)
{
    BITMAP *b = create_bitmap(128, 128);
    if (!b)
        asset_failure("Can't create the floor bitmap", name);
    clear_bitmap(b);
    return b;
}

static bool machine_has_sound()
{
#ifdef __linux__
    return access("/dev/snd", F_OK) == 0;
#else
    return true;
#endif
}

static void fill_monster_kinds()
{
    for (int k = 1; k <= 5; k++) {
        monster_kinds[k] = {(s16)(2 * k), (s16)(2 * k), 0.2f * k};
        monster_kinds[k + 5] = {(s16)(2 * k + 8), (s16)(4 * k), 0.2f * k};
        monster_kinds[k + 10] = {(s16)(2 * k + 16), (s16)(6 * k), 0.2f * k};
    }
}

void set_world_motion()
{
    wave_center_x = 0.0f;
    wave_center_z = 3.0f;
    wave_amplitude = 0.2f;
    wave_radius = 20.0f;
    texture_scroll_step = 0.125f;
    hud_band_height = screen_height / HUD_BAND_DIVISOR;
}

void load_assets()
{
    char name[100];

    set_world_motion();

    for (int i = 0; i < SPRITE_FRAMES; i++) {
        for (const PlayerFrameFile &f : player_files) {
            snprintf(name, sizeof(name), f.pattern, i + 1);
            sprite_frames[0][f.action][f.facing][i] = load_frame(name);
        }
    }

    height_map = create_floor_bitmap("height_map");
    paint_scratch = create_floor_bitmap("paint_scratch");
    kind_map = create_floor_bitmap("kind_map");

    fog_color = makecol(0, 0, 0);
    texture_scroll = 0.0f;

    // No sound is played; a machine without a sound card starts all the same. Where
    // there is plainly no sound device the drivers are not even probed: the probe of
    // the sound library leaks on such machines.
    if (machine_has_sound()) {
        int detected = detect_digi_driver(DIGI_AUTODETECT);
        if (install_sound(DIGI_AUTODETECT, MIDI_NONE, NULL) == 0 && detected > 0)
            reserve_voices(16, 0);
    }

    fill_monster_kinds();

    for (int c = 1; c <= LAST_DEMON_KIND; c++) {
        for (int i = 0; i < SPRITE_FRAMES; i++) {
            for (int f = 0; f < SPRITE_FACINGS; f++) {
                snprintf(name, sizeof(name), "data/anim/en%d_%d_%d.bmp", c - 1, f, i + 1);
                sprite_frames[c][1][f][i] = load_frame(name);

                // A monster that stands shows its attack picture.
                snprintf(name, sizeof(name), "data/anim/enf%d_%d_%d.bmp", c - 1, f, i + 1);
                BITMAP *image = load_image(name);
                sprite_frames[c][2][f][i] = normalised_frame(image, name);
                sprite_frames[c][0][f][i] = normalised_frame(image, name);
                destroy_bitmap(image);
            }
        }
    }

    for (int i = 0; i < OBJECT_FILES; i++)
        object_bitmaps[i] = load_image(object_files[i]);

    reset_game_values();
}

void reset_game_values()
{
    memset(monsters, 0, sizeof(monsters));
    memset(monster_counts, 0, sizeof(monster_counts));
    memset(map_cleared, 0, sizeof(map_cleared));
    memset(item_placements, 0, sizeof(item_placements));
    memset(map_items, 0, sizeof(map_items));
    memset(inventory, 0, sizeof(inventory));
    monster_total = monsters_killed = 0;
    item_count = 0;
    player_health = 8;
    hurt_flash = 0;
}
