#pragma once

// Copies of polymorphic objects made by their copy constructors.
//
// A family's root declares `virtual std::unique_ptr<Root> Clone() const = 0`
// and a protected defaulted copy constructor. Each concrete class then
// derives from TCloneable<itself, its base> instead of its base and gets its
// Clone() from its copy constructor:
//
//   class TSWFColorFill final : public TCloneable<TSWFColorFill, TSWFFillStyle> { ... };
//
// A member that owns another object copies deeply when it is a TDeepPtr (a
// sub-object created on first access) or a TOwningList (an owning list), so
// that the class's defaulted copy constructor stays right.

#include <memory>
#include <utility>
#include <vector>

namespace movara {

template <class Derived, class Base>
class TCloneable : public Base {
 public:
  using Base::Base;
  auto Clone() const -> decltype(std::declval<const Base&>().Clone()) override {
    return std::make_unique<Derived>(static_cast<const Derived&>(*this));
  }
};

// A deep copy of an object: through Clone() where its class has one.
template <class T>
std::unique_ptr<T> DeepCopy(const T& value) {
  if constexpr (requires { value.Clone(); }) {
    return value.Clone();
  } else {
    return std::make_unique<T>(value);
  }
}

// A std::unique_ptr that copies the object it owns.
template <class T>
class TDeepPtr : public std::unique_ptr<T> {
 public:
  using std::unique_ptr<T>::unique_ptr;
  TDeepPtr() = default;
  TDeepPtr(std::unique_ptr<T> p) : std::unique_ptr<T>(std::move(p)) {}
  TDeepPtr(const TDeepPtr& other) : std::unique_ptr<T>(other ? DeepCopy(*other) : nullptr) {}
  TDeepPtr(TDeepPtr&&) noexcept = default;
  TDeepPtr& operator=(const TDeepPtr& other) {
    if (this != &other) std::unique_ptr<T>::operator=(other ? DeepCopy(*other) : nullptr);
    return *this;
  }
  TDeepPtr& operator=(TDeepPtr&&) noexcept = default;
};

// An owning list (std::vector of std::unique_ptr) whose copies are deep.
template <class T>
class TOwningList : public std::vector<std::unique_ptr<T>> {
 public:
  using std::vector<std::unique_ptr<T>>::vector;
  TOwningList() = default;
  TOwningList(const TOwningList& other) : std::vector<std::unique_ptr<T>>() {
    this->reserve(other.size());
    for (const auto& item : other) this->push_back(DeepCopy(*item));
  }
  TOwningList(TOwningList&&) noexcept = default;
  TOwningList& operator=(const TOwningList& other) {
    if (this != &other) *this = TOwningList(other);
    return *this;
  }
  TOwningList& operator=(TOwningList&&) noexcept = default;
};

}  // namespace movara
