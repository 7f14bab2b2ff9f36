#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "swf/core/BitsEngine.h"
#include "swf/core/SWFObject.h"

namespace movara::swf {

// A tag this library has no class for, kept as raw bytes so that it can be
// written back unchanged.
class TSWFUnknownTag final : public TSWFObject {
 public:
  explicit TSWFUnknownTag(std::uint16_t code) : TSWFObject(code) {}

  std::vector<std::uint8_t> Data;

  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override { be.WriteBytes(Data.data(), Data.size()); }
  void CopyFields(const TSWFUnknownTag& s) { Data = s.Data; }
};

struct TTagHeader {
  std::uint16_t Code = 0;
  std::uint32_t Length = 0;
  bool LongForm = false;
};

// Reads a record header; the body that follows is not touched.
TTagHeader ReadTagHeader(TBitsEngine& be);

// The body that follows a record header, checked against what is left.
std::vector<std::uint8_t> ReadTagBytes(TBitsEngine& be, const TTagHeader& header);

// An empty tag object of the class that handles this code, for reading into.
// Version is the file's SWF version, which some layouts depend on.
std::unique_ptr<TSWFObject> CreateTag(std::uint16_t code, std::uint8_t version);

// Reads one whole tag. The body is parsed from a stream of exactly its
// declared length: reading beyond it, or leaving bytes unread, is an error.
std::unique_ptr<TSWFObject> ReadTag(TBitsEngine& be, std::uint8_t version);

// Parses a tag body that is already in memory into the given tag.
void ReadTagBody(TSWFObject& tag, std::span<const std::uint8_t> body);

struct TSWFFileHeader {
  char Signature[3] = {};
  std::uint8_t Version = 0;
  std::uint32_t FileLength = 0;
  TRectangle FrameRect;
  std::uint16_t FrameRate = 0;
  std::uint16_t FrameCount = 0;
};

struct TSWFFile {
  TSWFFileHeader Header;
  std::vector<std::unique_ptr<TSWFObject>> Tags;
  // Where each tag's record header starts in the uncompressed movie.
  std::vector<std::uint64_t> TagOffsets;
};

// Reads a whole "FWS" or "CWS" movie: header and every tag up to End. The
// declared length bounds how much a compressed movie may inflate to.
TSWFFile ReadSWFFile(std::span<const std::uint8_t> bytes);
// Only the header of a whole movie file (the length and, compressed, the
// inflation checked as ReadSWFFile checks them); the tags are not read.
TSWFFileHeader ReadSWFFileHeader(std::span<const std::uint8_t> bytes);
// The header read from the start of a stream, the stage fields inflated
// from a compressed movie as far as they go: a few bytes whatever the
// movie's size. The length field is not checked against the data and no
// tag is read.
TSWFFileHeader ReadSWFHeaderStart(TStream& stream);

}  // namespace movara::swf
