#pragma once

#include <memory>
#include <string>

#include "swf/builder/FlashObject.h"
#include "swf/core/ActionList.h"

namespace movara::swf {

// A thin builder over an action list; standing alone in a movie it writes
// the actions as a DoAction tag.
class TFlashActionScript : public TFlashObject {
 public:
  // Over a list owned elsewhere, or (list none) over a list of its own.
  TFlashActionScript(TFlashMovie* owner, TSWFActionList* list);

  TSWFActionList& ActionList() { return *list_; }
  bool OwnsList() const { return owned_ != nullptr; }
  TSWFActionGetUrl& GetUrl(const std::string& url, const std::string& target);
  TSWFAction& Action(std::size_t index) { return (*list_)[index]; }

  std::uint8_t MinVersion() const override;
  void AssignFrom(const TBasedSWFObject& source) override;
  void WriteToStream(TBitsEngine& be) override;
  // Points the script at another list it does not own.
  void Retarget(TSWFActionList& list);

 private:
  std::unique_ptr<TSWFActionList> owned_;
  TSWFActionList* list_;
};

}  // namespace movara::swf
