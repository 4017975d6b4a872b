// A picture of part of the screen in root pixels, as the window system hands
// it over: 32 bits a pixel, blue first in memory, the top byte unused.
#pragma once

#include <memory>

namespace seam {

struct RootPixels {
    unsigned char* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;              // bytes a row
    std::shared_ptr<void> keep;  // holds data alive
};

}  // namespace seam
