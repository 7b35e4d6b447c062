#pragma once
// One file moved or copied into a folder by a drop or the file mover, with
// the checks and messages both share.

#include <optional>
#include <string>

namespace lumeno {

enum class TTransferMode { Move = 1, Copy = 2 };

// Moves or copies Source to Destination without replacing anything. The
// message to show, or nothing on success: an existing destination, an
// empty (still written) or vanished source, a source that changed during
// the copy of a move, or a failed transfer, which names ErrorName.
std::optional<std::string> TransferFile(const std::string& Source, const std::string& Destination,
                                        TTransferMode Mode, const std::string& ErrorName);

} // namespace lumeno
