// The tag lines of a dump: every tag family's fields, in the order its
// bytes hold them.
#include "swf/core/TagDump.h"

#include <cstdio>
#include <iomanip>
#include <map>

#include "base/MemoryStream.h"
#include "base/ZlibStream.h"
#include "swf/core/BitmapTags.h"
#include "swf/core/ButtonTags.h"
#include "swf/core/ControlTags.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/DumpLines.h"
#include "swf/core/ShapeTags.h"
#include "swf/core/SoundTags.h"
#include "swf/core/SpriteTags.h"
#include "swf/core/TagCodes.h"
#include "swf/core/TagReader.h"

namespace movara::swf {

namespace dump {

std::string ShowHex(std::uint32_t v) {
  std::ostringstream s;
  s << std::uppercase << std::hex << std::setw(2) << std::setfill('0') << v;
  return s.str();
}

std::string ShowRect(const TSWFRect& r) {
  return std::to_string(r.XMin) + ".." + std::to_string(r.XMax) + " x " + std::to_string(r.YMin) + ".." +
         std::to_string(r.YMax);
}

std::string ShowMatrix(const TSWFMatrix& m) {
  std::string out;
  if (m.HasScale) out += "scale " + std::to_string(m.ScaleX) + " " + std::to_string(m.ScaleY) + ", ";
  if (m.HasSkew) out += "skew " + std::to_string(m.RotateSkew0) + " " + std::to_string(m.RotateSkew1) + ", ";
  return out + "translate " + std::to_string(m.TranslateX) + " " + std::to_string(m.TranslateY);
}

std::string ShowColorTransform(const TSWFColorTransform& c) {
  const auto terms = [&](std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t a) {
    std::string t = std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
    return c.HasAlpha ? t + " " + std::to_string(a) : t;
  };
  // Without terms the transform is the identity, alpha or not.
  if (!c.HasMult && !c.HasAdd) return "identity";
  std::string out = c.HasAlpha ? "with alpha" : "without alpha";
  if (c.HasMult) out += ", mult " + terms(c.multR, c.multG, c.multB, c.multA);
  if (c.HasAdd) out += ", add " + terms(c.addR, c.addG, c.addB, c.addA);
  return out;
}

std::string ShowColor(const TSWFRGBA& c, bool withAlpha) {
  return "#" + ShowHex(c.R) + ShowHex(c.G) + ShowHex(c.B) + (withAlpha ? ShowHex(c.A) : "");
}

}  // namespace dump

namespace {

using dump::TLines;

const std::map<std::uint16_t, const char*>& TagNames() {
  static const std::map<std::uint16_t, const char*> names = {
      {tagEnd, "End"}, {tagShowFrame, "ShowFrame"}, {tagDefineShape, "DefineShape"},
      {tagRemoveObject, "RemoveObject"}, {tagDefineBits, "DefineBits"}, {tagDefineButton, "DefineButton"},
      {tagJPEGTables, "JPEGTables"}, {tagSetBackgroundColor, "SetBackgroundColor"}, {tagDoAction, "DoAction"},
      {tagDefineSound, "DefineSound"}, {tagStartSound, "StartSound"}, {tagDefineButtonSound, "DefineButtonSound"},
      {tagSoundStreamHead, "SoundStreamHead"}, {tagSoundStreamBlock, "SoundStreamBlock"},
      {tagDefineBitsLossless, "DefineBitsLossless"}, {tagDefineBitsJPEG2, "DefineBitsJPEG2"},
      {tagDefineShape2, "DefineShape2"}, {tagProtect, "Protect"}, {tagPlaceObject2, "PlaceObject2"},
      {tagRemoveObject2, "RemoveObject2"}, {tagDefineShape3, "DefineShape3"}, {tagDefineButton2, "DefineButton2"},
      {tagDefineBitsJPEG3, "DefineBitsJPEG3"}, {tagDefineBitsLossless2, "DefineBitsLossless2"},
      {tagDefineSprite, "DefineSprite"}, {tagFrameLabel, "FrameLabel"}, {tagSoundStreamHead2, "SoundStreamHead2"},
      {tagDoInitAction, "DoInitAction"}, {tagDefineVideoStream, "DefineVideoStream"}, {tagVideoFrame, "VideoFrame"}};
  return names;
}

std::string DataLine(std::span<const std::uint8_t> bytes) {
  return std::to_string(bytes.size()) + " bytes, hash " + DataHash(bytes);
}

// The bytes a lossless bitmap's rows and colour table inflate to.
std::uint64_t LosslessSize(const TSWFDefineBitsLossless& b) {
  const std::uint64_t w = b.Width, h = b.Height;
  const std::uint64_t entry = b.TagCode == tagDefineBitsLossless2 ? 4 : 3;
  switch (b.BitmapFormat) {
    case TSWFDefineBitsLossless::kColorMapped8: return (b.ColorTableSize + 1u) * entry + ((w + 3) & ~3ull) * h;
    case TSWFDefineBitsLossless::kRGB15: return ((w * 2 + 3) & ~3ull) * h;
    default: return w * h * 4;
  }
}

// A hash of the pixels, not of their compressed bytes: recompressing
// differently keeps the dump.
void DescribeLossless(TLines& out, const TSWFDefineBitsLossless& b) {
  out.Field("CharacterId", b.CharacterId).Field("BitmapFormat", b.BitmapFormat);
  out.Field("Width", b.Width).Field("Height", b.Height);
  if (b.BitmapFormat == TSWFDefineBitsLossless::kColorMapped8) out.Field("ColorTableSize", b.ColorTableSize);
  try {
    const std::uint64_t size = LosslessSize(b);
    out.Field("pixels", DataLine(ZlibDecompress(b.DataBytes(), static_cast<std::size_t>(size))));
  } catch (const std::exception& e) {
    out.Field("pixels", std::string("unreadable: ") + e.what());
  }
}

void DescribeJpeg(TLines& out, const TSWFDefineBits& b) {
  out.Field("CharacterId", b.CharacterId).Field("jpeg", DataLine(b.DataBytes()));
  if (const auto* j3 = dynamic_cast<const TSWFDefineBitsJPEG3*>(&b)) {
    out.Field("alpha", DataLine(j3->AlphaData ? std::span<const std::uint8_t>(*j3->AlphaData)
                                              : std::span<const std::uint8_t>()));
  }
}

void DescribeFill(TLines& out, const TSWFFillStyle& f, bool alpha) {
  std::string line = "fill 0x" + dump::ShowHex(f.FillStyleType) + ": ";
  if (const auto* c = dynamic_cast<const TSWFColorFill*>(&f)) line += dump::ShowColor(c->Color, alpha);
  if (const auto* g = dynamic_cast<const TSWFGradientFill*>(&f)) {
    line += dump::ShowMatrix(g->Matrix);
    for (const auto& e : g->Entries) line += ", " + std::to_string(e.Ratio) + " " + dump::ShowColor(e.Color, alpha);
  }
  if (const auto* i = dynamic_cast<const TSWFImageFill*>(&f)) {
    line += "bitmap " + std::to_string(i->BitmapID) + ", " + dump::ShowMatrix(i->Matrix);
  }
  out.Line(line);
}

void DescribeStyles(TLines& out, const TFillStyles& fills, const TLineStyles& lines, bool alpha) {
  for (const auto& f : fills) DescribeFill(out, *f, alpha);
  for (const auto& l : lines) out.Line("line width " + std::to_string(l.Width) + " " + dump::ShowColor(l.Color, alpha));
}

void DescribeStyleChange(TLines& out, TSWFStyleChangeRecord& c, bool alpha) {
  std::string line = "style change";
  if (c.StateMoveTo) line += ", move to " + std::to_string(c.DeltaX) + " " + std::to_string(c.DeltaY);
  if (c.StateFillStyle0) line += ", fill0 " + std::to_string(c.FillStyle0());
  if (c.StateFillStyle1) line += ", fill1 " + std::to_string(c.FillStyle1());
  if (c.StateLineStyle) line += ", line " + std::to_string(c.LineStyle());
  out.Line(line);
  if (c.StateNewStyles) {
    TLines styles = out.Nested();
    DescribeStyles(styles, c.NewFillStyles(), c.NewLineStyles(), alpha);
  }
}

void DescribeShape(TLines& out, const TSWFDefineShape& s) {
  out.Field("ShapeID", s.ShapeID).Field("ShapeBounds", dump::ShowRect(s.ShapeBounds));
  DescribeStyles(out, s.FillStyles, s.LineStyles, s.HasAlpha);
  // End records are written once, after the others, whatever the list holds.
  for (const auto& r : s.Records) {
    if (r->Kind == 0) continue;
    if (auto* c = dynamic_cast<TSWFStyleChangeRecord*>(r.get())) {
      DescribeStyleChange(out, *c, s.HasAlpha);
    } else if (const auto* e = dynamic_cast<const TSWFStraightEdgeRecord*>(r.get())) {
      out.Line("edge " + std::to_string(e->DeltaX) + " " + std::to_string(e->DeltaY));
    } else if (const auto* q = dynamic_cast<const TSWFCurvedEdgeRecord*>(r.get())) {
      out.Line("curve control " + std::to_string(q->ControlDeltaX) + " " + std::to_string(q->ControlDeltaY) +
               ", anchor " + std::to_string(q->AnchorDeltaX) + " " + std::to_string(q->AnchorDeltaY));
    }
  }
  out.Line("end");
}

void DescribePlace(TLines& out, TSWFPlaceObject2& p) {
  out.Field("Move", p.Move).Field("Depth", p.Depth);
  if (p.HasCharacter) out.Field("CharacterId", p.CharacterId);
  if (p.HasMatrix) out.Field("Matrix", dump::ShowMatrix(p.Matrix()));
  if (p.HasColorTransform) out.Field("ColorTransform", dump::ShowColorTransform(p.ColorTransform()));
  if (p.HasRatio) out.Field("Ratio", p.Ratio());
  if (p.HasName()) out.Field("Name", TLines::Quoted(p.Name()));
  if (p.HasClipDepth) out.Field("ClipDepth", p.ClipDepth());
  // Clip actions are written only when there is a record.
  if (!p.HasClipActions || p.ClipActions().Records.empty()) return;
  const TSWFClipActions& clip = p.ClipActions();
  out.Field("AllEventFlags", "0x" + dump::ShowHex(clip.AllEventFlags));
  for (const auto& r : clip.Records) {
    out.Line("clip actions for 0x" + dump::ShowHex(r->EventFlags) + ", key " + std::to_string(r->KeyCode()));
    out.Append(DescribeActions(r->Actions, out.Indent() + 2));
  }
}

void DescribeButtonRecords(TLines& out, const TButtonRecords& records) {
  for (const auto& r : records) {
    auto& record = *r;
    std::string line = "record states " + std::to_string(record.States) + ", character " +
                       std::to_string(record.CharacterId) + ", depth " + std::to_string(record.PlaceDepth) +
                       ", matrix " + dump::ShowMatrix(record.Matrix());
    if (record.HasColorTransform) line += ", colour " + dump::ShowColorTransform(record.ColorTransform());
    out.Line(line);
  }
}

void DescribeButton(TLines& out, const TSWFBasedButton& b) {
  out.Field("ButtonId", b.ButtonId);
  if (const auto* b2 = dynamic_cast<const TSWFDefineButton2*>(&b)) out.Field("TrackAsMenu", b2->TrackAsMenu);
  DescribeButtonRecords(out, b.Records);
  if (const auto* b1 = dynamic_cast<const TSWFDefineButton*>(&b)) out.Append(DescribeActions(b1->Actions, out.Indent()));
  if (const auto* b2 = dynamic_cast<const TSWFDefineButton2*>(&b)) {
    for (const auto& c : b2->Actions) {
      out.Line("actions on 0x" + dump::ShowHex(c->Conditions) + ", key " + std::to_string(c->KeyCode));
      out.Append(DescribeActions(c->Actions, out.Indent() + 2));
    }
  }
}

std::string SoundInfo(const TSWFStartSound& s) {
  std::string line = "sound " + std::to_string(s.SoundId) + ", SyncStop " + std::to_string(s.SyncStop) +
                     ", SyncNoMultiple " + std::to_string(s.SyncNoMultiple);
  if (s.HasInPoint()) line += ", InPoint " + std::to_string(s.InPoint());
  if (s.HasOutPoint()) line += ", OutPoint " + std::to_string(s.OutPoint());
  if (s.HasLoops()) line += ", LoopCount " + std::to_string(s.LoopCount());
  if (s.HasEnvelope) {
    line += ", envelope";
    for (const auto& e : s.Envelope) {
      line += " " + std::to_string(e.Pos44) + ":" + std::to_string(e.LeftLevel) + "/" + std::to_string(e.RightLevel);
    }
  }
  return line;
}

void DescribeSound(TLines& out, const TSWFDefineSound& s) {
  out.Field("SoundId", s.SoundId).Field("SoundFormat", s.SoundFormat).Field("SoundRate", s.SoundRate);
  out.Field("SoundSize", s.SoundSize).Field("SoundType", s.SoundType).Field("SampleCount", s.SampleCount);
  if (s.SoundFormat == kSoundMP3) out.Field("SeekSamples", s.SeekSamples);
  out.Field("data", DataLine(s.DataBytes()));
}

void DescribeStreamHead(TLines& out, const TSWFSoundStreamHead& h) {
  out.Field("PlaybackRate", h.PlaybackRate).Field("PlaybackSize", h.PlaybackSize).Field("PlaybackType", h.PlaybackType);
  out.Field("StreamFormat", h.StreamFormat).Field("StreamRate", h.StreamRate).Field("StreamSize", h.StreamSize);
  out.Field("StreamType", h.StreamType).Field("SampleCount", h.SampleCount);
  if (h.StreamFormat == kSoundMP3) out.Field("LatencySeek", h.LatencySeek);
}

void DescribeButtonSound(TLines& out, const TSWFDefineButtonSound& s) {
  out.Field("ButtonId", s.ButtonId);
  for (int slot = 0; slot < 4; ++slot) {
    const TSWFStartSound* sound = s.SoundIfAny(static_cast<TSWFDefineButtonSound::Slot>(slot));
    out.Line("slot " + std::to_string(slot) + ": " + (sound != nullptr && sound->SoundId != 0 ? SoundInfo(*sound) : "none"));
  }
}

void DescribeFields(TLines& out, TSWFObject& tag);

void DescribeVideoStream(TLines& out, const TSWFDefineVideoStream& v) {
  out.Field("CharacterId", v.CharacterId).Field("NumFrames", v.NumFrames);
  out.Field("Width", v.Width).Field("Height", v.Height);
  out.Field("Deblocking", v.Deblocking).Field("Smoothing", v.Smoothing).Field("CodecId", v.CodecId);
}

// The sprite's own timeline: each of its tags as the movie's are shown,
// indented below it.
void DescribeSprite(TLines& out, const TSWFDefineSprite& s) {
  out.Field("SpriteID", s.SpriteID).Field("FrameCount", s.FrameCount);
  for (const auto& object : s.ControlTags) {
    auto* tag = dynamic_cast<TSWFObject*>(object.get());
    if (tag == nullptr) continue;
    out.Line(std::string(TagName(tag->TagCode)) + " (code " + std::to_string(tag->TagCode) + ", " +
             std::to_string(tag->BodySize) + " bytes)");
    TLines fields = out.Nested();
    DescribeFields(fields, *tag);
  }
}

// The control and display-list tags; false for other classes.
bool DescribeControl(TLines& out, TSWFObject& tag) {
  if (const auto* c = dynamic_cast<const TSWFSetBackgroundColor*>(&tag)) {
    out.Field("Color", "#" + dump::ShowHex(c->Color.R) + dump::ShowHex(c->Color.G) + dump::ShowHex(c->Color.B));
  } else if (const auto* l = dynamic_cast<const TSWFFrameLabel*>(&tag)) {
    out.Field("Name", TLines::Quoted(l->Name)).Field("NamedAnchor", l->NamedAnchor);
  } else if (const auto* p = dynamic_cast<const TSWFProtect*>(&tag)) {
    out.Field("Hash", TLines::Quoted(p->Hash));
  } else if (auto* place = dynamic_cast<TSWFPlaceObject2*>(&tag)) {
    DescribePlace(out, *place);
  } else if (const auto* r = dynamic_cast<const TSWFRemoveObject*>(&tag)) {
    out.Field("CharacterId", r->CharacterId).Field("Depth", r->Depth);
  } else if (const auto* r2 = dynamic_cast<const TSWFRemoveObject2*>(&tag)) {
    out.Field("Depth", r2->Depth);
  } else if (const auto* init = dynamic_cast<const TSWFDoInitAction*>(&tag)) {
    out.Field("SpriteID", init->SpriteID);
    out.Append(DescribeActions(init->Actions, out.Indent()));
  } else if (const auto* a = dynamic_cast<const TSWFDoAction*>(&tag)) {
    out.Append(DescribeActions(a->Actions, out.Indent()));
  } else {
    return tag.TagCode == tagEnd || tag.TagCode == tagShowFrame;
  }
  return true;
}

// The character and media tags; false for other classes.
bool DescribeCharacter(TLines& out, TSWFObject& tag) {
  if (const auto* shape = dynamic_cast<const TSWFDefineShape*>(&tag)) {
    DescribeShape(out, *shape);
  } else if (const auto* lossless = dynamic_cast<const TSWFDefineBitsLossless*>(&tag)) {
    DescribeLossless(out, *lossless);
  } else if (const auto* jpeg = dynamic_cast<const TSWFDefineBits*>(&tag)) {
    DescribeJpeg(out, *jpeg);
  } else if (const auto* button = dynamic_cast<const TSWFBasedButton*>(&tag)) {
    DescribeButton(out, *button);
  } else if (const auto* bs = dynamic_cast<const TSWFDefineButtonSound*>(&tag)) {
    DescribeButtonSound(out, *bs);
  } else if (const auto* sound = dynamic_cast<const TSWFDefineSound*>(&tag)) {
    DescribeSound(out, *sound);
  } else if (const auto* start = dynamic_cast<const TSWFStartSound*>(&tag)) {
    out.Line(SoundInfo(*start));
  } else if (const auto* head = dynamic_cast<const TSWFSoundStreamHead*>(&tag)) {
    DescribeStreamHead(out, *head);
  } else if (const auto* stream = dynamic_cast<const TSWFDefineVideoStream*>(&tag)) {
    DescribeVideoStream(out, *stream);
  } else if (const auto* sprite = dynamic_cast<const TSWFDefineSprite*>(&tag)) {
    DescribeSprite(out, *sprite);
  } else if (const auto* video = dynamic_cast<const TSWFVideoFrame*>(&tag)) {
    out.Field("StreamId", video->StreamId).Field("FrameNum", video->FrameNum).Field("data", DataLine(video->DataBytes()));
  } else if (const auto* unknown = dynamic_cast<const TSWFUnknownTag*>(&tag)) {
    out.Field("body", DataLine(unknown->Data));
  } else {
    return false;
  }
  return true;
}

void DescribeFields(TLines& out, TSWFObject& tag) {
  if (!DescribeControl(out, tag) && !DescribeCharacter(out, tag)) out.Line("(no field view for this class)");
}

}  // namespace

const char* TagName(std::uint16_t code) {
  const auto found = TagNames().find(code);
  return found != TagNames().end() ? found->second : "Unknown";
}

std::string DataHash(std::span<const std::uint8_t> bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const std::uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

std::string DescribeTag(const TSWFObject& tag) {
  TLines out(2);
  // The accessors of optional parts are not const: they create the part on
  // first use. A dump only calls them where the tag has the part.
  DescribeFields(out, const_cast<TSWFObject&>(tag));
  return out.Text();
}

std::string DumpMovie(std::span<const std::uint8_t> bytes) {
  const TSWFFile file = ReadSWFFile(bytes);
  const TSWFFileHeader& h = file.Header;
  std::ostringstream out;
  char line[160];
  std::snprintf(line, sizeof line, "%.3s version %d, %u bytes, frame %d..%d x %d..%d twips, %.2f fps, %u frames\n",
                h.Signature, h.Version, h.FileLength, h.FrameRect.Left, h.FrameRect.Right, h.FrameRect.Top,
                h.FrameRect.Bottom, h.FrameRate / 256.0, h.FrameCount);
  out << line;
  for (std::size_t i = 0; i < file.Tags.size(); ++i) {
    const TSWFObject& tag = *file.Tags[i];
    out << "@" << file.TagOffsets[i] << " " << TagName(tag.TagCode) << " (code " << tag.TagCode << ", " << tag.BodySize
        << " bytes)\n"
        << DescribeTag(tag);
  }
  return out.str();
}

}  // namespace movara::swf
