// The automated player's report: what each pass did, and whether its counts agree with the game's.
#include "tools/autoplay/autoplay_mind.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <queue>
#include <set>
#include "game/monsters.h"
#include "game/player.h"
#include "game/scene.h"
#include "game/triggers.h"
#include "render/ordering.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"

using namespace autoplay_mind;

namespace autoplay_mind {

// The demon whose bite this pass took health: the nearest in contact on the hero's level.
int biting_kind()
{
    int kind = 0;
    float best = 1;
    for (int j = 0; j < current_monster_count(); j++) {
        const Monster &m = monsters[current_map][j];
        float d = std::sqrt((m.x - player_x) * (m.x - player_x) + (m.y - player_y) * (m.y - player_y) +
                            (m.z - player_z) * (m.z - player_z));
        if (m.health > 0 && d < best) {
            best = d;
            kind = m.kind;
        }
    }
    return kind;
}

// Where the demons come into and go out of view, for the map maker hunting empty stretches.
void note_view_change(bool in_view, double now)
{
    static bool was_in_view = false;
    static int was_map = -1;
    static double last_where = -1;
    if (autoplay_report.frames == 1) {  // a new game: its clock starts again
        was_in_view = false;
        was_map = -1;
        last_where = -1;
    }
    if (hand_log && now - last_where >= 0.5) {
        fprintf(hand_log, "where %.3f map %d at %.2f %.2f health %d\n", now * 1000, current_map, player_x, player_z,
                (int)player_health);
        last_where = now;
    }
    if (!hand_log || (in_view == was_in_view && current_map == was_map))
        return;
    int alive = 0;
    for (int j = 0; j < current_monster_count(); j++)
        alive += monsters[current_map][j].health > 0;
    fprintf(hand_log, "view %.3f %s map %d at %.2f %.2f alive %d\n", now * 1000, in_view ? "demon" : "none",
            current_map, player_x, player_z, alive);
    was_in_view = in_view;
    was_map = current_map;
}

}  // namespace autoplay_mind

void autoplay_note_pass()
{
    AutoplayReport &r = autoplay_report;
    r.frames++;
    double now = now_s();
    double dt = now - last_seconds;
    last_seconds = now;
    r.game_seconds = now;
    if (current_map != seen_map) {
        r.maps_visited.push_back(current_map);
        entered_at = r.frames;
        entered_time = now;
    } else {
        for (int j = 0; j < monster_counts[current_map]; j++) {
            const Monster &m = monsters[current_map][j];
            if (seen_health[j] > 0 && m.health <= 0 && m.kind >= 0 && m.kind < MONSTER_KINDS)
                r.kills_by_kind[m.kind]++;
        }
    }
    bool demon_in_view = false;
    for (int j = 0; j < current_monster_count() && !demon_in_view; j++)
        demon_in_view = in_world_band(monsters[current_map][j]);
    note_view_change(demon_in_view, now);
    if (demon_in_view || r.frames == 1)
        last_demon_in_view = now;
    else {
        double gap = now - last_demon_in_view;
        if (gap > r.longest_without_demon) {
            r.longest_without_demon = gap;
            r.longest_without_demon_map = current_map;
        }
        MapPlay &here = r.maps[current_map];
        here.without_demon = std::max(here.without_demon, gap);
    }
    // The pass's time and damage go to the map it was played on.
    int played_on = seen_map >= 0 ? seen_map : current_map;
    r.maps[played_on].seconds += dt;
    for (int i = 0; i < item_count; i++)
        if (seen_present[i] && !item_placements[i].present && item_placements[i].type >= 0 &&
            item_placements[i].type < ARROW_TYPE_BASE)
            r.items_collected[item_placements[i].type]++;
    bool won_now = closing_screen_shown == CLOSING_VICTORY;
    if (player_health < seen_player_health && !won_now) {
        r.damage_taken += seen_player_health - player_health;
        r.maps[played_on].damage += seen_player_health - player_health;
        last_bite_kind = biting_kind();
    }
    if (!won_now)
        r.health_tally += player_health - seen_player_health;
    else
        last_health_before = seen_player_health;
    if (player_health < 1 && !won_now && seen_player_health >= 1) {
        r.maps[current_map].deaths++;
        r.deaths.push_back(AutoplayDeath{current_map, player_x, player_z, last_bite_kind, now - entered_time});
    }
    if (next_shot_time != seen_shot_time)
        r.arrows_shot++;  // every arrow sets a new cooldown
    seen_shot_time = next_shot_time;
    if (novice())
        record_sight();

    // A picture two game seconds after the hero first came to the map.
    if (!autoplay_shots_dir.empty() && now - entered_time >= 2 - 1e-9 && !photographed.count(current_map)) {
        photographed.insert(current_map);
        std::string path = autoplay_shots_dir + "/map" + std::to_string(current_map) + ".bmp";
        if (save_bitmap(path.c_str(), screen, palette) != 0)
            fprintf(stderr, "%s: cannot be written\n", path.c_str());
    }
    seen_map = current_map;
    for (int j = 0; j < MONSTERS_PER_MAP; j++)
        seen_health[j] = monsters[current_map][j].health;
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        seen_present[i] = item_placements[i].present;
    seen_player_health = player_health;
}

bool autoplay_counts_agree(std::string *problem)
{
    const AutoplayReport &r = autoplay_report;
    long kills = start_kills;
    for (int k = 0; k < MONSTER_KINDS; k++)
        kills += r.kills_by_kind[k];
    if (kills != monsters_killed) {
        *problem = "the report counts " + std::to_string(kills) + " kills, the game " + std::to_string(monsters_killed);
        return false;
    }
    int items = start_items, taken = 0;
    for (int t = 0; t < ARROW_TYPE_BASE; t++)
        items += r.items_collected[t];
    for (int i = 0; i < item_count; i++)
        taken += !item_placements[i].present;
    if (items != taken) {
        *problem = "the report counts " + std::to_string(items) + " items, the game " + std::to_string(taken);
        return false;
    }
    for (int t = 1; t < ARROW_TYPE_BASE; t++)
        if (r.items_collected[t] && inventory[t] != 1) {
            *problem = "the report took item type " + std::to_string(t) + ", the game's inventory lacks it";
            return false;
        }
    // The victory screen sets the health to 0 itself; before it the tally must match.
    long game_health = r.result == "victory" ? last_health_before : player_health;
    if (r.health_tally != game_health) {
        *problem = "the report tallies health " + std::to_string(r.health_tally) + ", the game has " +
                   std::to_string(game_health);
        return false;
    }
    return true;
}

void print_autoplay_report(FILE *out)
{
    const AutoplayReport &r = autoplay_report;
    fprintf(out, "result: %s after %.2f game minutes (%ld passes)\n", r.result.c_str(), r.game_seconds / 60,
            r.frames);
    fprintf(out, "player: %s", autoplay_skill == SKILL_NOVICE ? "novice" : "expert");
    if (autoplay_rate > 0)
        fprintf(out, ", rate measured at time_scale %g (%g frames a second)\n", autoplay_rate, 60 / autoplay_rate);
    else
        fprintf(out, ", time_scale fixed at 1\n");
    fprintf(out, "maps visited:");
    for (int m : r.maps_visited)
        fprintf(out, " %d", m);
    fprintf(out, "\nkills by kind:");
    int kills = 0;
    for (int k = 1; k < MONSTER_KINDS; k++) {
        fprintf(out, " %d:%d", k, r.kills_by_kind[k]);
        kills += r.kills_by_kind[k];
    }
    fprintf(out, "  (%d of %d; the game counts %d)\n", kills + (int)start_kills, monster_total, monsters_killed);
    // The victory screen sets the health to 0: the end's is the health before the winning pass.
    fprintf(out, "damage taken: %ld; health at the end: %d\n", r.damage_taken,
            r.result == "victory" ? (int)last_health_before : player_health);
    static const char *names[ARROW_TYPE_BASE] = {"hearts", "key1", "key2", "key3", "key4",
                                                 "key5", "gem1", "gem2", "gem3", "gem4"};
    fprintf(out, "items collected:");
    for (int t = 0; t < ARROW_TYPE_BASE; t++)
        if (r.items_collected[t])
            fprintf(out, " %s:%d", names[t], r.items_collected[t]);
    fprintf(out, "\narrows shot: %d\n", r.arrows_shot);
    for (const auto &m : r.maps)
        fprintf(out, "map %d: %.1f game seconds, damage %ld, deaths %d, at most %.1f game seconds without a demon in view\n",
                m.first, m.second.seconds, m.second.damage, m.second.deaths, m.second.without_demon);
    for (const AutoplayDeath &d : r.deaths)
        fprintf(out, "death: map %d at x %.1f z %.1f, bitten by kind %d, %.1f game seconds after entering it\n", d.map,
                d.x, d.z, d.kind, d.after);
    // A game cut off with demons alive says where they are: the first thing to look at when
    // the player (or a map) leaves one it cannot reach.
    if (r.result == "out of time")
        for (int map = 0; map < MAP_NUMBERS; map++)
            for (int s = 0; s < monster_counts[map] && s < MONSTERS_PER_MAP; s++) {
                const Monster &m = monsters[map][s];
                if (m.health > 0)
                    fprintf(out, "alive: map %d slot %d, kind %d, health %d, at x %.2f y %.2f z %.2f\n", map, s,
                            m.kind, m.health, m.x, m.y, m.z);
            }
    fprintf(out, "demons in view: at most %.1f game seconds without one, ending on map %d\n", r.longest_without_demon,
            r.longest_without_demon_map);
    fprintf(out, "hands: %ld key-set changes, at most %d in a game second, shortest hold %.0f ms\n", r.key_changes,
            r.most_changes_in_a_second, r.shortest_hold * 1000);
    if (autoplay_skill == SKILL_NOVICE)
        fprintf(out, "sight: demons seen as they were %.0f to %.0f ms of game time earlier\n", r.youngest_sight * 1000,
                r.oldest_sight * 1000);
    std::string problem;
    if (autoplay_counts_agree(&problem))
        fprintf(out, "counts: the report agrees with the game (kills, items, health)\n");
    else
        fprintf(out, "counts: DISAGREE: %s\n", problem.c_str());
}
