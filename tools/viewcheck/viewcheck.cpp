// Judging a map's views: each frame drawn twice by the game's renderer, with and without the
// hero, into a back buffer cleared to a colour no picture wears.
#include "tools/viewcheck/viewcheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "game/items.h"
#include "game/monsters.h"
#include "game/player.h"
#include "game/scene.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "render/transform.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"
#include "tools/forge/forge.h"
#include "tools/forge/mapbuild.h"
#include "tools/viewcheck/viewcover.h"
#include "tools/viewcheck/viewsteps.h"
#include "world/mapfile.h"

namespace {

// A failing map names this many of its failing views.
const int NAMED_FAILURES = 6;

BITMAP *footprint = nullptr, *without_hero = nullptr;
s32 kept_band = 0;
int sentinel = 0;
CoverMeter *cover = nullptr;
// What the last frame drawn with the hero ordered, far to near.
std::vector<s16> order;

const int HERO_FRAMES = 2 * SPRITE_FACINGS * SPRITE_FRAMES;

BITMAP **hero_slot(int i)
{
    if (i >= HERO_FRAMES)
        return &sprite_frames[DEMON_KINDS_JUDGED[i - HERO_FRAMES]][1][FACING_DOWN][0];
    return &sprite_frames[0][i / (SPRITE_FACINGS * SPRITE_FRAMES)][i / SPRITE_FRAMES % SPRITE_FACINGS][i % SPRITE_FRAMES];
}

std::string frame_path(const std::string &data_dir, int i)
{
    if (i >= HERO_FRAMES)
        return data_dir + "/anim/en" + std::to_string(DEMON_KINDS_JUDGED[i - HERO_FRAMES] - 1) + "_" +
               std::to_string(FACING_DOWN) + "_1.bmp";
    return data_dir + "/anim/" + (i < HERO_FRAMES / 2 ? "stand" : "walk") + "udlr"[i / SPRITE_FRAMES % SPRITE_FACINGS] +
           std::to_string(i % SPRITE_FRAMES + 1) + ".bmp";
}

// One frame as the main loop draws it, into the back buffer cleared to the sentinel; without
// the hero when asked.
void render(bool hero_drawn)
{
    clear_to_color(back_buffer, sentinel);
    main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
    if (hero_drawn)
        CoverMeter::take_order(order, false);
    else
        for (int i = depth_low; i <= depth_high; i++)
            if (depth_buckets[i] == BUCKET_PLAYER)
                depth_buckets[i] = 0;
    draw_world();
}

int band_top() { return hud_band_height + 1; }
int band_bottom() { return screen_height - hud_band_height - 1; }

// The share of the hero's own pixels, where his frame stands, that differ from the frame
// without him: those are seen (a see-through crown over him still shows him).
double hero_seen()
{
    clear_to_color(footprint, sentinel);
    int size = sprite_size(HERO_DRAWN_SIZE, player_sprite_scale);
    BITMAP *frame = character_frame(0, player_anim_state, player_facing, player_anim_frame);
    stretch_sprite(footprint, frame, player_screen_x, player_screen_y, size, size);
    long mine = 0, seen = 0;
    for (int row = player_screen_y; row < player_screen_y + size; row++)
        for (int col = player_screen_x; col < player_screen_x + size; col++) {
            if (col < 0 || col >= screen_width || row < 0 || row >= screen_height ||
                pixel_at(footprint, col, row) == sentinel)
                continue;
            mine++;
            seen += row >= band_top() && row <= band_bottom() &&
                    pixel_at(back_buffer, col, row) != pixel_at(without_hero, col, row);
        }
    return mine ? (double)seen / mine : 0;
}

// The view from where the hero and the camera stand now: the share of the world band left
// uncovered, and the share of the hero that is seen. Leaves the frame without him in
// `without_hero`.
void judge_view(double *uncovered, double *seen)
{
    render(false);
    blit(back_buffer, without_hero, 0, 0, 0, 0, screen_width, screen_height);
    render(true);
    long clear = 0;
    for (int row = band_top(); row <= band_bottom(); row++)
        for (int col = 0; col < screen_width; col++)
            clear += pixel_at(back_buffer, col, row) == sentinel;
    *uncovered = (double)clear / ((long)(band_bottom() - band_top() + 1) * screen_width);
    *seen = hero_seen();
}

std::string percent(double share)
{
    char text[32];
    snprintf(text, sizeof(text), "%.1f %%", 100 * share);
    return text;
}

// Whether a pixel shows the colour, lit or shaded: near the line from black through it.
bool wears(int pixel, Rgb colour)
{
    float p[3] = {(float)getr(pixel), (float)getg(pixel), (float)getb(pixel)};
    float c[3] = {(float)red_of(colour), (float)green_of(colour), (float)blue_of(colour)};
    float pc = p[0] * c[0] + p[1] * c[1] + p[2] * c[2], cc = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    float t = pc / cc, off = 0;
    for (int i = 0; i < 3; i++)
        off += (p[i] - t * c[i]) * (p[i] - t * c[i]);
    return t > 0.45f && t < 1.6f && off < 32 * 32;
}

// The steps' figures and rules, read from every judged frame.
void judge_steps(const StepMeter &steps, const ViewBudget &budget, MapView &out)
{
    out.steps = steps.steps();
    out.steps_read = steps.steps_seen();
    HeightEdge weakest;
    out.weakest_contrast = steps.weakest(&weakest);
    if (out.weakest_contrast >= 0)
        out.weakest_step = steps.describe(weakest);
    if (out.steps_read < budget.steps_read * out.steps)
        out.failures.push_back("only " + std::to_string(out.steps_read) + " of " + std::to_string(out.steps) +
                               " steps read near the middle of a view (at least " + percent(budget.steps_read) + ")");
    if (out.weakest_contrast >= 0 && out.weakest_contrast < MIN_STEP_CONTRAST)
        out.failures.push_back(out.weakest_step + " reads only " + std::to_string((int)out.weakest_contrast) +
                               " levels of luminance (at least " + std::to_string((int)MIN_STEP_CONTRAST) + ")");
}

}  // namespace

HeroFrames::HeroFrames(const std::string &data_dir)
{
    for (int i = 0; i < N; i++) {
        kept[i] = *hero_slot(i);
        *hero_slot(i) = mine[i] = load_bitmap(frame_path(data_dir, i).c_str(), NULL);
        complete = complete && mine[i];
    }
}

HeroFrames::~HeroFrames()
{
    for (int i = 0; i < N; i++) {
        *hero_slot(i) = kept[i];
        if (mine[i])
            destroy_bitmap(mine[i]);
    }
}

void set_up_shipped_view()
{
    set_screen_globals(GAME_WIDTH, GAME_HEIGHT);
    set_view_constants();
    init_camera();
    depth_range = DEPTH_BUCKETS - 1;
    tick_frame_count = 0;
    frames_last_tick = 60;
    memset(map_items, 0, sizeof(map_items));
    for (int i = 0; i < INVENTORY_SLOTS; i++)
        inventory[i] = 1;
}

void begin_view_check()
{
    set_up_shipped_view();
    kept_band = hud_band_height;
    set_world_motion();
    player_anim_state = 0, player_facing = FACING_DOWN, player_anim_frame = 0;
    sentinel = makecol(255, 0, 255);
    footprint = create_bitmap(screen_width, screen_height);
    without_hero = create_bitmap(screen_width, screen_height);
    cover = new CoverMeter();
    texture_scroll = 0;
}

void end_view_check()
{
    hud_band_height = kept_band;
    memset(inventory, 0, sizeof(inventory));
    destroy_bitmap(footprint);
    destroy_bitmap(without_hero);
    footprint = without_hero = nullptr;
    delete cover;
    cover = nullptr;
    view_vertices.clear();
    view_triangles.clear();
    memset(depth_buckets, 0, sizeof(depth_buckets));
    depth_low = DEPTH_BUCKETS - 1;
    depth_high = 0;
}

bool enter_map_without_demons(const MapSource &m, s16 *kept)
{
    if (!load_map(std::to_string(m.number).c_str()))
        return false;
    *kept = monster_counts[m.number];
    monster_counts[m.number] = 0;
    build_scene();
    ground_reached = 1;
    return true;
}

namespace {

// A demon of the pose's kind a step north of the hero while the view is judged; the map's
// first demon slot is put back after.
class DemonNorth {
public:
    explicit DemonNorth(const Pose &v) : on_(v.demon_kind > 0)
    {
        if (!on_)
            return;
        Monster &d = monsters[current_map][0];
        kept_ = d, kept_count_ = monster_counts[current_map];
        d = Monster{};
        d.kind = (s16)v.demon_kind, d.health = 1, d.state = 1, d.facing = FACING_DOWN;
        d.x = v.x, d.y = v.demon_y, d.z = v.z - 1;
        monster_counts[current_map] = 1;
    }
    ~DemonNorth()
    {
        if (on_)
            monsters[current_map][0] = kept_, monster_counts[current_map] = kept_count_;
    }

private:
    bool on_;
    Monster kept_{};
    s16 kept_count_ = 0;
};

// The hero wrongly covered in the view just ordered; for a demon's view, what the demon adds.
double wrongly_covered(const Pose &v)
{
    if (v.cover_only) {
        main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
        CoverMeter::take_order(order, true);
    }
    double with = cover->measure(order);
    if (!v.demon_kind || with < 0)
        return with;
    std::vector<s16> without;
    for (s16 code : order)
        if (code < BUCKET_MONSTER_BASE || code >= BUCKET_ITEM_BASE)
            without.push_back(code);
    return std::max(0.0, with - std::max(0.0, cover->measure(without)));
}

// The rules of the whole frame at a view: the band filled, the hero seen, the steps read.
void judge_frame(const Pose &v, StepMeter &steps, const std::string &where, MapView &out,
                 std::vector<std::string> &broken)
{
    double uncovered, seen;
    judge_view(&uncovered, &seen);
    steps.read(without_hero);
    uncovered = v.whole_band ? uncovered : 0;
    out.worst_uncovered = std::max(out.worst_uncovered, uncovered);
    if (seen < out.least_hero_seen)
        out.least_hero_seen = seen, out.least_seen_where = where;
    if (uncovered > MAX_UNCOVERED)
        broken.push_back(where + ": " + percent(uncovered) + " of the world band uncovered (at most " +
                         percent(MAX_UNCOVERED) + ")");
    if (seen < MIN_HERO_SEEN)
        broken.push_back(where + ": " + percent(seen) + " of the hero seen (at least " + percent(MIN_HERO_SEEN) + ")");
}

void judge_cover(const Pose &v, double covered, const std::string &where, MapView &out,
                 std::vector<std::string> &broken)
{
    if (covered < 0)
        return;  // he is not drawn at all
    if (v.demon_kind) {
        int size = demon_is_small(v.demon_kind) ? 0 : 1;
        if (covered > out.demon_cover[size] || out.demon_where[size].empty())
            out.demon_cover[size] = covered, out.demon_where[size] = where;
        return;
    }
    out.cover_views++;
    if (covered > out.worst_cover)
        out.worst_cover = covered, out.worst_cover_where = where;
    if (covered > MAX_WRONGLY_COVERED)
        broken.push_back(where + ": " + percent(covered) + " of the hero wrongly covered (at most " +
                         percent(MAX_WRONGLY_COVERED) + ")");
}

}  // namespace

// Every view of the map, as many as the budget allows; a failing one is named, up to a few.
void judge_views(const Campaign &c, const MapSource &m, const ViewBudget &budget, const std::string &shots,
                 MapView &out)
{
    std::vector<Pose> views = view_poses(c, m, budget);
    StepMeter steps(c, m);
    out.views = (int)views.size();
    if (views.empty())
        out.failures.push_back("no place where the hero can stand");
    for (const Pose &v : views) {
        player_x = v.x, player_y = v.y, player_z = v.z;
        player_anim_state = (s16)v.action, player_facing = (s16)v.facing, player_anim_frame = (float)v.frame;
        camera_x = v.camera_x, camera_y = v.y, camera_z = v.camera_z;
        DemonNorth demon(v);
        std::string where = grid_place(m, v.place.col, v.place.row) + ", " + v.what;
        std::vector<std::string> broken;
        if (!v.cover_only)
            judge_frame(v, steps, where, out, broken);
        judge_cover(v, wrongly_covered(v), where, out, broken);
        if (broken.empty())
            continue;
        if (!shots.empty() && out.failing_views < NAMED_FAILURES) {
            if (v.cover_only)
                render(true);
            save_bitmap((shots + "/" + std::to_string(m.number) + "_" + std::to_string(v.place.col - m.ring_west) +
                         "_" + std::to_string(v.place.row - m.ring_north) + "_" + std::to_string(out.failing_views) +
                         ".bmp").c_str(), back_buffer, NULL);
        }
        if (out.failing_views++ < NAMED_FAILURES)
            out.failures.insert(out.failures.end(), broken.begin(), broken.end());
    }
    if (out.failing_views > NAMED_FAILURES)
        out.failures.push_back("and " + std::to_string(out.failing_views - NAMED_FAILURES) + " more failing views");
    judge_steps(steps, budget, out);
}

// Every kind of sealed floor of the map as the game draws it, the camera on its first cell:
// shut, it shows the colour of the key or gem that opens it (violet for a floor that opens
// when the map is clean); once open it looks otherwise.
void judge_seals(const MapSource &m, MapView &out)
{
    BITMAP *shut = create_bitmap(screen_width, screen_height);
    for (int kind : {KIND_GATED_FLOOR, KIND_CLEARED_FLOOR}) {
        int at = -1;
        for (int i = 0; i < m.width * m.height && at < 0; i++)
            if (cell_style(m, i % m.width, i / m.width).kind == kind)
                at = i;
        if (at < 0)
            continue;
        cell_center(m, at % m.width, at / m.width, &camera_x, &camera_y, &camera_z);
        player_x = camera_x, player_y = camera_y, player_z = camera_z;
        Rgb colour = kind == KIND_CLEARED_FLOOR ? CLEARED_RGB : item_colour(map_group);
        inventory[map_group] = 0, map_cleared[m.number] = 0;
        render(false);
        blit(back_buffer, shut, 0, 0, 0, 0, screen_width, screen_height);
        inventory[map_group] = 1, map_cleared[m.number] = 1;
        render(false);
        long changed = 0, coloured = 0;
        for (int row = band_top(); row <= band_bottom(); row++)
            for (int col = 0; col < screen_width; col++)
                if (getpixel(shut, col, row) != getpixel(back_buffer, col, row)) {
                    changed++;
                    coloured += wears(getpixel(shut, col, row), colour);
                }
        std::string name = kind == KIND_CLEARED_FLOOR ? "the barrier" : "the seal";
        std::string where = name + " at " + grid_place(m, at % m.width, at / m.width);
        out.seals.push_back(name + " " + std::to_string(changed) + " pixels open, " +
                            percent(changed ? (double)coloured / changed : 0) + " in its colour");
        if (changed <= 500)
            out.failures.push_back(where + ": opening it changes only " + std::to_string(changed) +
                                   " pixels (more than 500)");
        if (coloured * 8 <= changed)
            out.failures.push_back(where + ": " + std::to_string(coloured) + " of the " + std::to_string(changed) +
                                   " pixels that change show the colour of what opens it (more than an eighth)");
    }
    destroy_bitmap(shut);
}

MapView check_map_view(const Campaign &c, const MapSource &m, const ViewBudget &budget, const std::string &shots)
{
    MapView out;
    out.number = m.number;
    s16 kept_monsters = 0;
    if (!enter_map_without_demons(m, &kept_monsters)) {
        out.failures.push_back("the forged map does not load");
        return out;
    }
    map_cleared[m.number] = 1;
    judge_views(c, m, budget, shots, out);
    judge_seals(m, out);
    monster_counts[m.number] = kept_monsters;
    map_cleared[m.number] = 0;
    return out;
}

std::string map_view_line(const MapView &v)
{
    char text[400];
    snprintf(text, sizeof(text),
             "map %d: %d views, at worst %s of the band uncovered and %s of the hero seen (%s); %d of %d steps "
             "read, the weakest by %.0f levels",
             v.number, v.views, percent(v.worst_uncovered).c_str(), percent(v.least_hero_seen).c_str(),
             v.least_seen_where.c_str(), v.steps_read, v.steps, v.weakest_contrast);
    std::string line = text;
    if (v.cover_views)
        line += "; at worst " + percent(v.worst_cover) + " of the hero wrongly covered over " +
                std::to_string(v.cover_views) + " views (" + v.worst_cover_where + ")";
    for (int size = 0; size < 2; size++)
        if (!v.demon_where[size].empty())
            line += std::string("; a ") + (size ? "large" : "small") + " demon behind him wrongly covers at worst " +
                    percent(v.demon_cover[size]) + " (" + v.demon_where[size] + ")";
    for (const std::string &s : v.seals)
        line += "; " + s;
    return line + (v.failures.empty() ? ": holds" : ": FAILS");
}
