// Measuring the hero wrongly covered. The painter's side is drawn by the game's own
// draw_world, with him a white and then a black rectangle and everything ordered after him
// drawn over: where the two differ he shows, by as much as they differ. The depth side is
// drawn with Allegro's z-buffered polygons: every opaque face, then him as a white card at
// his true depth, then the see-through faces in black by their opacity.
#include "tools/viewcheck/viewcover.h"

#include <algorithm>
#include <climits>

#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "screens/assets.h"
#include "shell/video.h"
#include "world/kinds.h"

namespace {

// How the game draws a scene triangle: 255 opaque, less see-through, -1 not at all.
int opacity(const ViewTriangle &tri)
{
    return planes[tri.plane].triangle_shadow[tri.triangle] ? triangle_opacity(tri) : -1;
}

// A scene triangle with its texture as the game maps it, at its true depth.
void draw_triangle(BITMAP *into, int t, int type, BITMAP *texture)
{
    const ViewTriangle &tri = view_triangles[t];
    const FloorKind &kind = floor_kind(tri.kind);
    V3D_f corner[3];
    for (int c = 0; c < 3; c++) {
        const ViewVertex &w = view_vertices[tri.vertex[c]];
        corner[c] = V3D_f{w.screen_x, w.screen_y, -w.view_depth, tri.tex_u[c] + kind.scroll_u * texture_scroll,
                          tri.tex_v[c] + kind.scroll_v * texture_scroll, 0};
    }
    triangle3d_f(into, type | POLYTYPE_ZBUF, texture, &corner[0], &corner[1], &corner[2]);
}

}  // namespace

CoverMeter::CoverMeter()
{
    white_ = create_bitmap(screen_width, screen_height);
    black_ = create_bitmap(screen_width, screen_height);
    depth_ = create_bitmap(screen_width, screen_height);
    footprint_ = create_bitmap(screen_width, screen_height);
    dark_ = create_bitmap(16, 16);
    clear_to_color(dark_, makecol(0, 0, 0));
    zbuffer_ = create_zbuffer(depth_);
}

CoverMeter::~CoverMeter()
{
    set_zbuffer(nullptr);
    if (zbuffer_)
        destroy_zbuffer(zbuffer_);
    for (BITMAP *b : {white_, black_, depth_, footprint_, dark_})
        if (b)
            destroy_bitmap(b);
}

void CoverMeter::take_order(std::vector<s16> &order, bool empty)
{
    order.clear();
    for (int i = depth_high; i >= depth_low; i--) {
        if (depth_buckets[i])
            order.push_back(depth_buckets[i]);
        if (empty)
            depth_buckets[i] = 0;
    }
}

float CoverMeter::card_depth(float sx, float sy, float world_z)
{
    // The card's point (dx, dy from the focus, its depth Z) seen at (sx, sy): the view
    // transform set equal to the projection's ray, three equations in three unknowns.
    const float *m = camera_matrix;
    double a = (sx - screen_half_width) / focal_x, b = (sy - screen_half_height + view_y_shift) / focal_y;
    double dz = world_z - camera_z;
    double k[3][3] = {{m[0], m[3], -a}, {m[1], m[4], -b}, {m[2], m[5], -1}};
    double r[3] = {eye_offset_x - m[6] * dz, eye_offset_y - m[7] * dz, eye_offset_z - m[8] * dz};
    auto det = [](double p[3][3]) {
        return p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) - p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
               p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0]);
    };
    double whole = det(k);
    for (int i = 0; i < 3; i++)
        k[i][2] = r[i];
    return (float)(det(k) / whole);
}

// The card of a sprite drawn at (x, y), size_x by size_y pixels on the screen, standing
// across the world at depth world_z: its frame's shape, or a flat colour when there is none.
void CoverMeter::draw_card(float x, float y, int size_x, int size_y, float world_z, BITMAP *frame, int colour)
{
    const float sx[4] = {x, x, x + size_x, x + size_x}, sy[4] = {y, y + size_y, y + size_y, y};
    V3D_f corner[4];
    for (int i = 0; i < 4; i++) {
        float u = frame && i >= 2 ? frame->w : 0, v = frame && (i == 1 || i == 2) ? frame->h : 0;
        corner[i] = V3D_f{sx[i], sy[i], -card_depth(sx[i], sy[i], world_z), u, v, colour};
    }
    int type = frame ? POLYTYPE_ATEX_MASK : POLYTYPE_FLAT;
    quad3d_f(depth_, type | POLYTYPE_ZBUF, frame, &corner[0], &corner[1], &corner[2], &corner[3]);
}

// Whether what the code draws may reach into the hero's rectangle: a triangle whose corners
// lie all to one side of it does not.
bool CoverMeter::reaches(s16 code) const
{
    if (code < BUCKET_TRIANGLE_BASE)
        return true;
    const ViewTriangle &tri = view_triangles[code - BUCKET_TRIANGLE_BASE];
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
    for (int c = 0; c < 3; c++) {
        const ViewVertex &w = view_vertices[tri.vertex[c]];
        x0 = std::min(x0, w.screen_x), x1 = std::max(x1, w.screen_x);
        y0 = std::min(y0, w.screen_y), y1 = std::max(y1, w.screen_y);
    }
    return x1 >= left_ - 1 && x0 <= right_ + 1 && y1 >= top_ - 1 && y0 <= bottom_ + 1;
}

// The painter's frame over the hero's rectangle filled with `colour`: what the game draws
// after him, as it draws it.
void CoverMeter::painter(const std::vector<s16> &order, size_t hero, int colour, BITMAP *into)
{
    BITMAP *kept = back_buffer;
    back_buffer = into;
    set_clip_rect(into, left_, top_, right_, bottom_);
    rectfill(into, left_, top_, right_, bottom_, colour);
    int n = 0;
    for (size_t i = order.size(); i-- > hero + 1;)  // near to far: the farthest gets the highest bucket
        if (reaches(order[i]))
            depth_buckets[n++] = order[i];
    if (n > 0) {
        depth_low = 0;
        depth_high = (s16)(n - 1);
        draw_world();
    }
    set_clip_rect(into, 0, 0, into->w - 1, into->h - 1);
    back_buffer = kept;
}

void CoverMeter::depth(const std::vector<s16> &order)
{
    set_clip_rect(depth_, left_, top_, right_, bottom_);
    set_clip_rect(zbuffer_, left_, top_, right_, bottom_);
    clear_zbuffer(zbuffer_, 0);
    set_zbuffer(zbuffer_);
    std::vector<std::pair<int, int>> see_through;  // triangle, opacity, far to near
    for (s16 code : order) {
        if (code >= BUCKET_TRIANGLE_BASE) {
            int t = code - BUCKET_TRIANGLE_BASE;
            if (!reaches(code))
                continue;
            const ViewTriangle &tri = view_triangles[t];
            int alpha = opacity(tri);
            if (alpha == 255)
                draw_triangle(depth_, t, POLYTYPE_PTEX_MASK, planes[tri.plane].triangle_shadow[tri.triangle]);
            else if (alpha > 0)
                see_through.push_back({t, alpha});
        } else if (code >= BUCKET_MONSTER_BASE && code < BUCKET_ITEM_BASE && current_map >= 0) {
            const Monster &m = monsters[current_map][code - BUCKET_MONSTER_BASE];
            int base = demon_drawn_size(m.kind), size = sprite_size(base, m.sprite_scale);
            draw_card(m.screen_x, m.screen_y - sprite_size(base - DEMON_SMALL_SIZE, m.sprite_scale), size, size, m.z,
                      character_frame(m.kind, m.state, m.facing, m.anim_time), 0);
        }
    }
    rectfill(depth_, left_, top_, right_, bottom_, makecol(0, 0, 0));
    int size = sprite_size(HERO_DRAWN_SIZE, player_sprite_scale);
    draw_card(player_screen_x, player_screen_y, size, size, player_z, nullptr, makecol(255, 255, 255));
    // Each see-through face is tested against him and what is opaque, never against another
    // see-through face: the depths are put back after each, whatever order they come in.
    std::vector<float> kept;
    for (int y = top_; y <= bottom_; y++)
        kept.insert(kept.end(), (float *)zbuffer_->line[y] + left_, (float *)zbuffer_->line[y] + right_ + 1);
    for (const auto &s : see_through) {
        set_trans_blender(0, 0, 0, s.second);
        draw_triangle(depth_, s.first, POLYTYPE_PTEX_MASK_TRANS, dark_);
        const float *from = kept.data();
        for (int y = top_; y <= bottom_; y++, from += right_ - left_ + 1)
            std::copy(from, from + right_ - left_ + 1, (float *)zbuffer_->line[y] + left_);
    }
    set_zbuffer(nullptr);
    set_clip_rect(depth_, 0, 0, depth_->w - 1, depth_->h - 1);
}

double CoverMeter::measure(const std::vector<s16> &order)
{
    size_t hero = std::find(order.begin(), order.end(), (s16)BUCKET_PLAYER) - order.begin();
    BITMAP *frame = character_frame(0, player_anim_state, player_facing, player_anim_frame);
    int size = sprite_size(HERO_DRAWN_SIZE, player_sprite_scale);
    left_ = std::max(0, (int)player_screen_x), right_ = std::min(screen_width - 1, player_screen_x + size - 1);
    top_ = std::max(hud_band_height + 1, (int)player_screen_y);
    bottom_ = std::min(screen_height - hud_band_height - 1, player_screen_y + size - 1);
    if (hero == order.size() || !frame || left_ > right_ || top_ > bottom_)
        return -1;
    int mask = bitmap_mask_color(footprint_);
    set_clip_rect(footprint_, left_, top_, right_, bottom_);
    rectfill(footprint_, left_, top_, right_, bottom_, mask);
    stretch_sprite(footprint_, frame, player_screen_x, player_screen_y, size, size);
    set_clip_rect(footprint_, 0, 0, footprint_->w - 1, footprint_->h - 1);
    painter(order, hero, makecol(255, 255, 255), white_);
    painter(order, hero, makecol(0, 0, 0), black_);
    depth(order);
    long mine = 0;
    double wrong = 0;
    for (int y = top_; y <= bottom_; y++)
        for (int x = left_; x <= right_; x++) {
            if (pixel_at(footprint_, x, y) == mask)
                continue;
            mine++;
            double shown = (getg(pixel_at(white_, x, y)) - getg(pixel_at(black_, x, y))) / 255.0;
            double truly = getg(pixel_at(depth_, x, y)) / 255.0;
            wrong += std::max(0.0, truly - std::max(0.0, shown));
        }
    return mine ? wrong / mine : -1;
}
