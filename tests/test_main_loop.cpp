// The real main-loop pass on a forged world: the rules hold per second of game time at any
// frame rate, and the pass's steps come in the order that their effects need.
#include <cmath>

#include "game/floormap.h"
#include "game/items.h"
#include "game/monsters.h"
#include "game/triggers.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/transform.h"
#include "screens/assets.h"
#include "screens/hud.h"
#include "tests/gameplay_scene.h"
#include "tools/forge/campaign.h"
#include "world/mapfile.h"
#include "world/tables.h"

namespace {

// What both start maps are made of: walls, grass, a spawn floor, the start, the arrival
// from the finale and a trigger to it.
#define START_MAP_LEGEND                                                                     \
    "map 901\ncell # wall 2 wall\ncell . grass 0\ncell x grass 0 kind=7\ncell S grass 0 spot=start\n" \
    "cell r grass 0 spot=back\ncell E trigger 0 exit=906:start\ngrid\n"

// A small court: the hero in the middle, ten pick-ups beside him (two units off, out of
// reach), a demon's spawn point at the end of a passage, out of reach of the arrivals.
const char *court_map = START_MAP_LEGEND R"(#######
#...........x#
#.....#
#..S..#
#.....#
#r...E#
#######
end
item heart 1 2
item heart 1 3
item heart 1 4
item key1 5 2
item gem1 5 3
item gem2 5 4
item heart 2 1
item heart 3 1
item heart 4 1
item heart 3 5
monsters 1
)";

const int PICKUPS = 10;

// A long field running north, so the world reaches up under the HUD's top band, with a
// trigger two cells east of the start.
std::string field_map()
{
    std::string rows;
    for (int row = 0; row < 10; row++)
        rows += "#.........#\n";
    return START_MAP_LEGEND "###########\n#........x#\n" + rows +
           "#....S.E..#\n#.........#\n#r........#\n###########\nend\nmonsters 1\n";
}

const char *const clock_names[] = {"fixed time_scale", "measured rate", "jittering clock"};
const float scales[] = {2, 1, 0.5f, 0.1f};

Monster &lone_demon(int kind, float dx)
{
    monster_counts[901] = 1;
    Monster &m = monsters[901][0];
    m.kind = (s16)kind;
    m.damage = monster_kinds[kind].damage;
    m.health = m.max_health = 100;
    m.x = player_x + dx, m.y = player_y, m.z = player_z;
    m.step_x = m.step_z = 0;  // it stands where it is put
    m.anim_time = 0, m.flash = 0, m.flash_level = 0;
    return m;
}

// Health a demon of this kind takes a game second in contact with a hero standing still.
double contact_damage_rate(Clock clock, float scale, int kind)
{
    Rate rate(clock, scale);
    lone_demon(kind, 0.5f);
    long taken = 0;
    // Eight whole cycles of its clock (2 x 0.16 x 60 a game second over 6).
    while (rate.seconds() < 2.5) {
        player_health = 290;
        rate.pass();
        taken += 290 - player_health;
    }
    return taken / rate.seconds();
}

// The game time at which a flash set to 255 falls below 8. Frames at 30 a second lie 33 ms
// apart, a third of the whole fall, so the crossing is placed between the last frame at or
// above 8 and the first below it, on the logarithmic scale the flash falls on.
double crossing(double t0, int v0, double t1, int v1)
{
    double low = v1 > 0 ? v1 : 0.5;
    return t0 + (t1 - t0) * std::log(v0 / 8.0) / std::log(v0 / low);
}

void flash_fall_times(Clock clock, float scale, double *hurt, double *hit)
{
    Rate rate(clock, scale);
    Monster &m = lone_demon(1, 5);
    m.flash = 255;
    hurt_flash = 255;
    *hurt = *hit = -1;
    double t = 0;
    int hurt_before = 255, hit_before = 255;
    while ((*hurt < 0 || *hit < 0) && rate.seconds() < 1) {
        rate.pass();
        if (*hurt < 0 && hurt_flash < 8)
            *hurt = crossing(t, hurt_before, rate.seconds(), hurt_flash);
        if (*hit < 0 && m.flash < 8)
            *hit = crossing(t, hit_before, rate.seconds(), m.flash);
        hurt_before = hurt_flash;
        hit_before = m.flash;
        t = rate.seconds();
    }
}

struct Volley {
    double arrows_per_second;
    int most_slots_in_use;
    int pickups_in_place;
};

// Ten game seconds of SPACE held beside the court's ten pick-ups.
Volley hold_space(Clock clock, float scale)
{
    Rate rate(clock, scale);
    press(KEY_SPACE);
    Volley v = {0, 0, 0};
    int shots = 0;
    while (rate.seconds() < 10) {
        double due = next_shot_time;
        rate.pass();
        shots += next_shot_time != due;
        int used = 0;
        for (const MapItem &it : map_items)
            used += it.present;
        v.most_slots_in_use = std::max(v.most_slots_in_use, used);
    }
    release_all_keys();
    v.arrows_per_second = shots / rate.seconds();
    for (int i = 0; i < item_count; i++) {
        if (item_placements[i].map != 901 || !item_placements[i].present)
            continue;
        for (const MapItem &it : map_items)
            if (it.present && it.type == item_placements[i].type && it.placement == i) {
                v.pickups_in_place++;
                break;
            }
    }
    return v;
}

// At 60 frames a second: a demon hurts on a third of its frames, arrows leave every third
// frame, and a flash halves every frame.
const int test_kinds[] = {1, 8, 15};
double expected_damage(int kind) { return monster_kinds[kind].damage * 60 / 3.0; }
const double expected_arrows = 20;
const double expected_fall = std::log2(255 / 8.0) / 60;

void expect_rules_per_game_second(Clock clock)
{
    ForgedWorld world(court_map);
    ASSERT_TRUE(world.forged);
    for (float scale : scales) {
        SCOPED_TRACE(std::string(clock_names[clock]) + " at time_scale " + std::to_string(scale));
        ASSERT_TRUE(world.enter_first_map());
        for (int kind : test_kinds) {
            double rate = contact_damage_rate(clock, scale, kind);
            EXPECT_NEAR(rate, expected_damage(kind), expected_damage(kind) * 0.1) << "kind " << kind;
        }

        ASSERT_TRUE(world.enter_first_map());
        double hurt, hit;
        flash_fall_times(clock, scale, &hurt, &hit);
        EXPECT_NEAR(hurt, expected_fall, expected_fall * 0.1) << "the hurt flash";
        EXPECT_NEAR(hit, expected_fall, expected_fall * 0.1) << "the monster's hit flash";

        ASSERT_TRUE(world.enter_first_map());
        Volley v = hold_space(clock, scale);
        EXPECT_NEAR(v.arrows_per_second, expected_arrows, expected_arrows * 0.1);
        EXPECT_EQ(v.most_slots_in_use, MAP_ITEM_SLOTS) << "the arrows used up every free slot";
        EXPECT_EQ(v.pickups_in_place, PICKUPS);
    }
}

}  // namespace

TEST(MainLoopRates, RulesHoldPerGameSecondWithAFixedTimeScale)
{
    expect_rules_per_game_second(FIXED);
}

TEST(MainLoopRates, RulesHoldPerGameSecondWithTheRateMeasured)
{
    expect_rules_per_game_second(MEASURED);
}

TEST(MainLoopRates, RulesHoldPerGameSecondWithAJitteringClock)
{
    expect_rules_per_game_second(JITTERING);
}

namespace {

bool world_band_is_fog(BITMAP *b)
{
    for (int y = hud_band_height + 4; y < screen_height - hud_band_height - 4; y += 8)
        for (int x = 4; x < screen_width; x += 8)
            if (getpixel(b, x, y) != fog_color)
                return false;
    return true;
}

// The segments of the health bar in a frame: runs of drawn pixels along the bar's middle row.
int health_bar_segments(BITMAP *frame)
{
    int runs = 0;
    for (int x = 30, before = 0; x < 360; x++) {
        int drawn = getpixel(frame, x, 24) != 0;
        runs += drawn && !before;
        before = drawn;
    }
    return runs;
}

}  // namespace

// Effects of the pass's order, each of which a swap of two steps would undo: the floor
// painter reads this pass's buckets (reset, transformed and sorted before it), the hero's
// flash fades before the demons set it, a trigger underfoot is followed in the pass that
// painted it, the new map's demons wait for the next pass, nothing of the old scene is
// drawn after a map change, the HUD lies over the world, and the frame is shown before
// the buffer is cleared.
TEST(MainLoopOrder, EachStepSeesWhatTheStepsBeforeItLeft)
{
    ForgedWorld world(field_map().c_str());
    ASSERT_TRUE(world.enter_first_map());
    fog_color = makecol(20, 30, 40);
    clear_to_color(back_buffer, fog_color);
    Rate rate(FIXED, 1);

    // The first pass after a map change: fresh scene, buckets empty until this pass sorts.
    float x0 = player_x;
    press(KEY_RIGHT);
    rate.pass();
    EXPECT_GT(player_x, x0) << "the floor painter found this pass's floor";

    // The frame on the screen: the world under the bands, the HUD's black band over it.
    EXPECT_FALSE(world_band_is_fog(screen)) << "the frame was shown before the buffer was cleared";
    EXPECT_EQ(getpixel(screen, screen_half_width, hud_band_height / 2 + 8), 0) << "the HUD covers the world";
    // ...where the world alone does reach.
    main_loop_pass(PICTURE_STEPS);
    EXPECT_NE(getpixel(back_buffer, screen_half_width, hud_band_height / 2 + 8), fog_color);
    clear_to_color(back_buffer, fog_color);

    // A demon at the hero's side bites: the flash is full when the HUD draws it.
    release_all_keys();
    Monster &m = lone_demon(1, 0.5f);
    rate.pass();
    EXPECT_EQ(hurt_flash, 255);
    m.health = 0;

    monsters[906][0].anim_time = 0;
    press(KEY_RIGHT);
    bool changed = false;
    for (int n = 0; n < 200 && !changed; n++) {
        rate.pass();
        changed = current_map == 906;
        bool trigger_underfoot = false;
        for (int a = -2; a <= 2; a++)
            for (int b = -2; b <= 2; b++)
                trigger_underfoot |= getpixel(kind_map, FLOOR_MAP_CENTER + a, FLOOR_MAP_CENTER + b) >= KIND_TRIGGER_BASE;
        EXPECT_FALSE(!changed && trigger_underfoot) << "a trigger painted underfoot is followed in the same pass";
    }
    ASSERT_TRUE(changed);
    EXPECT_TRUE(world_band_is_fog(screen)) << "nothing of the old scene is drawn after the change";
    EXPECT_EQ(monsters[906][0].anim_time, 0) << "the new map's demons wait for the next pass";
    release_all_keys();
    float ax = player_x, az = player_z;
    rate.pass();
    EXPECT_EQ(current_map, 906);
    EXPECT_EQ(player_x, ax);
    EXPECT_EQ(player_z, az);
    EXPECT_FALSE(world_band_is_fog(screen)) << "the next pass draws the new map";
    EXPECT_FLOAT_EQ(monsters[906][0].anim_time, 0.32f);
}

// The HUD goes over the world before the items move: a heart taken in a pass fills the bar
// in the next frame, and the frame of that pass shows the health it was drawn with.
TEST(MainLoopOrder, TheHudIsDrawnBeforeThePickUps)
{
    ForgedWorld world(field_map().c_str());
    ASSERT_TRUE(world.enter_first_map());
    Rate rate(FIXED, 1);
    player_health = 4;
    MapItem &heart = map_items[MAP_ITEM_SLOTS - 1];
    heart = MapItem();
    heart.present = 1;
    heart.type = ITEM_HEART;
    heart.placement = -1;
    heart.x = heart.target_x = player_x;
    heart.y = heart.target_y = player_y + 1.5f;
    heart.z = heart.target_z = player_z;
    rate.pass();
    EXPECT_EQ(player_health, 6);
    EXPECT_EQ(health_bar_segments(screen), 4) << "the frame was drawn before the heart was taken";
    rate.pass();
    EXPECT_EQ(health_bar_segments(screen), 6);
}

// The numbers the game's rules fix, each defined once in the game and read by the forge,
// the automated player and the view check: a change here changes what they judge too.
TEST(FixedNumbers, CarryTheRulesValues)
{
    EXPECT_EQ(std::vector<float>({STEP_PER_FRAME, CAMERA_EASE, ITEM_RISE, FLOOR_REACH, LEVEL_REACH, ARROW_HIT_BOX,
                                  CONTACT_REACH, ARROW_RANGE, PAINT_RADIUS}),
              std::vector<float>({0.16f, 0.09f, 1.5f, 1.5f, 0.5f, 1.2f, 1, 10, 5}));
    EXPECT_EQ(std::vector<double>({GAME_CLOCK_PER_FRAME, GAME_CLOCK_PER_SECOND, SHOT_INTERVAL, HEART_HEALTH_FACTOR}),
              std::vector<double>({0.001, 0.06, 0.003, 1.5}));
    EXPECT_EQ(std::vector<int>({TICK_INTERVAL, FRAMES_PER_TICK, FRAMES_PER_GAME_SECOND, KILL_HEAL_DIVISOR,
                                DEMON_SMALL_SIZE, DEMON_LARGE_SIZE, LAST_SMALL_DEMON, GAME_WIDTH, GAME_HEIGHT,
                                HUD_BAND_DIVISOR, HERO_DRAWN_SIZE, ITEM_DRAWN_SIZE, LAST_DEMON_KIND, MAPS_PER_GROUP,
                                INVENTORY_SLOT}),
              std::vector<int>({100, 6, 60, 2, 48, 72, 4, 640, 480, 5, 48, 16, 15, 100, 32}));
}
