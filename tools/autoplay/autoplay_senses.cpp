// The automated player's senses: its eyes (which demons it knows of, and the danger they
// make) and its hands (the keys it holds). The novice's handicaps live here: what it sees
// is a frame at least SIGHT_DELAY old, and its hands change at most every CHANGE_SPACING.
#include "tools/autoplay/autoplay_mind.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "screens/assets.h"

namespace autoplay_mind {

// ---- the eyes ----

bool novice() { return autoplay_skill == SKILL_NOVICE; }

// Monsters move and bite only on the hero's level.
bool demon_active(const Demon &d) { return std::fabs(d.y - player_y) < LEVEL_REACH; }

Demon demon_of(int j)
{
    const Monster &m = monsters[current_map][j];
    return Demon{j, m.x, m.y, m.z, m.kind, m.step_x, m.step_z, now_s()};
}

// Whether a living demon's sprite lay in the world band of the frame just shown.
bool in_world_band(const Monster &m)
{
    if (m.health < 1 || !(m.sprite_scale > 0))
        return false;
    int base = demon_drawn_size(m.kind);
    float size = base * m.sprite_scale;
    float top = m.screen_y - (base - DEMON_SMALL_SIZE) * m.sprite_scale;
    return m.screen_x + size > 0 && m.screen_x < screen_width && top < screen_height - hud_band_height &&
           m.screen_y + DEMON_SMALL_SIZE * m.sprite_scale > hud_band_height;
}

void record_sight()
{
    Sight s{now_s(), current_map, {}};
    for (int j = 0; j < current_monster_count(); j++)
        if (in_world_band(monsters[current_map][j]))
            s.in_band.push_back(demon_of(j));
    sights.push_back(s);
}

void note_sight_age(double age)
{
    AutoplayReport &r = autoplay_report;
    if (r.youngest_sight < 0 || age < r.youngest_sight)
        r.youngest_sight = age;
    if (age > r.oldest_sight)
        r.oldest_sight = age;
    if (hand_log)
        fprintf(hand_log, "sight %.3f %.3f\n", now_s() * 1000, age * 1000);
}

// This think's demons. The expert reads the monster table; the novice looks at the newest
// frame old enough, and remembers what it saw there for a while.
void look()
{
    demons.clear();
    known.clear();
    if (!novice()) {
        for (int j = 0; j < current_monster_count(); j++)
            if (monsters[current_map][j].health > 0)
                demons.push_back(demon_of(j));
        known = demons;
        return;
    }
    double now = now_s();
    while (sights.size() > 1 && sights[1].t <= now - SIGHT_DELAY + 1e-9)
        sights.pop_front();
    if (memory_map != current_map) {
        memory.clear();
        memory_map = current_map;
    }
    if (!sights.empty() && sights.front().t <= now - SIGHT_DELAY + 1e-9) {
        const Sight &s = sights.front();
        note_sight_age(now - s.t);
        if (s.map == current_map) {
            demons = s.in_band;
            for (const Demon &d : demons)
                memory[d.j] = d;
            // What should be in sight and is not has gone (dead, or walked off).
            for (auto it = memory.begin(); it != memory.end();) {
                bool seen = it->second.seen == s.t;
                bool stale = now - it->second.seen > FORGET_AFTER ||
                             (!seen && std::hypot(it->second.x - player_x, it->second.z - player_z) < 3);
                it = stale ? memory.erase(it) : std::next(it);
            }
        }
    }
    for (const auto &e : memory)
        known.push_back(e.second);
}

float demon_distance(const Demon &d, float x, float z) { return std::hypot(d.x - x, d.z - z); }

void measure_danger()
{
    danger.assign(walk.height.size(), 0);
    for (const Demon &m : demons) {
        // Fast demons get a wider berth.
        float speed = monster_kind_speed(m.kind);
        float soft = 2.6f + speed;
        int ci = (int)std::floor((m.x - walk.x0) * RES), cj = (int)std::floor((m.z - walk.z0) * RES);
        int r = (int)std::ceil(soft * RES) + 1;
        for (int j2 = std::max(0, cj - r); j2 <= std::min(walk.h - 1, cj + r); j2++)
            for (int i2 = std::max(0, ci - r); i2 <= std::min(walk.w - 1, ci + r); i2++) {
                int node = j2 * walk.w + i2;
                // A demon wakes only for a hero on its own level: judge each place by its height,
                // not by where the hero happens to stand now.
                if (!has_floor(node) || std::fabs(walk.height[node] - m.y) >= LEVEL_REACH)
                    continue;
                float d = std::hypot(node_x(node) - m.x, node_z(node) - m.z);
                if (d < 1.3f)
                    danger[node] += 400;
                else if (d < soft)
                    danger[node] += (soft - d) * 12;
            }
    }
}

// ---- the hands ----

void log_keys(double now)
{
    if (!hand_log)
        return;
    char set[6];
    int n = 0;
    for (int k = 0; k < 5; k++)
        if (held[k])
            set[n++] = hand_names[k];
    set[n] = 0;
    fprintf(hand_log, "keys %.3f %s\n", now * 1000, n ? set : "-");
}

// The brain has written the keys it wants into key[]; the hands hold them, the novice's
// no sooner than CHANGE_SPACING after its last change (so never more than five changes a
// game second, and every key held at least that long).
void move_hands()
{
    bool want[5];
    bool same = true;
    for (int k = 0; k < 5; k++) {
        want[k] = key[hand_keys[k]] != 0;
        same = same && want[k] == held[k];
    }
    double now = now_s();
    if (!same && novice() && now - last_change < CHANGE_SPACING)
        same = true, std::copy(held, held + 5, want);
    if (!same) {
        AutoplayReport &r = autoplay_report;
        for (int k = 0; k < 5; k++) {
            if (held[k] && !want[k]) {
                double hold = now - pressed_at[k];
                if (r.shortest_hold < 0 || hold < r.shortest_hold)
                    r.shortest_hold = hold;
            }
            if (want[k] && !held[k])
                pressed_at[k] = now;
            held[k] = want[k];
        }
        last_change = now;
        r.key_changes++;
        recent_changes.push_back(now);
        while (!recent_changes.empty() && recent_changes.front() <= now - 1.0 + 1e-9)
            recent_changes.pop_front();
        r.most_changes_in_a_second = std::max(r.most_changes_in_a_second, (int)recent_changes.size());
        log_keys(now);
    }
    for (int k = 0; k < 5; k++)
        key[hand_keys[k]] = held[k];
}

}  // namespace autoplay_mind
