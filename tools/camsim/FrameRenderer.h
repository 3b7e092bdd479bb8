#pragma once

#include <cstdint>
#include <string>

namespace camsim {

// Draws the simulator's live frames: colour bars, a moving band and ball, the frame number and
// the wall-clock time in seven-segment digits. No fonts are used, so rendering works in any thread
// and without a GUI application object.
class FrameRenderer
{
public:
    // A JPEG of frame `llNumber` at the given size; thread-safe. Empty when encoding fails.
    static std::string renderJpeg(std::uint64_t llNumber, int iWidth, int iHeight, int iQuality = 80);
};

} // namespace camsim
