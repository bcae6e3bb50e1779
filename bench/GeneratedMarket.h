#pragma once

#include <cstddef>
#include <string>

namespace strikeline::bench {

// The data folder of a generated market (2010-06-24, seed 1) at a scale, written once per
// run into a temporary folder.
struct CGeneratedFolder {
    std::string folder;
    std::string callPath;
    std::size_t callBytes = 0;
    std::size_t callSeries = 0;
};

const CGeneratedFolder& GeneratedFolder(int scale);

} // namespace strikeline::bench
