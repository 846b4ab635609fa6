// The novice walks like a person: where he aims is a little off, the same way for the
// same seed, and he walks up to the walls instead of keeping the expert's margin.
#include <cmath>
#include <utility>
#include <vector>

#include "tests/gameplay_scene.h"
#include "tools/autoplay/autoplay.h"
#include "tools/autoplay/autoplay_mind.h"

using namespace autoplay_mind;

namespace {

typedef std::vector<std::pair<float, float>> Aims;

Aims aims(unsigned seed, int n)
{
    seed_novice_aim(seed);
    Aims out(n);
    for (auto &d : out)
        novice_aim_offset(&d.first, &d.second);
    return out;
}

// An 8 x 4 field with a trigger floor at its east end; the walk map and paths from (x, z).
void field_with_exit(int skill, float x, float z)
{
    autoplay_skill = skill;
    empty_scene();
    add_floor(-4, -2, 3, 2, 0);
    add_floor(3, -2, 4, 2, 0, KIND_TRIGGER_BASE + 5);
    player_x = x;
    player_z = z;
    autoplay_begin();
    build_walk_map();
    demons.clear();
    measure_danger();
    find_paths(-1);
}

// The arrows walk_toward presses for the hero standing on the middle of `goal`.
int keys_at(int goal)
{
    release_keys();
    walk_toward(goal);
    return key[KEY_LEFT] | key[KEY_RIGHT] << 1 | key[KEY_UP] << 2 | key[KEY_DOWN] << 3;
}

}  // namespace

TEST(NoviceAim, OffsetsFillTheDiscAndRepeatForASeed)
{
    Aims a = aims(8, 4000);
    float widest = 0, mean = 0;
    int quarter[4] = {};
    for (auto &d : a) {
        float r = std::hypot(d.first, d.second);
        EXPECT_LE(r, NOVICE_AIM + 1e-6f);
        widest = std::max(widest, r);
        mean += r / a.size();
        quarter[(d.first > 0) + 2 * (d.second > 0)]++;
    }
    EXPECT_GT(widest, 0.29f);
    EXPECT_NEAR(mean, NOVICE_AIM * 2 / 3, 0.01f);  // even over the disc
    for (int q : quarter)
        EXPECT_GT(q, 900);
    EXPECT_TRUE(aims(8, 100) == Aims(a.begin(), a.begin() + 100));
    // Nor does another seed's stream, even one apart and a draw behind.
    Aims other = aims(13, 100), next = aims(9, 100);
    for (int i = 0; i < 99; i++) {
        EXPECT_NE(other[i], a[i]) << i;
        EXPECT_NE(next[i], a[i + 1]) << i;
    }
}

typedef GameplayTest NoviceWalk;

// Four units east of his goal, he aims three nodes along his path and a little aside; on
// the last stretch, at his goal, he stops.
TEST_F(NoviceWalk, AimsALittleAsideOfHisPathButNotAtHisGoal)
{
    unsigned kept = autoplay_seed;
    int aside = 0;
    for (unsigned seed = 1; seed <= 24; seed++) {
        autoplay_seed = seed;
        field_with_exit(SKILL_EXPERT, -2.875f, 0.125f);
        int goal = node_at(1.125f, 0.125f);
        EXPECT_EQ(keys_at(goal), 2) << "the expert walks straight east";

        std::pair<float, float> d = aims(seed, 1)[0];
        field_with_exit(SKILL_NOVICE, -2.875f, 0.125f);
        const float dead = WALK_DEAD_ZONE;
        int want = 2 | (d.second < -dead) << 2 | (d.second > dead) << 3;
        EXPECT_EQ(keys_at(goal), want) << "seed " << seed << ": aimed " << d.first << " " << d.second << " off";
        aside += want != 2;

        field_with_exit(SKILL_NOVICE, 1.125f, 0.125f);
        EXPECT_EQ(keys_at(goal), 0) << "seed " << seed << ": at his goal";
    }
    EXPECT_GE(aside, 12) << "most aims lie beyond the dead zone";
    autoplay_skill = SKILL_EXPERT;
    autoplay_seed = kept;
}

TEST_F(NoviceWalk, WalksAlongTheEdgeWhereTheExpertKeepsOff)
{
    // Eight steps north to the field's edge; the expert pays his margin for the last.
    float cost[2];
    for (int skill : {SKILL_EXPERT, SKILL_NOVICE}) {
        field_with_exit(skill, -2.875f, 0.125f);
        int edge = node_at(-2.875f, -1.875f);
        ASSERT_TRUE(walk.edge[edge]);
        cost[skill == SKILL_NOVICE] = cost_to[edge];
    }
    autoplay_skill = SKILL_EXPERT;
    EXPECT_FLOAT_EQ(cost[1], 8);
    EXPECT_FLOAT_EQ(cost[0], 8 + 3);
}
