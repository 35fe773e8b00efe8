#pragma once
// One point of the golden-angle spiral, and the field of all live seeds in birth order.
#include "engine/color_palette.h"
#include "engine/growable_array.h"

#include <cstdint>

class Seed {
public:
    // Back to the centre at age 0; the angle and the colour stay.
    void reset();
    void setAngle(double newAngle);
    void setColor(ColorRGB color);
    // Only for rebuilding a field as it stands at a known frame: the next advance gives age + 1.
    void setAge(int32_t newAge) { age_ = newAge; }
    // Ages by one and recomputes the position from age and angle alone, so nothing drifts.
    // The cosine and sine of the angle are those of setAngle: the angle never changes after it.
    void advance(double step, int32_t scaleX, int32_t scaleY);
    // One GL point in the seed's colour.
    void draw() const;
    double x() const { return x_; }
    double y() const { return y_; }
    double z() const { return z_; }
    double angle() const { return angle_; }
    int32_t age() const { return age_; }
    ColorRGB color() const { return {red_, green_, blue_}; }

private:
    double angle_;  // radians, never reduced modulo a full turn
    float red_;
    float green_;
    float blue_;
    int32_t age_;  // advances so far
    double x_;     // view units, 0 at the centre, positive to the right
    double y_;     // positive up
    double z_;     // always 0
    double cosine_;  // of angle_, kept so that no frame computes it again
    double sine_;
};

// Oldest seed first; a removal anywhere keeps the order of the rest.
using SeedField = GrowableArray<Seed>;

// The process-wide field and the turn between successive seeds (defined in engine_state.cpp).
extern SeedField seedField;
extern const double goldenAngle;
