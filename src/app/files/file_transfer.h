#pragma once
// One file moved or copied into a folder by a drop or the file mover, with
// the checks and messages both share, and the list successor both keep.

#include <optional>
#include <string>
#include <vector>

namespace lumeno {

enum class TTransferMode { Move = 1, Copy = 2 };

// Moves or copies Source to Destination without replacing anything. The
// message to show, or nothing on success: an existing destination, an
// empty (still written) or vanished source, or a failed transfer, which
// names ErrorName.
std::optional<std::string> TransferFile(const std::string& Source, const std::string& Destination,
                                        TTransferMode Mode, const std::string& ErrorName);

// The item to select after the selected ones go: the last unselected item
// before the first selected one, else the first unselected one after it;
// -1 when every item is selected.
int SuccessorIndex(const std::vector<bool>& Selected);

} // namespace lumeno
