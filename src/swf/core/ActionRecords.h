#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Cloneable.h"
#include "swf/core/ActionCodes.h"
#include "swf/core/BitsEngine.h"

namespace movara::swf {

// One action record of the SWF byte code. Codes below 0x80 are the code
// byte alone; from 0x80 a 16-bit payload length and the payload follow.
// Each class derives through TSWFActionOf (or TCloneable), which gives it
// its code and copies it for Clone().
class TSWFAction {
 public:
  explicit TSWFAction(std::uint8_t code) : ActionCode(code) {}
  virtual ~TSWFAction() = default;
  TSWFAction& operator=(const TSWFAction&) = delete;

  std::uint8_t ActionCode;
  std::uint16_t Length = 0;  // payload size of the last write or read

  virtual std::unique_ptr<TSWFAction> Clone() const = 0;
  // The version of the code's row in kActionCodes, 3 for codes it lacks.
  virtual std::uint8_t MinVersion() const;
  // Parses the payload from an engine over exactly Length bytes.
  virtual void ReadData(TBitsEngine& be);
  virtual void WriteActionBody(TBitsEngine&) {}
  virtual void WriteToStream(TBitsEngine& be);
  // Bytes the record takes: 1 below 0x80, else Length + 3.
  std::uint32_t ActionSize() const { return ActionCode < 0x80 ? 1 : Length + 3u; }

 protected:
  TSWFAction(const TSWFAction&) = default;
  // Absolute position where the record being written starts.
  std::uint64_t recordStart_ = 0;
};

// The base of an action class of one code: its kCode, its constructor and
// its Clone(). A class that others derive from passes their codes on
// through the protected constructor.
template <class Derived, std::uint8_t Code, class Base = TSWFAction>
class TSWFActionOf : public TCloneable<Derived, Base> {
 public:
  static constexpr std::uint8_t kCode = Code;
  TSWFActionOf() : TCloneable<Derived, Base>(Code) {}

 protected:
  explicit TSWFActionOf(std::uint8_t code) : TCloneable<Derived, Base>(code) {}
};

// An action without payload, identified by its code alone.
template <std::uint8_t Code>
class TSWFSimpleAction final : public TSWFActionOf<TSWFSimpleAction<Code>, Code> {
  static_assert(IsSimpleActionCode(Code), "not a simple action code");
};

using TSWFActionNextFrame = TSWFSimpleAction<0x04>;
using TSWFActionPreviousFrame = TSWFSimpleAction<0x05>;
using TSWFActionPlay = TSWFSimpleAction<0x06>;
using TSWFActionStop = TSWFSimpleAction<0x07>;
using TSWFActionToggleQuality = TSWFSimpleAction<0x08>;
using TSWFActionStopSounds = TSWFSimpleAction<0x09>;
using TSWFActionAdd = TSWFSimpleAction<0x0A>;
using TSWFActionSubtract = TSWFSimpleAction<0x0B>;
using TSWFActionMultiply = TSWFSimpleAction<0x0C>;
using TSWFActionDivide = TSWFSimpleAction<0x0D>;
using TSWFActionEquals = TSWFSimpleAction<0x0E>;
using TSWFActionLess = TSWFSimpleAction<0x0F>;
using TSWFActionAnd = TSWFSimpleAction<0x10>;
using TSWFActionOr = TSWFSimpleAction<0x11>;
using TSWFActionNot = TSWFSimpleAction<0x12>;
using TSWFActionStringEquals = TSWFSimpleAction<0x13>;
using TSWFActionStringLength = TSWFSimpleAction<0x14>;
using TSWFActionStringExtract = TSWFSimpleAction<0x15>;
using TSWFActionPop = TSWFSimpleAction<0x17>;
using TSWFActionToInteger = TSWFSimpleAction<0x18>;
using TSWFActionGetVariable = TSWFSimpleAction<0x1C>;
using TSWFActionSetVariable = TSWFSimpleAction<0x1D>;
using TSWFActionSetTarget2 = TSWFSimpleAction<0x20>;
using TSWFActionStringAdd = TSWFSimpleAction<0x21>;
using TSWFActionGetProperty = TSWFSimpleAction<0x22>;
using TSWFActionSetProperty = TSWFSimpleAction<0x23>;
using TSWFActionCloneSprite = TSWFSimpleAction<0x24>;
using TSWFActionRemoveSprite = TSWFSimpleAction<0x25>;
using TSWFActionTrace = TSWFSimpleAction<0x26>;
using TSWFActionStartDrag = TSWFSimpleAction<0x27>;
using TSWFActionEndDrag = TSWFSimpleAction<0x28>;
using TSWFActionStringLess = TSWFSimpleAction<0x29>;
using TSWFActionRandomNumber = TSWFSimpleAction<0x30>;
using TSWFActionMBStringLength = TSWFSimpleAction<0x31>;
using TSWFActionCharToAscii = TSWFSimpleAction<0x32>;
using TSWFActionAsciiToChar = TSWFSimpleAction<0x33>;
using TSWFActionGetTime = TSWFSimpleAction<0x34>;
using TSWFActionMBStringExtract = TSWFSimpleAction<0x35>;
using TSWFActionMBCharToAscii = TSWFSimpleAction<0x36>;
using TSWFActionMBAsciiToChar = TSWFSimpleAction<0x37>;
using TSWFActionDelete = TSWFSimpleAction<0x3A>;
using TSWFActionDelete2 = TSWFSimpleAction<0x3B>;
using TSWFActionDefineLocal = TSWFSimpleAction<0x3C>;
using TSWFActionCallFunction = TSWFSimpleAction<0x3D>;
using TSWFActionReturn = TSWFSimpleAction<0x3E>;
using TSWFActionModulo = TSWFSimpleAction<0x3F>;
using TSWFActionNewObject = TSWFSimpleAction<0x40>;
using TSWFActionDefineLocal2 = TSWFSimpleAction<0x41>;
using TSWFActionInitArray = TSWFSimpleAction<0x42>;
using TSWFActionInitObject = TSWFSimpleAction<0x43>;
using TSWFActionTypeOf = TSWFSimpleAction<0x44>;
using TSWFActionTargetPath = TSWFSimpleAction<0x45>;
using TSWFActionEnumerate = TSWFSimpleAction<0x46>;
using TSWFActionAdd2 = TSWFSimpleAction<0x47>;
using TSWFActionLess2 = TSWFSimpleAction<0x48>;
using TSWFActionEquals2 = TSWFSimpleAction<0x49>;
using TSWFActionToNumber = TSWFSimpleAction<0x4A>;
using TSWFActionToString = TSWFSimpleAction<0x4B>;
using TSWFActionPushDuplicate = TSWFSimpleAction<0x4C>;
using TSWFActionStackSwap = TSWFSimpleAction<0x4D>;
using TSWFActionGetMember = TSWFSimpleAction<0x4E>;
using TSWFActionSetMember = TSWFSimpleAction<0x4F>;
using TSWFActionIncrement = TSWFSimpleAction<0x50>;
using TSWFActionDecrement = TSWFSimpleAction<0x51>;
using TSWFActionCallMethod = TSWFSimpleAction<0x52>;
using TSWFActionNewMethod = TSWFSimpleAction<0x53>;
using TSWFActionBitAnd = TSWFSimpleAction<0x60>;
using TSWFActionBitOr = TSWFSimpleAction<0x61>;
using TSWFActionBitXor = TSWFSimpleAction<0x62>;
using TSWFActionBitLShift = TSWFSimpleAction<0x63>;
using TSWFActionBitRShift = TSWFSimpleAction<0x64>;
using TSWFActionBitURShift = TSWFSimpleAction<0x65>;
using TSWFActionInstanceOf = TSWFSimpleAction<0x54>;
using TSWFActionEnumerate2 = TSWFSimpleAction<0x55>;
using TSWFActionStrictEquals = TSWFSimpleAction<0x66>;
using TSWFActionGreater = TSWFSimpleAction<0x67>;
using TSWFActionStringGreater = TSWFSimpleAction<0x68>;
using TSWFActionThrow = TSWFSimpleAction<0x2A>;
using TSWFActionCastOp = TSWFSimpleAction<0x2B>;
using TSWFActionImplementsOp = TSWFSimpleAction<0x2C>;
using TSWFActionExtends = TSWFSimpleAction<0x69>;
// Codes from 0x80 without fields still carry an empty payload of length 0.
using TSWFActionCall = TSWFSimpleAction<0x9E>;
using TSWFActionWaitForFrame2 = TSWFSimpleAction<0x8D>;

// A position in an action list that a branch or block-size field refers to.
// The list owns it; the referring action keeps a plain pointer. Whether the
// offset is backward or forward follows from whether the marker has been
// written when its referrer writes.
class TSWFOffsetMarker final : public TSWFActionOf<TSWFOffsetMarker, 255> {
 public:
  void WriteToStream(TBitsEngine& be) override;

  bool IsBefore = true;  // stands before its referrer (a backward offset)
  bool Enabled = true;
  bool Written = false;
  std::string Name;
  std::uint8_t OffsetSize = 2;
  std::uint64_t Reference = 0;
  std::uint64_t SavedPosition = 0;

  // Called by the referrer while it writes its offset field at position
  // `reference` of the destination: writes the backward offset, or a
  // placeholder that the marker patches when it is reached.
  void WriteOffset(TBitsEngine& payload, std::uint64_t reference);
  // Forgets the state of a previous write, so that a list writes alike twice.
  void Reset() { Written = false, pending_ = false; }

 private:
  bool pending_ = false;
};

// Raw action bytes copied verbatim, without a record header.
class TSWFActionByteCode final : public TSWFActionOf<TSWFActionByteCode, 254> {
 public:
  std::uint8_t MinVersion() const override { return 4; }
  void WriteToStream(TBitsEngine& be) override { be.WriteBytes(Data.data(), Data.size()); }
  std::vector<std::uint8_t> Data;
};

class TSWFActionGotoFrame final : public TSWFActionOf<TSWFActionGotoFrame, 0x81> {
 public:
  TSWFActionGotoFrame() = default;
  explicit TSWFActionGotoFrame(std::uint16_t frame) : Frame(frame) {}
  void ReadData(TBitsEngine& be) override { Frame = be.ReadWord(); }
  void WriteActionBody(TBitsEngine& be) override { be.WriteWord(Frame); }
  std::uint16_t Frame = 0;
};

// GetURL: the URL is written in UTF-8, the target as stored.
class TSWFActionGetUrl final : public TSWFActionOf<TSWFActionGetUrl, 0x83> {
 public:
  TSWFActionGetUrl() = default;
  TSWFActionGetUrl(std::string url, std::string target) : URL(std::move(url)), Target(std::move(target)) {}
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::string URL;
  std::string Target;
};

class TSWFActionWaitForFrame final : public TSWFActionOf<TSWFActionWaitForFrame, 0x8A> {
 public:
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::uint16_t Frame = 0;
  std::uint8_t SkipCount = 0;
};

// An action whose payload is one zero-terminated string.
class TSWFStringAction : public TSWFAction {
 public:
  explicit TSWFStringAction(std::uint8_t code) : TSWFAction(code) {}
  void ReadData(TBitsEngine& be) override { Text = be.ReadText(); }
  void WriteActionBody(TBitsEngine& be) override { be.WriteText(Text); }
  std::string Text;
};

class TSWFActionSetTarget final : public TSWFActionOf<TSWFActionSetTarget, 0x8B, TSWFStringAction> {};

class TSWFActionGoToLabel final : public TSWFActionOf<TSWFActionGoToLabel, 0x8C, TSWFStringAction> {};

// A Push value: its type byte decides how it is written. Values added in a
// form the format cannot hold are not Valid and are skipped.
struct TPushValue {
  enum Type : std::uint8_t {
    String = 0, Float = 1, Null = 2, Undefined = 3, Register = 4, Boolean = 5, Double = 6, Integer = 7,
    Constant8 = 8, Constant16 = 9
  };
  std::uint8_t ValueType = Undefined;
  std::string Text;
  double Number = 0;
  std::int64_t Int = 0;
  bool Valid = true;
  friend bool operator==(const TPushValue&, const TPushValue&) = default;
};

class TSWFActionPush final : public TSWFActionOf<TSWFActionPush, 0x96> {
 public:
  std::uint8_t MinVersion() const override;
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;

  void AddUndefined();
  void AddNull();
  void AddInteger(std::int32_t v);
  void AddSingle(float v);
  void AddDouble(double v);
  void AddBoolean(bool v);
  // Text; "FlashVar_undefined" and "FlashVar_null" stand for those values.
  void AddString(const std::string& text);
  // A value of a kind the format cannot push; it is kept but never written.
  void AddInvalid();
  // Changes a value's type; 10 is refused.
  bool SetValueType(std::size_t index, std::uint8_t type);

  std::vector<TPushValue> Values;
};

class TSWFActionStoreRegister final : public TSWFActionOf<TSWFActionStoreRegister, 0x87> {
 public:
  void ReadData(TBitsEngine& be) override { RegisterNumber = be.ReadByte(); }
  void WriteActionBody(TBitsEngine& be) override { be.WriteByte(RegisterNumber); }
  std::uint8_t RegisterNumber = 0;
};

class TSWFActionConstantPool final : public TSWFActionOf<TSWFActionConstantPool, 0x88> {
 public:
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::vector<std::string> Constants;
};

class TSWFActionGetURL2 final : public TSWFActionOf<TSWFActionGetURL2, 0x9A> {
 public:
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::uint8_t SendVarsMethod = 0;
  bool LoadTargetFlag = false;
  bool LoadVariablesFlag = false;
};

class TSWFActionGotoFrame2 final : public TSWFActionOf<TSWFActionGotoFrame2, 0x9F> {
 public:
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  bool SceneBiasFlag = false;
  bool PlayFlag = false;
  std::uint16_t SceneBias = 0;
};

// An offset field held either as an explicit value or through a marker.
struct TOffsetField {
  std::int32_t Value = 0;
  TSWFOffsetMarker* Marker = nullptr;
  void Set(std::int32_t v) { Value = v, Marker = nullptr; }
  // Writes the field into a payload that will stand at payloadStart in the
  // destination stream (markers need the field's absolute position).
  void Write(TBitsEngine& payload, std::uint64_t payloadStart) const;
};

// Jump and If: a branch offset from the end of the action.
class TSWFActionJump : public TSWFActionOf<TSWFActionJump, 0x99> {
 public:
  TSWFActionJump() = default;
  void ReadData(TBitsEngine& be) override { BranchOffset.Set(static_cast<std::int16_t>(be.ReadWord())); }
  void WriteActionBody(TBitsEngine& be) override { BranchOffset.Write(be, recordStart_ + 3); }
  TOffsetField BranchOffset;

 protected:
  explicit TSWFActionJump(std::uint8_t code) : TSWFActionOf(code) {}
};

class TSWFActionIf final : public TSWFActionOf<TSWFActionIf, 0x9D, TSWFActionJump> {};

class TSWFActionWith final : public TSWFActionOf<TSWFActionWith, 0x94> {
 public:
  void ReadData(TBitsEngine& be) override { Size.Set(be.ReadWord()); }
  void WriteActionBody(TBitsEngine& be) override { Size.Write(be, recordStart_ + 3); }
  TOffsetField Size;
};

class TSWFActionDefineFunction final : public TSWFActionOf<TSWFActionDefineFunction, 0x9B> {
 public:
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::string FunctionName;
  std::vector<std::string> Params;
  TOffsetField CodeSize;
};

class TSWFActionDefineFunction2 final : public TSWFActionOf<TSWFActionDefineFunction2, 0x8E> {
 public:
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  struct Param {
    std::uint8_t Register = 0;
    std::string Name;
    friend bool operator==(const Param&, const Param&) = default;
  };
  std::string FunctionName;
  std::uint8_t RegisterCount = 0;
  bool PreloadParent = false, PreloadRoot = false, SuppressSuper = false, PreloadSuper = false;
  bool SuppressArguments = false, PreloadArguments = false, SuppressThis = false, PreloadThis = false;
  bool PreloadGlobal = false;
  std::vector<Param> Params;
  TOffsetField CodeSize;
};

class TSWFActionTry final : public TSWFActionOf<TSWFActionTry, 0x8F> {
 public:
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  bool CatchInRegister = false;
  bool FinallyBlock = false;
  bool CatchBlock = false;
  TOffsetField TrySize;
  TOffsetField CatchSize;
  TOffsetField FinallySize;
  std::uint8_t CatchRegister = 0;
  std::string CatchName;
};

// An action of a code from 0x80 that this library has no class for: its
// payload is kept so that it writes back unchanged.
class TSWFActionUnknown final : public TCloneable<TSWFActionUnknown, TSWFAction> {
 public:
  explicit TSWFActionUnknown(std::uint8_t code) : TCloneable(code) {}
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override { be.WriteBytes(Payload.data(), Payload.size()); }
  std::vector<std::uint8_t> Payload;
};

// The action classes with fields, each of its own code (kCode); the codes
// without fields are TSWFSimpleAction.
template <class... T>
struct TActionClasses {};
using TFieldActions =
    TActionClasses<TSWFActionGotoFrame, TSWFActionGetUrl, TSWFActionWaitForFrame, TSWFActionSetTarget,
                   TSWFActionGoToLabel, TSWFActionPush, TSWFActionStoreRegister, TSWFActionConstantPool,
                   TSWFActionGetURL2, TSWFActionGotoFrame2, TSWFActionJump, TSWFActionIf, TSWFActionWith,
                   TSWFActionDefineFunction, TSWFActionDefineFunction2, TSWFActionTry>;

// The action class of a code of kActionCodes, the raw byte code (254) or a
// marker (255); none for other codes.
std::unique_ptr<TSWFAction> CreateAction(std::uint8_t code);

}  // namespace movara::swf
