#include "swf/builder/FlashActionScript.h"

#include "base/MemoryStream.h"

namespace movara::swf {

TFlashActionScript::TFlashActionScript(TFlashMovie* owner, TSWFActionList* list) : TFlashObject(owner) {
  if (list == nullptr) {
    owned_ = std::make_unique<TSWFActionList>();
    list = owned_.get();
  }
  list_ = list;
}

void TFlashActionScript::Retarget(TSWFActionList& list) {
  owned_.reset();
  list_ = &list;
}

TSWFActionGetUrl& TFlashActionScript::GetUrl(const std::string& url, const std::string& target) {
  return list_->Add<TSWFActionGetUrl>(url, target);
}

std::uint8_t TFlashActionScript::MinVersion() const {
  std::uint8_t v = 1;
  for (const auto& a : *list_) v = std::max(v, a->MinVersion());
  return v;
}

void TFlashActionScript::AssignFrom(const TBasedSWFObject& source) {
  const auto* s = dynamic_cast<const TFlashActionScript*>(&source);
  if (s == nullptr) return;
  // The copies move over whole: cloning them once more would leave their
  // offsets pointing at the markers of a list that is gone.
  list_->Append(s->list_->Clone());
}

void TFlashActionScript::WriteToStream(TBitsEngine& be) {
  TMemoryStream body;
  TBitsEngine bodyEngine(body);
  list_->WriteActions(bodyEngine);
  bodyEngine.WriteByte(0);
  WriteTag(be, tagDoAction, body);
}

}  // namespace movara::swf
