// Drawing the ordered scene into the back buffer.
#include "render/draw.h"

#include <climits>

#include "render/camera.h"
#include "render/ordering.h"
#include "world/kinds.h"

float texture_scroll;
float texture_scroll_step;
int fog_color;

// Frame of an animation clock running 0..6. The clocks wrap only above 6, so exactly 6.0
// can occur; it is where the next cycle begins and shows frame 0.
static int frame_index(float clock)
{
    return trunc_to_range(clock, 0, INT_MAX) % SPRITE_FRAMES;
}

BITMAP *character_frame(int character, int action, int facing, float clock)
{
    if (character < 0 || character >= SPRITE_CHARACTERS || action < 0 || action >= SPRITE_ACTIONS ||
        facing < 0 || facing >= SPRITE_FACINGS)
        return NULL;
    return sprite_frames[character][action][facing][frame_index(clock)];
}

int triangle_opacity(const ViewTriangle &tri)
{
    int transparency = planes[tri.plane].triangles[tri.triangle].e[TRIANGLE_TRANSPARENCY];
    if (transparency > 100)
        transparency = 100;  // beyond 100 the blender would get a negative alpha
    if (transparency >= 1)
        return (int)((100 - transparency) / 100.0 * 255);
    // A seal is see-through until the hero has stood on ordinary floor, then while its
    // condition holds.
    if ((tri.open_with_gate_item || tri.open_when_cleared) && (!ground_reached || seal_open_now(tri)))
        return 128;
    return 255;
}

static void draw_scene_triangle(int t)
{
    const ViewTriangle &tri = view_triangles[t];
    Plane &plane = planes[tri.plane];
    PlaneTriangle &source = plane.triangles[tri.triangle];
    BITMAP *texture = plane.triangle_shadow[tri.triangle];

    // Moving scenery scrolls its texture as its kind says.
    const FloorKind &kind = floor_kind(tri.kind);
    float du = kind.scroll_u * texture_scroll, dv = kind.scroll_v * texture_scroll;

    V3D_f corner[3];
    for (int c = 0; c < 3; c++) {
        const ViewVertex &w = view_vertices[tri.vertex[c]];
        corner[c].x = w.screen_x;
        corner[c].y = w.screen_y;
        corner[c].z = w.view_depth;
        corner[c].u = tri.tex_u[c] + du;
        corner[c].v = tri.tex_v[c] + dv;
        corner[c].c = 0;
    }

    if (texture) {
        int opacity = triangle_opacity(tri), type = POLYTYPE_PTEX_MASK;
        if (opacity < 255) {
            set_trans_blender(255, 255, 255, opacity);
            type = POLYTYPE_PTEX_MASK_TRANS;
        }
        triangle3d_f(back_buffer, type, texture, &corner[0], &corner[1], &corner[2]);
    }

    // Marks for the map pruning tool: what was drawn stays in the map.
    source.e[TRIANGLE_DRAWN] = 1;
    for (int c = 0; c < 3; c++) {
        const ViewVertex &w = view_vertices[tri.vertex[c]];
        planes[w.plane].vertices[w.vertex].e[VERTEX_DRAWN] = 1.0f;
    }
}

bool draw_world_pixels = true;

void draw_world()
{
    for (int i = depth_high; i >= depth_low; i--) {
        s16 code = depth_buckets[i];
        if (code == 0 || !draw_world_pixels) {
            depth_buckets[i] = 0;
            continue;
        }
        if (code >= BUCKET_TRIANGLE_BASE)
            draw_scene_triangle(code - BUCKET_TRIANGLE_BASE);
        else if (code >= BUCKET_ITEM_BASE)
            draw_sprite_slot(code);
        else if (code >= BUCKET_MONSTER_BASE)
            draw_sprite_slot((s16)(code - BUCKET_MONSTER_BASE));
        else if (code == BUCKET_PLAYER)
            draw_sprite_slot(-1);
        depth_buckets[i] = 0;
    }
}

int sprite_size(int base, float scale)
{
    return trunc_to_range(base * scale, 0, INT_MAX / 2);
}

static void draw_monster(const Monster &m)
{
    // Large monsters grow upward from the same anchor; the pips stay at the anchor.
    int base = demon_drawn_size(m.kind);
    int size = sprite_size(base, m.sprite_scale);
    BITMAP *frame = character_frame(m.kind, m.state, m.facing, m.anim_time);
    if (frame)
        stretch_sprite(back_buffer, frame, m.screen_x,
                       m.screen_y - sprite_size(base - DEMON_SMALL_SIZE, m.sprite_scale), size, size);

    int pip = makecol(255, 196, 64);
    set_hue_blender(255, 0, 0, m.flash);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    // The small kinds reach the top of their frames: their pips are centred over the head.
    int pip_x = demon_is_small(m.kind) ? m.screen_x + size / 2 - 4 * m.health : m.screen_x;
    for (int i = 0; i < m.health; i++)
        rectfill(back_buffer, pip_x + 8 * i, m.screen_y, pip_x + 8 * i + 6, m.screen_y + 8, pip);
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
}

void draw_sprite_slot(s16 n)
{
    if (n == -1) {
        BITMAP *frame = character_frame(0, player_anim_state, player_facing, player_anim_frame);
        int size = sprite_size(HERO_DRAWN_SIZE, player_sprite_scale);
        if (frame)
            stretch_sprite(back_buffer, frame, player_screen_x, player_screen_y, size, size);
    } else if (n >= BUCKET_ITEM_BASE && n < BUCKET_ITEM_BASE + MAP_ITEM_SLOTS) {
        const MapItem &item = map_items[n - BUCKET_ITEM_BASE];
        BITMAP *picture = item.type >= 0 && item.type < OBJECT_BITMAPS ? object_bitmaps[item.type] : NULL;
        int size = sprite_size(ITEM_DRAWN_SIZE, item.sprite_scale);
        if (picture)
            stretch_sprite(back_buffer, picture, item.screen_x, item.screen_y, size, size);
    } else if (n >= 0 && n < MONSTERS_PER_MAP && current_map >= 0 && current_map < MAP_NUMBERS) {
        draw_monster(monsters[current_map][n]);
    }
}
