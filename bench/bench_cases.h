#pragma once
// The cases every frame benchmark measures on the same settled field: the frame itself and the two
// floors it is compared with.
#include <cstdint>
#include <vector>

constexpr uint32_t BenchSize = 3;
constexpr int32_t BenchWidth = 1024;
constexpr int32_t BenchHeight = 768;

// Settles the field at density, sets up the saver's view for the bench surface and a Cycle scheme.
void PrepareSteadyState(uint32_t density);

// The engine's frame: clear, grow, advance and draw every seed, prune, glFinish.
void DrawSteadyFrame(uint32_t density);

// The arithmetic of the advance alone over the field as it stands: square root, cosine and sine.
double CpuFloor(uint32_t density);

// The field's points as they stand, drawn without any engine work: draw() from one client vertex array
// with a single draw call, drawEachPoint() with the frame's own calls (a colour and a begin, vertex and
// end a seed), each after the clear and the point size and before glFinish.
class GlFloor {
public:
    void capture();  // copies positions and colours out of the field
    void draw() const;
    void drawEachPoint() const;
    uint32_t points() const { return static_cast<uint32_t>(colors_.size() / 3); }

private:
    std::vector<double> positions_;
    std::vector<float> colors_;
};
