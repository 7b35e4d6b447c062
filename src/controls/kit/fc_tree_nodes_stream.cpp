// The node stream: a 32-bit root count, then per node a 32-bit record length
// L, L bytes of record (39 + text length written), the link string, the
// second string, the node class's Boolean values, then its children.

#include "controls/kit/fc_tree_nodes.h"

#include <array>
#include <cstring>

namespace lumeno {

namespace {

constexpr int kRecordSize = 294;
constexpr int kFixedSize = 39; // the record up to and with the text length byte
constexpr int kMinNode = 4 + kFixedSize;
constexpr int kMaxDepth = 1000;

void PutInt(std::uint8_t* at, std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t GetInt(const std::uint8_t* at)
{
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

void WriteInt(TStream& stream, std::int32_t value)
{
    std::uint8_t bytes[4];
    PutInt(bytes, value);
    stream.WriteBuffer(bytes, 4);
}

// The UTF-8 text cut to whole characters of at most 255 bytes.
QByteArray ShortText(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= 255)
        return bytes;
    int end = 255;
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
        --end;
    return bytes.left(end);
}

void WriteNode(TStream& stream, const TfcTreeNode& node)
{
    std::array<std::uint8_t, kRecordSize> record{};
    const QByteArray text = ShortText(node.Text());
    const QByteArray link = node.StringData().toUtf8();
    const QByteArray second = node.StringData2().toUtf8();
    PutInt(&record[0], node.ImageIndex());
    PutInt(&record[4], node.SelectedIndex());
    PutInt(&record[8], node.StateIndex());
    PutInt(&record[12], node.OverlayIndex());
    record[16] = static_cast<std::uint8_t>(node.CheckboxType());
    record[17] = static_cast<std::uint8_t>((node.Checked() ? 1 : 0) | (node.Grayed() ? 2 : 0));
    PutInt(&record[22], node.Data());
    PutInt(&record[26], static_cast<std::int32_t>(link.size()));
    PutInt(&record[30], static_cast<std::int32_t>(second.size()));
    PutInt(&record[34], node.Count());
    record[38] = static_cast<std::uint8_t>(text.size());
    std::memcpy(&record[kFixedSize], text.constData(), static_cast<size_t>(text.size()));
    const int length = kFixedSize + static_cast<int>(text.size());
    WriteInt(stream, length);
    stream.WriteBuffer(record.data(), length);
    stream.WriteBuffer(link.constData(), link.size());
    stream.WriteBuffer(second.constData(), second.size());
    if (const int bools = node.StreamedBoolCount(); bools > 0) {
        WriteInt(stream, bools);
        for (int i = 0; i < bools; ++i) {
            const std::uint8_t value = node.StreamedBool(i) ? 1 : 0;
            stream.WriteBuffer(&value, 1);
        }
    }
    for (int i = 0; i < node.Count(); ++i)
        WriteNode(stream, *node.Item(i));
}

[[noreturn]] void Broken(const std::string& what)
{
    throw EfcStreamError("Invalid tree node stream: " + what);
}

} // namespace

struct TfcTreeNodes::Record {
    std::int32_t imageIndex = 0, selectedIndex = 0, stateIndex = -1, overlayIndex = -1, data = 0;
    std::uint8_t checkboxType = 0, flags = 0;
    QString text, link, second;
    std::vector<std::uint8_t> bools;
    std::vector<Record> children;
};

namespace {

// Reads records, checking every length against what the stream still holds
// beyond the nodes already claimed: a count checked only against the bytes
// left lets every level of a deep tree claim them all again.
class NodeReader {
public:
    NodeReader(TStream& stream, bool withBools) : stream_(stream), withBools_(withBools) {}

    template <typename Record> void Roots(std::vector<Record>& roots) { Children(roots, Int(), -1); }

    // Reads the next of the claimed nodes.
    template <typename Record> void Node(Record& record, int depth)
    {
        if (depth > kMaxDepth)
            Broken("nodes nested too deep");
        claimed_ -= kMinNode;
        const std::int32_t length = Int();
        if (length < kFixedSize || length > Free())
            Broken("record length " + std::to_string(length));
        std::array<std::uint8_t, kRecordSize> raw{};
        const int taken = std::min(length, kRecordSize);
        stream_.ReadBuffer(raw.data(), taken);
        const int textLength = raw[38];
        if (length < kFixedSize + textLength)
            Broken("record length " + std::to_string(length) + " shorter than its text");
        stream_.Seek(length - taken, TSeekOrigin::soCurrent);
        record.imageIndex = GetInt(&raw[0]);
        record.selectedIndex = GetInt(&raw[4]);
        record.stateIndex = GetInt(&raw[8]);
        record.overlayIndex = GetInt(&raw[12]);
        record.checkboxType = raw[16];
        if (record.checkboxType > 2)
            Broken("check box type " + std::to_string(record.checkboxType));
        record.flags = raw[17];
        record.data = GetInt(&raw[22]);
        record.text = QString::fromUtf8(reinterpret_cast<const char*>(&raw[kFixedSize]), textLength);
        record.link = String(GetInt(&raw[26]));
        record.second = String(GetInt(&raw[30]));
        if (withBools_)
            Bools(record.bools);
        Children(record.children, GetInt(&raw[34]), depth);
    }

    // Each node takes at least its length and the fixed part of its record;
    // nodes are added as they are read, so memory follows the data.
    template <typename Record> void Children(std::vector<Record>& children, std::int32_t count, int depth)
    {
        if (count < 0 || static_cast<std::int64_t>(count) * kMinNode > Free())
            Broken("child count " + std::to_string(count));
        claimed_ += static_cast<std::int64_t>(count) * kMinNode;
        for (std::int32_t i = 0; i < count; ++i)
            Node(children.emplace_back(), depth + 1);
    }

private:
    std::int32_t Int()
    {
        std::uint8_t bytes[4];
        if (stream_.Read(bytes, 4) != 4)
            Broken("unexpected end");
        return GetInt(bytes);
    }

    QString String(std::int32_t length)
    {
        if (length < 0 || length > Free())
            Broken("string length " + std::to_string(length));
        QByteArray bytes(length, Qt::Uninitialized);
        stream_.ReadBuffer(bytes.data(), length);
        return QString::fromUtf8(bytes);
    }

    void Bools(std::vector<std::uint8_t>& bools)
    {
        const std::int32_t count = Int();
        if (count < 0 || count > Free())
            Broken("value count " + std::to_string(count));
        bools.resize(static_cast<size_t>(count));
        if (count > 0)
            stream_.ReadBuffer(bools.data(), count);
    }

    // The bytes not yet spoken for by claimed nodes.
    std::int64_t Free() const { return stream_.Remaining() - claimed_; }

    TStream& stream_;
    bool withBools_;
    std::int64_t claimed_ = 0;
};

} // namespace

void TfcTreeNodes::WriteData(TStream& stream) const
{
    WriteInt(stream, RootCount());
    for (const auto& root : roots_)
        WriteNode(stream, *root);
}

void TfcTreeNodes::ReadData(TStream& stream)
{
    NodeReader reader(stream, NewNode()->StreamedBoolCount() > 0);
    std::vector<Record> roots;
    reader.Roots(roots);
    BeginUpdate();
    try {
        Clear();
        for (const auto& root : roots)
            Build(nullptr, root);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    streamVersion_ = StreamVersion;
}

void TfcTreeNodes::Build(TfcTreeNode* parent, const Record& record)
{
    TfcTreeNode* node = AddChild(parent, record.text);
    node->SetText(record.text);
    node->SetImageIndex(record.imageIndex);
    node->SetSelectedIndex(record.selectedIndex);
    node->SetStateIndex(record.stateIndex);
    node->SetOverlayIndex(record.overlayIndex);
    node->SetData(record.data);
    node->SetCheckboxType(static_cast<TfcCheckboxType>(record.checkboxType));
    node->SetChecked(record.flags & 1);
    node->SetGrayed(record.flags & 2);
    node->SetStringData(record.link);
    node->SetStringData2(record.second);
    const int bools = std::min(static_cast<int>(record.bools.size()), node->StreamedBoolCount());
    for (int i = 0; i < bools; ++i)
        node->SetStreamedBool(i, record.bools[static_cast<size_t>(i)] != 0);
    for (const auto& child : record.children)
        Build(node, child);
}

void TfcTreeNodes::Assign(const TfcTreeNodes& source)
{
    TMemoryStream memory;
    source.WriteData(memory);
    memory.SetPosition(0);
    ReadData(memory);
    if (host_)
        host_->NodesAssigned();
}

} // namespace lumeno
