#pragma once

#include <cstdint>

namespace movara::swf {

// An action code this library knows: the oldest player version that runs it,
// its name, and whether it carries fields (a class of its own) or is the code
// alone (a TSWFSimpleAction).
struct TActionCode {
  std::uint8_t Code;
  std::uint8_t MinVersion;
  const char* Name;
  bool HasFields;
};

// Every known action code, in code order. The action factory, the simple
// action classes (their versions) and dumps (the names) all read this table;
// a new action is a new row here, plus a class of its own when it has fields.
inline constexpr TActionCode kActionCodes[] = {
    {0x04, 3, "NextFrame", false},
    {0x05, 3, "PreviousFrame", false},
    {0x06, 3, "Play", false},
    {0x07, 3, "Stop", false},
    {0x08, 3, "ToggleQuality", false},
    {0x09, 3, "StopSounds", false},
    {0x0A, 4, "Add", false},
    {0x0B, 4, "Subtract", false},
    {0x0C, 4, "Multiply", false},
    {0x0D, 4, "Divide", false},
    {0x0E, 4, "Equals", false},
    {0x0F, 4, "Less", false},
    {0x10, 4, "And", false},
    {0x11, 4, "Or", false},
    {0x12, 4, "Not", false},
    {0x13, 4, "StringEquals", false},
    {0x14, 4, "StringLength", false},
    {0x15, 4, "StringExtract", false},
    {0x17, 4, "Pop", false},
    {0x18, 4, "ToInteger", false},
    {0x1C, 4, "GetVariable", false},
    {0x1D, 4, "SetVariable", false},
    {0x20, 4, "SetTarget2", false},
    {0x21, 4, "StringAdd", false},
    {0x22, 4, "GetProperty", false},
    {0x23, 4, "SetProperty", false},
    {0x24, 4, "CloneSprite", false},
    {0x25, 4, "RemoveSprite", false},
    {0x26, 4, "Trace", false},
    {0x27, 4, "StartDrag", false},
    {0x28, 4, "EndDrag", false},
    {0x29, 4, "StringLess", false},
    {0x2A, 7, "Throw", false},
    {0x2B, 7, "CastOp", false},
    {0x2C, 7, "ImplementsOp", false},
    {0x30, 4, "RandomNumber", false},
    {0x31, 4, "MBStringLength", false},
    {0x32, 4, "CharToAscii", false},
    {0x33, 4, "AsciiToChar", false},
    {0x34, 4, "GetTime", false},
    {0x35, 4, "MBStringExtract", false},
    {0x36, 4, "MBCharToAscii", false},
    {0x37, 4, "MBAsciiToChar", false},
    {0x3A, 5, "Delete", false},
    {0x3B, 5, "Delete2", false},
    {0x3C, 5, "DefineLocal", false},
    {0x3D, 5, "CallFunction", false},
    {0x3E, 5, "Return", false},
    {0x3F, 5, "Modulo", false},
    {0x40, 5, "NewObject", false},
    {0x41, 5, "DefineLocal2", false},
    {0x42, 5, "InitArray", false},
    {0x43, 5, "InitObject", false},
    {0x44, 5, "TypeOf", false},
    {0x45, 5, "TargetPath", false},
    {0x46, 5, "Enumerate", false},
    {0x47, 5, "Add2", false},
    {0x48, 5, "Less2", false},
    {0x49, 5, "Equals2", false},
    {0x4A, 5, "ToNumber", false},
    {0x4B, 5, "ToString", false},
    {0x4C, 5, "PushDuplicate", false},
    {0x4D, 5, "StackSwap", false},
    {0x4E, 5, "GetMember", false},
    {0x4F, 5, "SetMember", false},
    {0x50, 5, "Increment", false},
    {0x51, 5, "Decrement", false},
    {0x52, 5, "CallMethod", false},
    {0x53, 5, "NewMethod", false},
    {0x54, 6, "InstanceOf", false},
    {0x55, 6, "Enumerate2", false},
    {0x60, 5, "BitAnd", false},
    {0x61, 5, "BitOr", false},
    {0x62, 5, "BitXor", false},
    {0x63, 5, "BitLShift", false},
    {0x64, 5, "BitRShift", false},
    {0x65, 5, "BitURShift", false},
    {0x66, 6, "StrictEquals", false},
    {0x67, 6, "Greater", false},
    {0x68, 6, "StringGreater", false},
    {0x69, 7, "Extends", false},
    {0x81, 3, "GotoFrame", true},
    {0x83, 3, "GetUrl", true},
    {0x87, 5, "StoreRegister", true},
    {0x88, 5, "ConstantPool", true},
    {0x8A, 3, "WaitForFrame", true},
    {0x8B, 3, "SetTarget", true},
    {0x8C, 3, "GoToLabel", true},
    {0x8D, 4, "WaitForFrame2", false},
    {0x8E, 7, "DefineFunction2", true},
    {0x8F, 7, "Try", true},
    {0x94, 5, "With", true},
    {0x96, 4, "Push", true},
    {0x99, 4, "Jump", true},
    {0x9A, 4, "GetURL2", true},
    {0x9B, 5, "DefineFunction", true},
    {0x9D, 4, "If", true},
    {0x9E, 4, "Call", false},
    {0x9F, 4, "GotoFrame2", true},
};

// The row of a code, or none.
constexpr const TActionCode* FindActionCode(std::uint8_t code) {
  for (const TActionCode& row : kActionCodes) {
    if (row.Code == code) return &row;
  }
  return nullptr;
}

// Whether a code is a row of the table without fields. (No pointer
// comparison: it must also evaluate at compile time under the sanitizers.)
constexpr bool IsSimpleActionCode(std::uint8_t code) {
  for (const TActionCode& row : kActionCodes) {
    if (row.Code == code) return !row.HasFields;
  }
  return false;
}

// The name of an action code, "Unknown" for a code the table lacks.
constexpr const char* ActionName(std::uint8_t code) {
  const TActionCode* row = FindActionCode(code);
  return row != nullptr ? row->Name : "Unknown";
}

}  // namespace movara::swf
