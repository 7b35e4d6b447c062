#include "imagelib/pg_globals.h"

namespace lumeno {

Extended DefaultGamma = 1.8L;
bool BMPExpand16Bit = true;

} // namespace lumeno
