// A forged two-map world played through the main loop: the renderer's buckets feed the
// floor maps, the hero climbs a step, collects a heart and leaves by a trigger.
#include "game/items.h"
#include "game/monsters.h"
#include "game/triggers.h"
#include "render/camera.h"
#include "render/transform.h"
#include "tests/gameplay_scene.h"
#include "tools/forge/campaign.h"
#include "tools/forge/mapbuild.h"
#include "world/mapfile.h"
#include "world/tables.h"

namespace {

const char *start_map = R"(map 901
cell # wall 2.2 wall
cell . grass 0
cell h grass 1.4
cell x grass 0 kind=7
cell S grass 0 spot=start
cell G gemgate 0 kind=8
cell E trigger 0 exit=906:start
cell r grass 0 spot=back
grid
#########
#S.h....#
#...............x#
#..G.r..#
#......E#
#########
end
item heart 5 1
monsters 1
)";

}  // namespace

typedef GameplayTest Play;

TEST_F(Play, WalksClimbsCollectsAndLeavesByTheTrigger)
{
    ForgedWorld world(start_map);
    ASSERT_TRUE(world.enter_first_map());  // its demon dead: a quiet walk
    player_health = 8;
    Rate rate(FIXED, 1);

    Campaign campaign;
    std::string error;
    ASSERT_TRUE(load_campaign_sources(world.dir.path() + "/maps", campaign, error)) << error;
    float ex, ey, ez;
    cell_center(*find_map(campaign, 901), 7, 4, &ex, &ey, &ez);

    float highest = player_y;
    press(KEY_RIGHT);
    for (int frame = 0; frame < 200 && player_x < ex; frame++) {
        rate.pass();
        highest = std::max(highest, player_y);
    }
    EXPECT_NEAR(highest, 1.4f, 1.0f / 256) << "up the step";
    EXPECT_NEAR(player_y, 0, 1.0f / 256) << "and down again";
    EXPECT_GE(player_x, ex) << "the wall at the end of the row did not stop him early";
    EXPECT_EQ(inventory[ITEM_HEART], 1);
    EXPECT_EQ(player_health, 12);

    release_all_keys();
    press(KEY_DOWN);
    for (int frame = 0; frame < 200 && current_map == 901; frame++)
        rate.pass();
    ASSERT_EQ(current_map, 906);
    float sx, sy, sz;
    cell_center(*find_map(campaign, 906), 1, 1, &sx, &sy, &sz);
    EXPECT_FLOAT_EQ(player_x, sx);
    EXPECT_FLOAT_EQ(player_z, sz);
    EXPECT_EQ(camera_x, player_x);

    // Down from the start of 906 lies the way back; the heart does not come back.
    for (int frame = 0; frame < 200 && current_map == 906; frame++)
        rate.pass();
    ASSERT_EQ(current_map, 901);
    cell_center(*find_map(campaign, 901), 5, 3, &sx, &sy, &sz);
    EXPECT_FLOAT_EQ(player_x, sx);
    EXPECT_FLOAT_EQ(player_z, sz);
    for (const MapItem &it : map_items)
        EXPECT_EQ(it.present, 0);
    EXPECT_EQ(monsters[901][0].health, 0);
}
