#include "swf/core/ActionRecords.h"

#include <array>
#include <bit>
#include <stdexcept>
#include <string>
#include <utility>
#include <cstring>

#include "base/MemoryStream.h"

namespace movara::swf {

namespace {

void WriteSized(TBitsEngine& be, std::int64_t value, std::uint8_t size) {
  if (size == 4) {
    be.WriteDWord(static_cast<std::uint32_t>(value));
  } else {
    be.WriteWord(static_cast<std::uint16_t>(value));
  }
}

TPushValue MakeValue(std::uint8_t type) {
  TPushValue v;
  v.ValueType = type;
  return v;
}

}  // namespace

void TSWFAction::ReadData(TBitsEngine& be) { be.ReadRest(); }

void TSWFAction::WriteToStream(TBitsEngine& be) {
  recordStart_ = be.Stream.Position();
  be.WriteByte(ActionCode);
  if (ActionCode < 0x80) return;
  TMemoryStream payload;
  TBitsEngine pe(payload);
  WriteActionBody(pe);
  pe.FlushBits(true);
  // The record's length is 16-bit: a longer body would wrap it and the
  // player would read the rest as further actions.
  if (payload.Size() > 0xFFFF) {
    throw std::length_error("an action holds at most 65535 bytes of data, this one " +
                            std::to_string(payload.Size()));
  }
  Length = static_cast<std::uint16_t>(payload.Size());
  be.WriteWord(Length);
  be.WriteBytes(payload.Bytes().data(), payload.Bytes().size());
}

void TSWFOffsetMarker::WriteOffset(TBitsEngine& payload, std::uint64_t reference) {
  Reference = reference;
  if (Written && Enabled) {
    IsBefore = true;
    WriteSized(payload, static_cast<std::int64_t>(SavedPosition) - static_cast<std::int64_t>(Reference + OffsetSize),
               OffsetSize);
    return;
  }
  IsBefore = false;
  pending_ = true;
  SavedPosition = reference;
  WriteSized(payload, 0, OffsetSize);
}

void TSWFOffsetMarker::WriteToStream(TBitsEngine& be) {
  Written = true;
  if (!Enabled) return;
  const std::uint64_t here = be.Stream.Position();
  if (!pending_) {
    SavedPosition = here;
    return;
  }
  pending_ = false;
  be.Stream.Seek(SavedPosition);
  WriteSized(be, static_cast<std::int64_t>(here - SavedPosition - OffsetSize), OffsetSize);
  be.Stream.Seek(here);
}

void TOffsetField::Write(TBitsEngine& payload, std::uint64_t payloadStart) const {
  if (Marker != nullptr) {
    Marker->WriteOffset(payload, payloadStart + payload.Stream.Position());
  } else {
    payload.WriteWord(static_cast<std::uint16_t>(Value));
  }
}

void TSWFActionGetUrl::ReadData(TBitsEngine& be) {
  URL = be.ReadText();
  Target = be.ReadText();
}

void TSWFActionGetUrl::WriteActionBody(TBitsEngine& be) {
  be.WriteText(URL, true, true);
  be.WriteText(Target, true, false);
}

void TSWFActionWaitForFrame::ReadData(TBitsEngine& be) {
  Frame = be.ReadWord();
  SkipCount = be.ReadByte();
}

void TSWFActionWaitForFrame::WriteActionBody(TBitsEngine& be) {
  be.WriteWord(Frame);
  be.WriteByte(SkipCount);
}

std::uint8_t TSWFActionPush::MinVersion() const {
  for (const auto& v : Values) {
    if (v.ValueType > TPushValue::Float) return 5;
  }
  return 4;
}

void TSWFActionPush::AddUndefined() { Values.push_back(MakeValue(TPushValue::Undefined)); }
void TSWFActionPush::AddNull() { Values.push_back(MakeValue(TPushValue::Null)); }

void TSWFActionPush::AddInteger(std::int32_t v) {
  TPushValue p = MakeValue(TPushValue::Integer);
  p.Int = v;
  Values.push_back(p);
}

void TSWFActionPush::AddSingle(float v) {
  TPushValue p = MakeValue(TPushValue::Float);
  p.Number = v;
  Values.push_back(p);
}

void TSWFActionPush::AddDouble(double v) {
  TPushValue p = MakeValue(TPushValue::Double);
  p.Number = v;
  Values.push_back(p);
}

void TSWFActionPush::AddBoolean(bool v) {
  TPushValue p = MakeValue(TPushValue::Boolean);
  p.Int = v ? 1 : 0;
  Values.push_back(p);
}

void TSWFActionPush::AddString(const std::string& text) {
  TPushValue p = MakeValue(TPushValue::String);
  p.Text = text;
  if (text == "FlashVar_undefined") {
    p.ValueType = TPushValue::Undefined;
    p.Text = "undefined";
  } else if (text == "FlashVar_null") {
    p.ValueType = TPushValue::Null;
    p.Text = "null";
  }
  Values.push_back(p);
}

void TSWFActionPush::AddInvalid() {
  TPushValue p;
  p.Valid = false;
  Values.push_back(p);
}

bool TSWFActionPush::SetValueType(std::size_t index, std::uint8_t type) {
  if (index >= Values.size() || type == 10) return false;
  Values[index].ValueType = type;
  return true;
}

void TSWFActionPush::WriteActionBody(TBitsEngine& be) {
  for (const auto& v : Values) {
    if (!v.Valid) continue;
    be.WriteByte(v.ValueType);
    switch (v.ValueType) {
      case TPushValue::String: be.WriteText(v.Text); break;
      case TPushValue::Float: be.WriteDWord(std::bit_cast<std::uint32_t>(static_cast<float>(v.Number))); break;
      case TPushValue::Null:
      case TPushValue::Undefined: break;
      case TPushValue::Register:
      case TPushValue::Boolean:
      case TPushValue::Constant8: be.WriteByte(static_cast<std::uint8_t>(v.Int)); break;
      case TPushValue::Double: {
        // The high half first, then the low half, each little-endian.
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(v.Number);
        be.WriteDWord(static_cast<std::uint32_t>(bits >> 32));
        be.WriteDWord(static_cast<std::uint32_t>(bits));
        break;
      }
      case TPushValue::Integer: be.WriteDWord(static_cast<std::uint32_t>(v.Int)); break;
      case TPushValue::Constant16: be.WriteWord(static_cast<std::uint16_t>(v.Int)); break;
      default: break;
    }
  }
}

void TSWFActionPush::ReadData(TBitsEngine& be) {
  Values.clear();
  while (be.Stream.Remaining() > 0) {
    TPushValue v;
    v.ValueType = be.ReadByte();
    switch (v.ValueType) {
      case TPushValue::String: v.Text = be.ReadText(); break;
      case TPushValue::Float: v.Number = std::bit_cast<float>(be.ReadDWord()); break;
      case TPushValue::Null:
      case TPushValue::Undefined: break;
      case TPushValue::Register:
      case TPushValue::Boolean:
      case TPushValue::Constant8: v.Int = be.ReadByte(); break;
      case TPushValue::Double: {
        const std::uint64_t high = be.ReadDWord();
        v.Number = std::bit_cast<double>((high << 32) | be.ReadDWord());
        break;
      }
      case TPushValue::Integer: v.Int = static_cast<std::int32_t>(be.ReadDWord()); break;
      case TPushValue::Constant16: v.Int = be.ReadWord(); break;
      default: throw SWFFormatError("Push value of unknown type " + std::to_string(v.ValueType));
    }
    Values.push_back(v);
  }
}

void TSWFActionConstantPool::ReadData(TBitsEngine& be) {
  const std::uint16_t count = be.ReadWord();
  Constants.clear();
  for (std::uint16_t i = 0; i < count; ++i) Constants.push_back(be.ReadText());
}

void TSWFActionConstantPool::WriteActionBody(TBitsEngine& be) {
  be.WriteWord(static_cast<std::uint16_t>(Constants.size()));
  for (const auto& c : Constants) be.WriteText(c);
}

void TSWFActionGetURL2::ReadData(TBitsEngine& be) {
  SendVarsMethod = static_cast<std::uint8_t>(be.ReadBits(2));
  be.ReadBits(4);
  LoadTargetFlag = be.ReadBit();
  LoadVariablesFlag = be.ReadBit();
}

void TSWFActionGetURL2::WriteActionBody(TBitsEngine& be) {
  be.WriteBits(SendVarsMethod, 2);
  be.WriteBits(0, 4);
  be.WriteBit(LoadTargetFlag);
  be.WriteBit(LoadVariablesFlag);
}

void TSWFActionGotoFrame2::ReadData(TBitsEngine& be) {
  be.ReadBits(6);
  SceneBiasFlag = be.ReadBit();
  PlayFlag = be.ReadBit();
  if (SceneBiasFlag) SceneBias = be.ReadWord();
}

void TSWFActionGotoFrame2::WriteActionBody(TBitsEngine& be) {
  be.WriteBits(0, 6);
  be.WriteBit(SceneBiasFlag);
  be.WriteBit(PlayFlag);
  if (SceneBiasFlag) be.WriteWord(SceneBias);
}

void TSWFActionDefineFunction::ReadData(TBitsEngine& be) {
  FunctionName = be.ReadText();
  const std::uint16_t count = be.ReadWord();
  Params.clear();
  for (std::uint16_t i = 0; i < count; ++i) Params.push_back(be.ReadText());
  CodeSize.Set(be.ReadWord());
}

void TSWFActionDefineFunction::WriteActionBody(TBitsEngine& be) {
  be.WriteText(FunctionName);
  be.WriteWord(static_cast<std::uint16_t>(Params.size()));
  for (const auto& p : Params) be.WriteText(p);
  CodeSize.Write(be, recordStart_ + 3);
}

void TSWFActionDefineFunction2::ReadData(TBitsEngine& be) {
  FunctionName = be.ReadText();
  const std::uint16_t count = be.ReadWord();
  RegisterCount = be.ReadByte();
  PreloadParent = be.ReadBit(), PreloadRoot = be.ReadBit(), SuppressSuper = be.ReadBit();
  PreloadSuper = be.ReadBit(), SuppressArguments = be.ReadBit(), PreloadArguments = be.ReadBit();
  SuppressThis = be.ReadBit(), PreloadThis = be.ReadBit();
  be.ReadBits(7);
  PreloadGlobal = be.ReadBit();
  Params.clear();
  for (std::uint16_t i = 0; i < count; ++i) {
    Param p;
    p.Register = be.ReadByte();
    p.Name = be.ReadText();
    Params.push_back(std::move(p));
  }
  CodeSize.Set(be.ReadWord());
}

void TSWFActionDefineFunction2::WriteActionBody(TBitsEngine& be) {
  be.WriteText(FunctionName);
  be.WriteWord(static_cast<std::uint16_t>(Params.size()));
  be.WriteByte(RegisterCount);
  for (const bool flag : {PreloadParent, PreloadRoot, SuppressSuper, PreloadSuper, SuppressArguments,
                          PreloadArguments, SuppressThis, PreloadThis}) {
    be.WriteBit(flag);
  }
  be.WriteBits(0, 7);
  be.WriteBit(PreloadGlobal);
  for (const auto& p : Params) {
    be.WriteByte(p.Register);
    be.WriteText(p.Name);
  }
  CodeSize.Write(be, recordStart_ + 3);
}

void TSWFActionTry::ReadData(TBitsEngine& be) {
  be.ReadBits(5);
  CatchInRegister = be.ReadBit();
  FinallyBlock = be.ReadBit();
  CatchBlock = be.ReadBit();
  TrySize.Set(be.ReadWord());
  CatchSize.Set(be.ReadWord());
  FinallySize.Set(be.ReadWord());
  if (CatchInRegister) {
    CatchRegister = be.ReadByte();
  } else {
    CatchName = be.ReadText();
  }
}

void TSWFActionTry::WriteActionBody(TBitsEngine& be) {
  be.WriteBits(0, 5);
  be.WriteBit(CatchInRegister);
  be.WriteBit(FinallyBlock);
  be.WriteBit(CatchBlock);
  TrySize.Write(be, recordStart_ + 3);
  // A block that is absent has size 0 whatever its marker says.
  if (CatchBlock || CatchSize.Marker == nullptr) {
    CatchSize.Write(be, recordStart_ + 3);
  } else {
    be.WriteWord(0);
  }
  if (FinallyBlock || FinallySize.Marker == nullptr) {
    FinallySize.Write(be, recordStart_ + 3);
  } else {
    be.WriteWord(0);
  }
  if (CatchInRegister) {
    be.WriteByte(CatchRegister);
  } else {
    be.WriteText(CatchName);
  }
}

void TSWFActionUnknown::ReadData(TBitsEngine& be) { Payload = be.ReadRest(); }

namespace {

using TMaker = std::unique_ptr<TSWFAction> (*)();

template <class T>
std::unique_ptr<TSWFAction> Make() {
  return std::make_unique<T>();
}

// The maker of the simple action of row I, none for a row with fields.
template <std::size_t I>
constexpr TMaker SimpleMaker() {
  constexpr TActionCode row = kActionCodes[I];
  if constexpr (row.HasFields) {
    return nullptr;
  } else {
    return &Make<TSWFSimpleAction<row.Code>>;
  }
}

// One maker per code: the simple ones from the table, then the classes
// with fields.
template <std::size_t... I, class... T>
constexpr std::array<TMaker, 256> MakersOf(std::index_sequence<I...>, TActionClasses<T...>) {
  std::array<TMaker, 256> makers{};
  ((makers[kActionCodes[I].Code] = SimpleMaker<I>()), ...);
  ((makers[T::kCode] = &Make<T>), ...);
  makers[TSWFActionByteCode::kCode] = &Make<TSWFActionByteCode>;
  makers[TSWFOffsetMarker::kCode] = &Make<TSWFOffsetMarker>;
  return makers;
}

constexpr std::array<TMaker, 256> kMakers =
    MakersOf(std::make_index_sequence<std::size(kActionCodes)>(), TFieldActions());

}  // namespace

std::uint8_t TSWFAction::MinVersion() const {
  const TActionCode* row = FindActionCode(ActionCode);
  return row != nullptr ? row->MinVersion : 3;
}

std::unique_ptr<TSWFAction> CreateAction(std::uint8_t code) {
  const TMaker make = kMakers[code];
  return make != nullptr ? make() : nullptr;
}

}  // namespace movara::swf
