#include "swf/core/ActionRecords.h"

#include <bit>
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
  Length = static_cast<std::uint16_t>(payload.Size());
  be.WriteWord(Length);
  be.WriteBytes(payload.Bytes().data(), payload.Bytes().size());
}

std::unique_ptr<TSWFAction> TSWFOffsetMarker::Clone() const {
  auto c = std::make_unique<TSWFOffsetMarker>();
  c->IsBefore = IsBefore;
  c->Enabled = Enabled;
  c->Name = Name;
  c->OffsetSize = OffsetSize;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionByteCode::Clone() const {
  auto c = std::make_unique<TSWFActionByteCode>();
  c->Data = Data;
  return c;
}

void TOffsetField::Write(TBitsEngine& payload, std::uint64_t payloadStart) const {
  if (Marker != nullptr) {
    Marker->WriteOffset(payload, payloadStart + payload.Stream.Position());
  } else {
    payload.WriteWord(static_cast<std::uint16_t>(Value));
  }
}

std::unique_ptr<TSWFAction> TSWFActionGotoFrame::Clone() const { return std::make_unique<TSWFActionGotoFrame>(Frame); }

void TSWFActionGetUrl::ReadData(TBitsEngine& be) {
  URL = be.ReadText();
  Target = be.ReadText();
}

void TSWFActionGetUrl::WriteActionBody(TBitsEngine& be) {
  be.WriteText(URL, true, true);
  be.WriteText(Target, true, false);
}

std::unique_ptr<TSWFAction> TSWFActionGetUrl::Clone() const { return std::make_unique<TSWFActionGetUrl>(URL, Target); }

void TSWFActionWaitForFrame::ReadData(TBitsEngine& be) {
  Frame = be.ReadWord();
  SkipCount = be.ReadByte();
}

void TSWFActionWaitForFrame::WriteActionBody(TBitsEngine& be) {
  be.WriteWord(Frame);
  be.WriteByte(SkipCount);
}

std::unique_ptr<TSWFAction> TSWFActionWaitForFrame::Clone() const {
  auto c = std::make_unique<TSWFActionWaitForFrame>();
  c->Frame = Frame;
  c->SkipCount = SkipCount;
  return c;
}

std::unique_ptr<TSWFAction> TSWFActionSetTarget::Clone() const {
  auto c = std::make_unique<TSWFActionSetTarget>();
  c->Text = Text;
  return c;
}

std::unique_ptr<TSWFAction> TSWFActionGoToLabel::Clone() const {
  auto c = std::make_unique<TSWFActionGoToLabel>();
  c->Text = Text;
  return c;
}

std::unique_ptr<TSWFAction> TSWFActionPush::Clone() const {
  auto c = std::make_unique<TSWFActionPush>();
  c->Values = Values;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionStoreRegister::Clone() const {
  auto c = std::make_unique<TSWFActionStoreRegister>();
  c->RegisterNumber = RegisterNumber;
  return c;
}

std::unique_ptr<TSWFAction> TSWFActionConstantPool::Clone() const {
  auto c = std::make_unique<TSWFActionConstantPool>();
  c->Constants = Constants;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionGetURL2::Clone() const {
  auto c = std::make_unique<TSWFActionGetURL2>();
  c->SendVarsMethod = SendVarsMethod;
  c->LoadTargetFlag = LoadTargetFlag;
  c->LoadVariablesFlag = LoadVariablesFlag;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionGotoFrame2::Clone() const {
  auto c = std::make_unique<TSWFActionGotoFrame2>();
  c->SceneBiasFlag = SceneBiasFlag;
  c->PlayFlag = PlayFlag;
  c->SceneBias = SceneBias;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionJump::Clone() const {
  auto c = std::make_unique<TSWFActionJump>();
  c->BranchOffset = BranchOffset;
  return c;
}

std::unique_ptr<TSWFAction> TSWFActionIf::Clone() const {
  auto c = std::make_unique<TSWFActionIf>();
  c->BranchOffset = BranchOffset;
  return c;
}

std::unique_ptr<TSWFAction> TSWFActionWith::Clone() const {
  auto c = std::make_unique<TSWFActionWith>();
  c->Size = Size;
  return c;
}

std::unique_ptr<TSWFAction> TSWFActionDefineFunction::Clone() const {
  auto c = std::make_unique<TSWFActionDefineFunction>();
  c->FunctionName = FunctionName;
  c->Params = Params;
  c->CodeSize = CodeSize;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionDefineFunction2::Clone() const {
  auto c = std::make_unique<TSWFActionDefineFunction2>();
  c->FunctionName = FunctionName;
  c->RegisterCount = RegisterCount;
  c->PreloadParent = PreloadParent, c->PreloadRoot = PreloadRoot, c->SuppressSuper = SuppressSuper;
  c->PreloadSuper = PreloadSuper, c->SuppressArguments = SuppressArguments;
  c->PreloadArguments = PreloadArguments, c->SuppressThis = SuppressThis, c->PreloadThis = PreloadThis;
  c->PreloadGlobal = PreloadGlobal;
  c->Params = Params;
  c->CodeSize = CodeSize;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionTry::Clone() const {
  auto c = std::make_unique<TSWFActionTry>();
  c->CatchInRegister = CatchInRegister, c->FinallyBlock = FinallyBlock, c->CatchBlock = CatchBlock;
  c->TrySize = TrySize, c->CatchSize = CatchSize, c->FinallySize = FinallySize;
  c->CatchRegister = CatchRegister;
  c->CatchName = CatchName;
  return c;
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

std::unique_ptr<TSWFAction> TSWFActionUnknown::Clone() const {
  auto c = std::make_unique<TSWFActionUnknown>(ActionCode);
  c->Payload = Payload;
  return c;
}

void TSWFActionUnknown::ReadData(TBitsEngine& be) { Payload = be.ReadRest(); }

std::unique_ptr<TSWFAction> CreateAction(std::uint8_t code) {
  switch (code) {
    case 0x04: return std::make_unique<TSWFActionNextFrame>();
    case 0x05: return std::make_unique<TSWFActionPreviousFrame>();
    case 0x06: return std::make_unique<TSWFActionPlay>();
    case 0x07: return std::make_unique<TSWFActionStop>();
    case 0x08: return std::make_unique<TSWFActionToggleQuality>();
    case 0x09: return std::make_unique<TSWFActionStopSounds>();
    case 0x0A: return std::make_unique<TSWFActionAdd>();
    case 0x0B: return std::make_unique<TSWFActionSubtract>();
    case 0x0C: return std::make_unique<TSWFActionMultiply>();
    case 0x0D: return std::make_unique<TSWFActionDivide>();
    case 0x0E: return std::make_unique<TSWFActionEquals>();
    case 0x0F: return std::make_unique<TSWFActionLess>();
    case 0x10: return std::make_unique<TSWFActionAnd>();
    case 0x11: return std::make_unique<TSWFActionOr>();
    case 0x12: return std::make_unique<TSWFActionNot>();
    case 0x13: return std::make_unique<TSWFActionStringEquals>();
    case 0x14: return std::make_unique<TSWFActionStringLength>();
    case 0x15: return std::make_unique<TSWFActionStringExtract>();
    case 0x17: return std::make_unique<TSWFActionPop>();
    case 0x18: return std::make_unique<TSWFActionToInteger>();
    case 0x1C: return std::make_unique<TSWFActionGetVariable>();
    case 0x1D: return std::make_unique<TSWFActionSetVariable>();
    case 0x20: return std::make_unique<TSWFActionSetTarget2>();
    case 0x21: return std::make_unique<TSWFActionStringAdd>();
    case 0x22: return std::make_unique<TSWFActionGetProperty>();
    case 0x23: return std::make_unique<TSWFActionSetProperty>();
    case 0x24: return std::make_unique<TSWFActionCloneSprite>();
    case 0x25: return std::make_unique<TSWFActionRemoveSprite>();
    case 0x26: return std::make_unique<TSWFActionTrace>();
    case 0x27: return std::make_unique<TSWFActionStartDrag>();
    case 0x28: return std::make_unique<TSWFActionEndDrag>();
    case 0x29: return std::make_unique<TSWFActionStringLess>();
    case 0x30: return std::make_unique<TSWFActionRandomNumber>();
    case 0x31: return std::make_unique<TSWFActionMBStringLength>();
    case 0x32: return std::make_unique<TSWFActionCharToAscii>();
    case 0x33: return std::make_unique<TSWFActionAsciiToChar>();
    case 0x34: return std::make_unique<TSWFActionGetTime>();
    case 0x35: return std::make_unique<TSWFActionMBStringExtract>();
    case 0x36: return std::make_unique<TSWFActionMBCharToAscii>();
    case 0x37: return std::make_unique<TSWFActionMBAsciiToChar>();
    case 0x3A: return std::make_unique<TSWFActionDelete>();
    case 0x3B: return std::make_unique<TSWFActionDelete2>();
    case 0x3C: return std::make_unique<TSWFActionDefineLocal>();
    case 0x3D: return std::make_unique<TSWFActionCallFunction>();
    case 0x3E: return std::make_unique<TSWFActionReturn>();
    case 0x3F: return std::make_unique<TSWFActionModulo>();
    case 0x40: return std::make_unique<TSWFActionNewObject>();
    case 0x41: return std::make_unique<TSWFActionDefineLocal2>();
    case 0x42: return std::make_unique<TSWFActionInitArray>();
    case 0x43: return std::make_unique<TSWFActionInitObject>();
    case 0x44: return std::make_unique<TSWFActionTypeOf>();
    case 0x45: return std::make_unique<TSWFActionTargetPath>();
    case 0x46: return std::make_unique<TSWFActionEnumerate>();
    case 0x47: return std::make_unique<TSWFActionAdd2>();
    case 0x48: return std::make_unique<TSWFActionLess2>();
    case 0x49: return std::make_unique<TSWFActionEquals2>();
    case 0x4A: return std::make_unique<TSWFActionToNumber>();
    case 0x4B: return std::make_unique<TSWFActionToString>();
    case 0x4C: return std::make_unique<TSWFActionPushDuplicate>();
    case 0x4D: return std::make_unique<TSWFActionStackSwap>();
    case 0x4E: return std::make_unique<TSWFActionGetMember>();
    case 0x4F: return std::make_unique<TSWFActionSetMember>();
    case 0x50: return std::make_unique<TSWFActionIncrement>();
    case 0x51: return std::make_unique<TSWFActionDecrement>();
    case 0x52: return std::make_unique<TSWFActionCallMethod>();
    case 0x53: return std::make_unique<TSWFActionNewMethod>();
    case 0x60: return std::make_unique<TSWFActionBitAnd>();
    case 0x61: return std::make_unique<TSWFActionBitOr>();
    case 0x62: return std::make_unique<TSWFActionBitXor>();
    case 0x63: return std::make_unique<TSWFActionBitLShift>();
    case 0x64: return std::make_unique<TSWFActionBitRShift>();
    case 0x65: return std::make_unique<TSWFActionBitURShift>();
    case 0x54: return std::make_unique<TSWFActionInstanceOf>();
    case 0x55: return std::make_unique<TSWFActionEnumerate2>();
    case 0x66: return std::make_unique<TSWFActionStrictEquals>();
    case 0x67: return std::make_unique<TSWFActionGreater>();
    case 0x68: return std::make_unique<TSWFActionStringGreater>();
    case 0x2A: return std::make_unique<TSWFActionThrow>();
    case 0x2B: return std::make_unique<TSWFActionCastOp>();
    case 0x2C: return std::make_unique<TSWFActionImplementsOp>();
    case 0x69: return std::make_unique<TSWFActionExtends>();
    case 0x9E: return std::make_unique<TSWFActionCall>();
    case 0x8D: return std::make_unique<TSWFActionWaitForFrame2>();
    case 0x81: return std::make_unique<TSWFActionGotoFrame>();
    case 0x83: return std::make_unique<TSWFActionGetUrl>();
    case 0x8A: return std::make_unique<TSWFActionWaitForFrame>();
    case 0x8B: return std::make_unique<TSWFActionSetTarget>();
    case 0x8C: return std::make_unique<TSWFActionGoToLabel>();
    case 0x96: return std::make_unique<TSWFActionPush>();
    case 0x99: return std::make_unique<TSWFActionJump>();
    case 0x9A: return std::make_unique<TSWFActionGetURL2>();
    case 0x9D: return std::make_unique<TSWFActionIf>();
    case 0x9F: return std::make_unique<TSWFActionGotoFrame2>();
    case 0x87: return std::make_unique<TSWFActionStoreRegister>();
    case 0x88: return std::make_unique<TSWFActionConstantPool>();
    case 0x94: return std::make_unique<TSWFActionWith>();
    case 0x9B: return std::make_unique<TSWFActionDefineFunction>();
    case 0x8E: return std::make_unique<TSWFActionDefineFunction2>();
    case 0x8F: return std::make_unique<TSWFActionTry>();
    case 254: return std::make_unique<TSWFActionByteCode>();
    case 255: return std::make_unique<TSWFOffsetMarker>();
    default: return nullptr;
  }
}

}  // namespace movara::swf
