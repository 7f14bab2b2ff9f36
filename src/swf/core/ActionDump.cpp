// The action lines of a dump: one line per action, its name and fields.
#include <iomanip>
#include <limits>
#include <map>

#include "swf/core/ActionCodes.h"
#include "swf/core/DumpLines.h"
#include "swf/core/TagDump.h"

namespace movara::swf {

namespace {

using TMarkerNumbers = std::map<const TSWFOffsetMarker*, int>;

std::string ShowNumber(double v) {
  std::ostringstream s;
  s << std::setprecision(std::numeric_limits<double>::max_digits10) << v;
  return s.str();
}

std::string ShowOffset(const TOffsetField& f, const TMarkerNumbers& markers) {
  if (f.Marker == nullptr) return std::to_string(f.Value);
  const auto found = markers.find(f.Marker);
  return found != markers.end() ? "marker " + std::to_string(found->second) : "marker outside the list";
}

std::string ShowPushValue(const TPushValue& v) {
  switch (v.ValueType) {
    case TPushValue::String: return "string \"" + v.Text + "\"";
    case TPushValue::Float: return "float " + ShowNumber(v.Number);
    case TPushValue::Null: return "null";
    case TPushValue::Undefined: return "undefined";
    case TPushValue::Register: return "register " + std::to_string(v.Int);
    case TPushValue::Boolean: return "boolean " + std::to_string(v.Int);
    case TPushValue::Double: return "double " + ShowNumber(v.Number);
    case TPushValue::Integer: return "integer " + std::to_string(v.Int);
    case TPushValue::Constant8: return "constant8 " + std::to_string(v.Int);
    case TPushValue::Constant16: return "constant16 " + std::to_string(v.Int);
    default: return "type " + std::to_string(v.ValueType);
  }
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : ", ") + p;
  return out;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::ostringstream s;
  for (const std::uint8_t b : bytes) s << ' ' << std::hex << std::setw(2) << std::setfill('0') << +b;
  return bytes.size() <= 32 ? s.str() : " " + std::to_string(bytes.size()) + " bytes, hash " + DataHash(bytes);
}

std::string F(const char* name, const std::string& value) { return std::string(name) + " = " + value; }
std::string F(const char* name, std::int64_t value) { return F(name, std::to_string(value)); }
std::string Q(const std::string& text) { return '"' + text + '"'; }

std::string FunctionFields(const TSWFActionDefineFunction2& f, const TMarkerNumbers& markers) {
  std::vector<std::string> params;
  for (const auto& p : f.Params) params.push_back(std::to_string(p.Register) + ":" + Q(p.Name));
  return Join({F("FunctionName", Q(f.FunctionName)), F("RegisterCount", f.RegisterCount),
               F("PreloadParent", f.PreloadParent), F("PreloadRoot", f.PreloadRoot), F("SuppressSuper", f.SuppressSuper),
               F("PreloadSuper", f.PreloadSuper), F("SuppressArguments", f.SuppressArguments),
               F("PreloadArguments", f.PreloadArguments), F("SuppressThis", f.SuppressThis),
               F("PreloadThis", f.PreloadThis), F("PreloadGlobal", f.PreloadGlobal), F("Params", Join(params)),
               F("CodeSize", ShowOffset(f.CodeSize, markers))});
}

std::string TryFields(const TSWFActionTry& t, const TMarkerNumbers& markers) {
  return Join({F("CatchInRegister", t.CatchInRegister), F("FinallyBlock", t.FinallyBlock),
               F("CatchBlock", t.CatchBlock), F("TrySize", ShowOffset(t.TrySize, markers)),
               F("CatchSize", ShowOffset(t.CatchSize, markers)), F("FinallySize", ShowOffset(t.FinallySize, markers)),
               t.CatchInRegister ? F("CatchRegister", t.CatchRegister) : F("CatchName", Q(t.CatchName))});
}

// The fields of an action, on one line.
std::string ActionFields(const TSWFAction& a, const TMarkerNumbers& markers) {
  if (const auto* g = dynamic_cast<const TSWFActionGotoFrame*>(&a)) return F("Frame", g->Frame);
  if (const auto* u = dynamic_cast<const TSWFActionGetUrl*>(&a)) return Join({F("URL", Q(u->URL)), F("Target", Q(u->Target))});
  if (const auto* w = dynamic_cast<const TSWFActionWaitForFrame*>(&a)) {
    return Join({F("Frame", w->Frame), F("SkipCount", w->SkipCount)});
  }
  if (const auto* s = dynamic_cast<const TSWFStringAction*>(&a)) return F("Text", Q(s->Text));
  if (const auto* p = dynamic_cast<const TSWFActionPush*>(&a)) {
    std::vector<std::string> values;
    for (const auto& v : p->Values) {
      if (v.Valid) values.push_back(ShowPushValue(v));
    }
    return F("Values", Join(values));
  }
  if (const auto* r = dynamic_cast<const TSWFActionStoreRegister*>(&a)) return F("RegisterNumber", r->RegisterNumber);
  if (const auto* c = dynamic_cast<const TSWFActionConstantPool*>(&a)) {
    std::vector<std::string> constants;
    for (const auto& k : c->Constants) constants.push_back(Q(k));
    return F("Constants", Join(constants));
  }
  if (const auto* u = dynamic_cast<const TSWFActionGetURL2*>(&a)) {
    return Join({F("SendVarsMethod", u->SendVarsMethod), F("LoadTargetFlag", u->LoadTargetFlag),
                 F("LoadVariablesFlag", u->LoadVariablesFlag)});
  }
  if (const auto* g = dynamic_cast<const TSWFActionGotoFrame2*>(&a)) {
    return Join({F("SceneBiasFlag", g->SceneBiasFlag), F("PlayFlag", g->PlayFlag),
                 g->SceneBiasFlag ? F("SceneBias", g->SceneBias) : std::string("no SceneBias")});
  }
  if (const auto* j = dynamic_cast<const TSWFActionJump*>(&a)) return F("BranchOffset", ShowOffset(j->BranchOffset, markers));
  if (const auto* w = dynamic_cast<const TSWFActionWith*>(&a)) return F("Size", ShowOffset(w->Size, markers));
  if (const auto* f = dynamic_cast<const TSWFActionDefineFunction*>(&a)) {
    std::vector<std::string> params;
    for (const auto& p : f->Params) params.push_back(Q(p));
    return Join({F("FunctionName", Q(f->FunctionName)), F("Params", Join(params)),
                 F("CodeSize", ShowOffset(f->CodeSize, markers))});
  }
  if (const auto* f2 = dynamic_cast<const TSWFActionDefineFunction2*>(&a)) return FunctionFields(*f2, markers);
  if (const auto* t = dynamic_cast<const TSWFActionTry*>(&a)) return TryFields(*t, markers);
  if (const auto* u = dynamic_cast<const TSWFActionUnknown*>(&a)) return "payload" + Hex(u->Payload);
  if (const auto* b = dynamic_cast<const TSWFActionByteCode*>(&a)) return "bytes" + Hex(b->Data);
  return "";
}

std::string NameOf(const TSWFAction& a) {
  if (dynamic_cast<const TSWFActionByteCode*>(&a) != nullptr) return "ByteCode";
  // A code read without a class of its own is unknown, whatever its number.
  if (dynamic_cast<const TSWFActionUnknown*>(&a) != nullptr) return "Unknown";
  return ActionName(a.ActionCode);
}

}  // namespace

std::string DescribeActions(const TSWFActionList& actions, int indent) {
  TMarkerNumbers markers;
  for (const auto& a : actions) {
    if (const auto* m = dynamic_cast<const TSWFOffsetMarker*>(a.get())) markers.emplace(m, static_cast<int>(markers.size()));
  }
  dump::TLines lines(indent);
  for (const auto& a : actions) {
    if (const auto* m = dynamic_cast<const TSWFOffsetMarker*>(a.get())) {
      lines.Line("marker " + std::to_string(markers.at(m)));
      continue;
    }
    const std::string fields = ActionFields(*a, markers);
    lines.Line(NameOf(*a) + " (0x" + dump::ShowHex(a->ActionCode) + ")" + (fields.empty() ? "" : ": " + fields));
  }
  return lines.Text();
}

}  // namespace movara::swf
