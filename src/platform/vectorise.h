#pragma once
// Per-function optimisation options for hot loops. Only GCC has them; other
// compilers (clang builds the fuzz targets) take the function as it is.

#if defined(__GNUC__) && !defined(__clang__)
#define LUMENO_OPTIMIZE(...) __attribute__((optimize(__VA_ARGS__)))
#else
#define LUMENO_OPTIMIZE(...)
#endif
