#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/core/BitsEngine.h"

namespace movara::swf {

// One action record of the SWF byte code. Codes below 0x80 are the code
// byte alone; from 0x80 a 16-bit payload length and the payload follow.
class TSWFAction {
 public:
  explicit TSWFAction(std::uint8_t code) : ActionCode(code) {}
  virtual ~TSWFAction() = default;
  TSWFAction(const TSWFAction&) = delete;
  TSWFAction& operator=(const TSWFAction&) = delete;

  std::uint8_t ActionCode;
  std::uint16_t Length = 0;  // payload size of the last write or read

  virtual std::unique_ptr<TSWFAction> Clone() const = 0;
  virtual std::uint8_t MinVersion() const { return 3; }
  // Parses the payload from an engine over exactly Length bytes.
  virtual void ReadData(TBitsEngine& be);
  virtual void WriteActionBody(TBitsEngine&) {}
  virtual void WriteToStream(TBitsEngine& be);
  // Bytes the record takes: 1 below 0x80, else Length + 3.
  std::uint32_t ActionSize() const { return ActionCode < 0x80 ? 1 : Length + 3u; }

 protected:
  // Absolute position where the record being written starts.
  std::uint64_t recordStart_ = 0;
};

// An action without payload, identified by its code and version alone.
template <std::uint8_t Code, std::uint8_t Version>
class TSWFSimpleAction final : public TSWFAction {
 public:
  TSWFSimpleAction() : TSWFAction(Code) {}
  std::unique_ptr<TSWFAction> Clone() const override { return std::make_unique<TSWFSimpleAction>(); }
  std::uint8_t MinVersion() const override { return Version; }
};

using TSWFActionNextFrame = TSWFSimpleAction<0x04, 3>;
using TSWFActionPreviousFrame = TSWFSimpleAction<0x05, 3>;
using TSWFActionPlay = TSWFSimpleAction<0x06, 3>;
using TSWFActionStop = TSWFSimpleAction<0x07, 3>;
using TSWFActionToggleQuality = TSWFSimpleAction<0x08, 3>;
using TSWFActionStopSounds = TSWFSimpleAction<0x09, 3>;
using TSWFActionAdd = TSWFSimpleAction<0x0A, 4>;
using TSWFActionSubtract = TSWFSimpleAction<0x0B, 4>;
using TSWFActionMultiply = TSWFSimpleAction<0x0C, 4>;
using TSWFActionDivide = TSWFSimpleAction<0x0D, 4>;
using TSWFActionEquals = TSWFSimpleAction<0x0E, 4>;
using TSWFActionLess = TSWFSimpleAction<0x0F, 4>;
using TSWFActionAnd = TSWFSimpleAction<0x10, 4>;
using TSWFActionOr = TSWFSimpleAction<0x11, 4>;
using TSWFActionNot = TSWFSimpleAction<0x12, 4>;
using TSWFActionStringEquals = TSWFSimpleAction<0x13, 4>;
using TSWFActionStringLength = TSWFSimpleAction<0x14, 4>;
using TSWFActionStringExtract = TSWFSimpleAction<0x15, 4>;
using TSWFActionPop = TSWFSimpleAction<0x17, 4>;
using TSWFActionToInteger = TSWFSimpleAction<0x18, 4>;
using TSWFActionGetVariable = TSWFSimpleAction<0x1C, 4>;
using TSWFActionSetVariable = TSWFSimpleAction<0x1D, 4>;
using TSWFActionSetTarget2 = TSWFSimpleAction<0x20, 4>;
using TSWFActionStringAdd = TSWFSimpleAction<0x21, 4>;
using TSWFActionGetProperty = TSWFSimpleAction<0x22, 4>;
using TSWFActionSetProperty = TSWFSimpleAction<0x23, 4>;
using TSWFActionCloneSprite = TSWFSimpleAction<0x24, 4>;
using TSWFActionRemoveSprite = TSWFSimpleAction<0x25, 4>;
using TSWFActionTrace = TSWFSimpleAction<0x26, 4>;
using TSWFActionStartDrag = TSWFSimpleAction<0x27, 4>;
using TSWFActionEndDrag = TSWFSimpleAction<0x28, 4>;
using TSWFActionStringLess = TSWFSimpleAction<0x29, 4>;
using TSWFActionRandomNumber = TSWFSimpleAction<0x30, 4>;
using TSWFActionMBStringLength = TSWFSimpleAction<0x31, 4>;
using TSWFActionCharToAscii = TSWFSimpleAction<0x32, 4>;
using TSWFActionAsciiToChar = TSWFSimpleAction<0x33, 4>;
using TSWFActionGetTime = TSWFSimpleAction<0x34, 4>;
using TSWFActionMBStringExtract = TSWFSimpleAction<0x35, 4>;
using TSWFActionMBCharToAscii = TSWFSimpleAction<0x36, 4>;
using TSWFActionMBAsciiToChar = TSWFSimpleAction<0x37, 4>;
using TSWFActionDelete = TSWFSimpleAction<0x3A, 5>;
using TSWFActionDelete2 = TSWFSimpleAction<0x3B, 5>;
using TSWFActionDefineLocal = TSWFSimpleAction<0x3C, 5>;
using TSWFActionCallFunction = TSWFSimpleAction<0x3D, 5>;
using TSWFActionReturn = TSWFSimpleAction<0x3E, 5>;
using TSWFActionModulo = TSWFSimpleAction<0x3F, 5>;
using TSWFActionNewObject = TSWFSimpleAction<0x40, 5>;
using TSWFActionDefineLocal2 = TSWFSimpleAction<0x41, 5>;
using TSWFActionInitArray = TSWFSimpleAction<0x42, 5>;
using TSWFActionInitObject = TSWFSimpleAction<0x43, 5>;
using TSWFActionTypeOf = TSWFSimpleAction<0x44, 5>;
using TSWFActionTargetPath = TSWFSimpleAction<0x45, 5>;
using TSWFActionEnumerate = TSWFSimpleAction<0x46, 5>;
using TSWFActionAdd2 = TSWFSimpleAction<0x47, 5>;
using TSWFActionLess2 = TSWFSimpleAction<0x48, 5>;
using TSWFActionEquals2 = TSWFSimpleAction<0x49, 5>;
using TSWFActionToNumber = TSWFSimpleAction<0x4A, 5>;
using TSWFActionToString = TSWFSimpleAction<0x4B, 5>;
using TSWFActionPushDuplicate = TSWFSimpleAction<0x4C, 5>;
using TSWFActionStackSwap = TSWFSimpleAction<0x4D, 5>;
using TSWFActionGetMember = TSWFSimpleAction<0x4E, 5>;
using TSWFActionSetMember = TSWFSimpleAction<0x4F, 5>;
using TSWFActionIncrement = TSWFSimpleAction<0x50, 5>;
using TSWFActionDecrement = TSWFSimpleAction<0x51, 5>;
using TSWFActionCallMethod = TSWFSimpleAction<0x52, 5>;
using TSWFActionNewMethod = TSWFSimpleAction<0x53, 5>;
using TSWFActionBitAnd = TSWFSimpleAction<0x60, 5>;
using TSWFActionBitOr = TSWFSimpleAction<0x61, 5>;
using TSWFActionBitXor = TSWFSimpleAction<0x62, 5>;
using TSWFActionBitLShift = TSWFSimpleAction<0x63, 5>;
using TSWFActionBitRShift = TSWFSimpleAction<0x64, 5>;
using TSWFActionBitURShift = TSWFSimpleAction<0x65, 5>;
using TSWFActionInstanceOf = TSWFSimpleAction<0x54, 6>;
using TSWFActionEnumerate2 = TSWFSimpleAction<0x55, 6>;
using TSWFActionStrictEquals = TSWFSimpleAction<0x66, 6>;
using TSWFActionGreater = TSWFSimpleAction<0x67, 6>;
using TSWFActionStringGreater = TSWFSimpleAction<0x68, 6>;
using TSWFActionThrow = TSWFSimpleAction<0x2A, 7>;
using TSWFActionCastOp = TSWFSimpleAction<0x2B, 7>;
using TSWFActionImplementsOp = TSWFSimpleAction<0x2C, 7>;
using TSWFActionExtends = TSWFSimpleAction<0x69, 7>;
// Codes from 0x80 without fields still carry an empty payload of length 0.
using TSWFActionCall = TSWFSimpleAction<0x9E, 4>;
using TSWFActionWaitForFrame2 = TSWFSimpleAction<0x8D, 4>;

// A position in an action list that a branch or block-size field refers to.
// The list owns it; the referring action keeps a plain pointer. Whether the
// offset is backward or forward follows from whether the marker has been
// written when its referrer writes.
class TSWFOffsetMarker final : public TSWFAction {
 public:
  static constexpr std::uint8_t kCode = 255;
  TSWFOffsetMarker() : TSWFAction(kCode) {}
  std::unique_ptr<TSWFAction> Clone() const override;
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
class TSWFActionByteCode final : public TSWFAction {
 public:
  static constexpr std::uint8_t kCode = 254;
  TSWFActionByteCode() : TSWFAction(kCode) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 4; }
  void WriteToStream(TBitsEngine& be) override { be.WriteBytes(Data.data(), Data.size()); }
  std::vector<std::uint8_t> Data;
};

class TSWFActionGotoFrame final : public TSWFAction {
 public:
  TSWFActionGotoFrame() : TSWFAction(0x81) {}
  explicit TSWFActionGotoFrame(std::uint16_t frame) : TSWFAction(0x81), Frame(frame) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  void ReadData(TBitsEngine& be) override { Frame = be.ReadWord(); }
  void WriteActionBody(TBitsEngine& be) override { be.WriteWord(Frame); }
  std::uint16_t Frame = 0;
};

// GetURL: the URL is written in UTF-8, the target as stored.
class TSWFActionGetUrl final : public TSWFAction {
 public:
  TSWFActionGetUrl() : TSWFAction(0x83) {}
  TSWFActionGetUrl(std::string url, std::string target) : TSWFAction(0x83), URL(std::move(url)), Target(std::move(target)) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::string URL;
  std::string Target;
};

class TSWFActionWaitForFrame final : public TSWFAction {
 public:
  TSWFActionWaitForFrame() : TSWFAction(0x8A) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::uint16_t Frame = 0;
  std::uint8_t SkipCount = 0;
};

// An action whose payload is one zero-terminated string.
class TSWFStringAction : public TSWFAction {
 public:
  using TSWFAction::TSWFAction;
  void ReadData(TBitsEngine& be) override { Text = be.ReadText(); }
  void WriteActionBody(TBitsEngine& be) override { be.WriteText(Text); }
  std::string Text;
};

class TSWFActionSetTarget final : public TSWFStringAction {
 public:
  TSWFActionSetTarget() : TSWFStringAction(0x8B) {}
  std::unique_ptr<TSWFAction> Clone() const override;
};

class TSWFActionGoToLabel final : public TSWFStringAction {
 public:
  TSWFActionGoToLabel() : TSWFStringAction(0x8C) {}
  std::unique_ptr<TSWFAction> Clone() const override;
};

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

class TSWFActionPush final : public TSWFAction {
 public:
  TSWFActionPush() : TSWFAction(0x96) {}
  std::unique_ptr<TSWFAction> Clone() const override;
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

class TSWFActionStoreRegister final : public TSWFAction {
 public:
  TSWFActionStoreRegister() : TSWFAction(0x87) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 5; }
  void ReadData(TBitsEngine& be) override { RegisterNumber = be.ReadByte(); }
  void WriteActionBody(TBitsEngine& be) override { be.WriteByte(RegisterNumber); }
  std::uint8_t RegisterNumber = 0;
};

class TSWFActionConstantPool final : public TSWFAction {
 public:
  TSWFActionConstantPool() : TSWFAction(0x88) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 5; }
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::vector<std::string> Constants;
};

class TSWFActionGetURL2 final : public TSWFAction {
 public:
  TSWFActionGetURL2() : TSWFAction(0x9A) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 4; }
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::uint8_t SendVarsMethod = 0;
  bool LoadTargetFlag = false;
  bool LoadVariablesFlag = false;
};

class TSWFActionGotoFrame2 final : public TSWFAction {
 public:
  TSWFActionGotoFrame2() : TSWFAction(0x9F) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 4; }
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
class TSWFActionJump : public TSWFAction {
 public:
  TSWFActionJump() : TSWFAction(0x99) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 4; }
  void ReadData(TBitsEngine& be) override { BranchOffset.Set(static_cast<std::int16_t>(be.ReadWord())); }
  void WriteActionBody(TBitsEngine& be) override { BranchOffset.Write(be, recordStart_ + 3); }
  TOffsetField BranchOffset;

 protected:
  explicit TSWFActionJump(std::uint8_t code) : TSWFAction(code) {}
};

class TSWFActionIf final : public TSWFActionJump {
 public:
  TSWFActionIf() : TSWFActionJump(0x9D) {}
  std::unique_ptr<TSWFAction> Clone() const override;
};

class TSWFActionWith final : public TSWFAction {
 public:
  TSWFActionWith() : TSWFAction(0x94) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 5; }
  void ReadData(TBitsEngine& be) override { Size.Set(be.ReadWord()); }
  void WriteActionBody(TBitsEngine& be) override { Size.Write(be, recordStart_ + 3); }
  TOffsetField Size;
};

class TSWFActionDefineFunction final : public TSWFAction {
 public:
  TSWFActionDefineFunction() : TSWFAction(0x9B) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 5; }
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override;
  std::string FunctionName;
  std::vector<std::string> Params;
  TOffsetField CodeSize;
};

class TSWFActionDefineFunction2 final : public TSWFAction {
 public:
  TSWFActionDefineFunction2() : TSWFAction(0x8E) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 7; }
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

class TSWFActionTry final : public TSWFAction {
 public:
  TSWFActionTry() : TSWFAction(0x8F) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  std::uint8_t MinVersion() const override { return 7; }
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
class TSWFActionUnknown final : public TSWFAction {
 public:
  explicit TSWFActionUnknown(std::uint8_t code) : TSWFAction(code) {}
  std::unique_ptr<TSWFAction> Clone() const override;
  void ReadData(TBitsEngine& be) override;
  void WriteActionBody(TBitsEngine& be) override { be.WriteBytes(Payload.data(), Payload.size()); }
  std::vector<std::uint8_t> Payload;
};

// The action class of a code, or none for a code the table does not know.
std::unique_ptr<TSWFAction> CreateAction(std::uint8_t code);

}  // namespace movara::swf
