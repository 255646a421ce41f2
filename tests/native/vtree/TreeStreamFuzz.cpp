// Fuzz target for the tree stream reader. The first byte picks what the rest
// is: a whole stream (header, count, records), one record read into an
// existing node, or a "Virtual Tree Data" block. The sink builds plain nodes
// and gives up beyond a node budget, as a tree would when memory runs out.
#include "vtree/TreeStreamFormat.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

struct TFuzzNode {
  TFuzzNode* Parent = nullptr;
  uint32_t Children = 0;
  TNodeBaseRecord Base;
};

class TFuzzSink : public TTreeStreamSink {
public:
  void* AddChild(void* Parent) override {
    if (FNodes.size() >= 20000) throw Exception("node budget spent");
    FNodes.push_back(std::make_unique<TFuzzNode>());
    FNodes.back()->Parent = static_cast<TFuzzNode*>(Parent);
    if (Parent) ++static_cast<TFuzzNode*>(Parent)->Children;
    return FNodes.back().get();
  }
  void SetBase(void* Node, const TNodeBaseRecord& Base, int) override { static_cast<TFuzzNode*>(Node)->Base = Base; }
  void ReadChunk(void*, int32_t Type, TStream& Stream, int32_t Size) override {
    // Reads a part of the chunk, as a careless handler would.
    uint8_t buffer[64];
    const int32_t want = Type == CaptionChunk ? Size : Size / 2;
    Stream.Read(buffer, std::min<int32_t>(want, sizeof buffer));
  }

private:
  std::vector<std::unique_ptr<TFuzzNode>> FNodes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t kind = data[0];
  TMemoryStream stream;
  if (size > 1) stream.WriteBuffer(data + 1, static_cast<int64_t>(size - 1));
  stream.SetPosition(0);
  TFuzzSink sink;
  try {
    switch (kind % 3) {
      case 0: {
        const uint16_t version = ReadTreeStreamHeader(stream);
        int64_t count = -1;
        if (version == 2) count = static_cast<int32_t>(stream.ReadDWord());
        ReadTreeRecords(stream, version, count, nullptr, sink);
        break;
      }
      case 1: {
        void* node = sink.AddChild(nullptr);
        ReadTreeRecord(stream, 1 + (kind >> 7), node, sink);
        break;
      }
      case 2: {
        const uint32_t length = CheckTreeDataBlock(stream.Memory(), static_cast<uint64_t>(stream.Size()));
        TMemoryStream records;
        if (length) records.WriteBuffer(stream.Memory() + 4, length);
        records.SetPosition(0);
        while (records.Position() < records.Size()) {
          CheckTreeRecordAnchor(records);
          ReadTreeRecord(records, 2, sink.AddChild(nullptr), sink);
        }
        break;
      }
    }
  } catch (const Exception&) {
  }
  return 0;
}
