#include "render/BlendTables.h"
#include <algorithm>
#include <cmath>

namespace {
CBlendTables MakeTables() {
    CBlendTables t{};
    for (int r = 0; r < 256; ++r) {
        for (int i = 0; i < 256; ++i) {
            t.mul[r][i] = static_cast<uint8_t>(r * i / 255);
            t.screen[r][i] = static_cast<uint8_t>(r + (255 - r) * i / 255);
            if (r == 0 && i == 0) {
                t.weight[r][i] = 0;
            } else {
                const double rd = r, id = i;
                const double w = 255.0 * id / (rd + id - rd * id / 255.0);
                t.weight[r][i] = static_cast<uint8_t>(std::min(255.0, std::trunc(w)));
            }
        }
    }
    return t;
}
} // namespace

const CBlendTables& CBlendTables::Get() {
    static const CBlendTables tables = MakeTables();
    return tables;
}
