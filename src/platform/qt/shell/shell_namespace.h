#pragma once
// The shell namespace over the file system: a virtual Desktop holding the
// home folder, the Computer (mount points, Control Panel, Printers), the
// trash, the user's XDG folders and Network. Items are addressed by item-id
// lists whose items carry a kind byte and a UTF-8 payload.

#include "platform/exception.h"
#include "platform/qt/shell/item_id_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumeno {

class TShellContextMenu;

// Attribute bits.
constexpr std::uint32_t saCanCopy = 0x00000001;
constexpr std::uint32_t saCanMove = 0x00000002;
constexpr std::uint32_t saCanLink = 0x00000004;
constexpr std::uint32_t saCanRename = 0x00000010;
constexpr std::uint32_t saCanDelete = 0x00000020;
constexpr std::uint32_t saHasPropSheet = 0x00000040;
constexpr std::uint32_t saDropTarget = 0x00000100;
constexpr std::uint32_t saLink = 0x00010000;
constexpr std::uint32_t saShare = 0x00020000;
constexpr std::uint32_t saReadOnly = 0x00040000;
constexpr std::uint32_t saHidden = 0x00080000;
constexpr std::uint32_t saFileSysAncestor = 0x10000000;
constexpr std::uint32_t saFolder = 0x20000000;
constexpr std::uint32_t saFileSystem = 0x40000000;
constexpr std::uint32_t saHasSubfolder = 0x80000000;

// Enumeration flags.
constexpr unsigned enFolders = 0x20;
constexpr unsigned enNonFolders = 0x40;
constexpr unsigned enIncludeHidden = 0x80;

// Display-name flags.
constexpr unsigned dnNormal = 0x0000;
constexpr unsigned dnInFolder = 0x0001;
constexpr unsigned dnForParsing = 0x8000;

// Special folder numbers.
constexpr int sfDesktop = 0x00;
constexpr int sfPrograms = 0x02;
constexpr int sfControls = 0x03;
constexpr int sfPrinters = 0x04;
constexpr int sfPersonal = 0x05;
constexpr int sfFavorites = 0x06;
constexpr int sfStartup = 0x07;
constexpr int sfRecent = 0x08;
constexpr int sfSendTo = 0x09;
constexpr int sfBitBucket = 0x0A;
constexpr int sfStartMenu = 0x0B;
constexpr int sfDesktopDirectory = 0x10;
constexpr int sfDrives = 0x11;
constexpr int sfNetwork = 0x12;
constexpr int sfNetHood = 0x13;
constexpr int sfFonts = 0x14;
constexpr int sfTemplates = 0x15;

// A name as a folder hands it out: converted text, or text inside the item.
struct TStrRet {
    enum TType { srWide, srOffset, srText };
    TType Type = srText;
    std::u16string Wide;
    unsigned Offset = 0;
    std::string Text;
};

class TEnumIdList {
public:
    virtual ~TEnumIdList() = default;
    // The next item as a new one-item list; nullptr at the end.
    virtual PItemIdList Next() = 0;
};

class TShellFolder : public std::enable_shared_from_this<TShellFolder> {
public:
    virtual ~TShellFolder() = default;
    // nullptr when the folder cannot be read.
    virtual std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) = 0;
    // item may hold several items (a path below this folder).
    std::uint32_t GetAttributesOf(PCItemIdList item, std::uint32_t mask);
    bool GetDisplayNameOf(PCItemIdList item, unsigned flags, TStrRet& name);
    // <0, 0, >0 like strcmp; column 0 is the name.
    int CompareIDs(int column, PCItemIdList a, PCItemIdList b);
    // nullptr when the item is no folder or cannot be opened.
    std::shared_ptr<TShellFolder> BindToObject(PCItemIdList item);
    // A new list relative to this folder; nullptr when the name names nothing.
    virtual PItemIdList ParseDisplayName(const std::string& name) = 0;
    // Renames one item; the new relative item, or nullptr with error set.
    virtual PItemIdList SetNameOf(PCItemIdList item, const std::string& newName, unsigned flags,
                                  std::string& error);
    // The menu object of items of this folder; nullptr when none.
    std::unique_ptr<TShellContextMenu> GetUIObjectOf(const std::vector<PCItemIdList>& items);
    // The folder's own absolute list (from the Desktop).
    PCItemIdList AbsoluteList() const { return absolute_.get(); }

protected:
    explicit TShellFolder(PCItemIdList absolute);
    virtual std::uint32_t ItemAttributes(PCItemIdList item, std::uint32_t mask) = 0;
    virtual bool ItemDisplayName(PCItemIdList item, unsigned flags, TStrRet& name) = 0;
    virtual std::shared_ptr<TShellFolder> BindToItem(PCItemIdList item) = 0;
    // Compares two single items of this folder.
    virtual int CompareItems(PCItemIdList a, PCItemIdList b) = 0;

private:
    // The folder holding the last item of a multi-item list, and that item.
    std::shared_ptr<TShellFolder> FolderOfLast(PCItemIdList item, PCItemIdList& last);
    TOwnedIdList absolute_;
};

// Where the namespace finds its folders; tests put their own in place.
struct TNamespaceRoots {
    std::string Home;
    std::string TrashFiles; // the freedesktop trash's files folder
    struct TMount {
        std::string Path;
        std::string Name;
    };
    std::vector<TMount> Mounts;           // "/" first
    std::vector<std::string> UserFolders; // shown on the Desktop
    std::string DesktopDir, Documents, Templates, Fonts, Applications, Autostart;
};

TNamespaceRoots SystemNamespaceRoots();
const TNamespaceRoots& NamespaceRoots();
void SetNamespaceRoots(const TNamespaceRoots& roots);

std::shared_ptr<TShellFolder> GetDesktopFolder();
// A new absolute list, nullptr for an unknown number.
PItemIdList GetSpecialFolderLocation(int folder);
// The file-system path of an absolute list; "" for virtual items.
std::string GetPathFromIdList(PCItemIdList absolute);

// Whether the entry name of dir, of readdir's type, is a folder the tree
// shows: a link to a folder counts unless it leads back up.
bool IsFolderEntry(const std::string& dir, const char* name, unsigned char type);
// Whether dir holds such a folder; reads only up to the first one.
bool HasSubfolder(const std::string& dir);

// Kind bytes of the items.
enum TItemKind : std::uint8_t {
    ikHome = 'H',
    ikComputer = 'C',
    ikTrash = 'T',
    ikUserFolder = 'X', // payload: full path
    ikVirtual = 'V',    // payload: name of an empty virtual folder
    ikMount = 'M',      // payload: mount path
    ikEntryFolder = 'D',
    ikEntryFile = 'F',
};

// One item with the kind and payload, as a new list.
PItemIdList MakeItem(std::uint8_t kind, const std::string& payload);
std::uint8_t ItemKind(PCItemIdList item);
std::string ItemPayload(PCItemIdList item);

} // namespace lumeno
