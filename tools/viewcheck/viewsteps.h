// The steps of a map as the player sees them: how far the rim of every raised top stands out
// from what shows across its edge, read from frames the game's renderer drew.
#pragma once

#include <allegro.h>
#include <string>
#include <vector>

#include "tools/forge/campaign.h"
#include "tools/forge/mapedges.h"
#include "tools/forge/mapfaces.h"

class StepMeter {
public:
    // The map's scene must be built; the meter keeps its own picture of which face drew
    // every pixel.
    StepMeter(const Campaign &c, const MapSource &m);
    ~StepMeter();
    StepMeter(const StepMeter &) = delete;
    StepMeter &operator=(const StepMeter &) = delete;

    // Reads every step in view: `frame` is the world band as the camera now sees it, drawn
    // without the hero.
    void read(BITMAP *frame);

    int steps() const { return (int)edges_.size(); }
    int steps_seen() const;
    // The step that read weakest on average over the frames that saw it, and that average;
    // -1 when none was seen.
    float weakest(HeightEdge *which) const;
    // "column C row R of the grid, toward the north" for a failure message.
    std::string describe(const HeightEdge &e) const;

private:
    void paint_owners();
    bool sample(float x, float y, float dx, float dy, int top, bool rim, BITMAP *frame, float *luminance);

    const MapSource &map_;
    std::vector<Face> faces_;
    std::vector<int> owner_;     // scene triangle -> face
    std::vector<HeightEdge> edges_;
    std::vector<int> top_face_;  // per step, the face of its higher top
    std::vector<double> sum_;
    std::vector<int> count_;
    BITMAP *owners_ = nullptr;   // per pixel, 1 + the scene triangle drawn there last
};
