#pragma once
// The numeric conventions of the original arithmetic: "extended" is long
// double, Round goes half to even, Trunc and div truncate, mod keeps the
// dividend's sign (C++ integer / and % already do the last two).

#include <cmath>
#include <cstdint>

namespace lumeno {

using Extended = long double;

inline std::int64_t Round(Extended x) { return static_cast<std::int64_t>(std::nearbyintl(x)); }
inline std::int64_t Trunc(Extended x) { return static_cast<std::int64_t>(x); }

} // namespace lumeno
