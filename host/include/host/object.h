// Reference-counted objects and the class descriptions they belong to. Every object a
// handler or the plugin can see is one of these: windows, controls, exceptions, tables,
// memory blocks and the objects of the plugin's classes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

struct REALclassDefinition;

namespace host {

class Object;

// Raises NilObjectException: using nil as an object is the framework's error, not a crash.
[[noreturn]] void RaiseNilObjectException();

// Intrusive owning pointer over anything with AddRef()/Release(): objects and strings.
template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  // Takes over a reference the caller already owns (a "first reference").
  static Ref Adopt(T* raw) {
    Ref r;
    r.ptr_ = raw;
    return r;
  }
  // Takes a new reference of its own.
  static Ref Retain(T* raw) {
    if (raw)
      raw->AddRef();
    return Adopt(raw);
  }
  template <class U>
  Ref(Ref<U> other) : ptr_(other.Detach()) {}
  Ref(const Ref& other) : ptr_(other.ptr_) {
    if (ptr_)
      ptr_->AddRef();
  }
  Ref(Ref&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  Ref& operator=(Ref other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~Ref() {
    if (ptr_)
      ptr_->Release();
  }

  T* get() const { return ptr_; }
  T* operator->() const { return &**this; }
  T& operator*() const {
    if (!ptr_)
      RaiseNilObjectException();
    return *ptr_;
  }
  explicit operator bool() const { return ptr_ != nullptr; }
  // Hands the reference to the caller, who must release it.
  T* Detach() { return std::exchange(ptr_, nullptr); }
  void Reset() { *this = nullptr; }

 private:
  T* ptr_ = nullptr;
};

template <class T, class U>
bool operator==(const Ref<T>& a, const Ref<U>& b) {
  return a.get() == b.get();
}

// What the framework knows of a class: its name, its base and what runs at creation and at
// the last release. A class of the plugin also carries the record the plugin registered,
// once registration has happened.
struct ClassDescription {
  std::string name;
  const ClassDescription* super = nullptr;
  // Set by the plugin loader when a plugin registers a class of this name.
  REALclassDefinition* pluginRecord = nullptr;
  // Runs on a new object after its fields are in place (for plugin classes, the bound
  // constructor entry). May raise.
  std::function<void(Object&)> constructor;
  // Runs when the last reference goes, before the memory is freed. Must not raise.
  std::function<void(Object&)> destructor;

  bool IsA(const ClassDescription& other) const;
};

// Finds a class by name among those that have been described to the framework (host
// classes, exception classes, the application's own and the plugin's). Null when unknown.
ClassDescription* FindClass(const std::string& name);
// Records a class under its name so FindClass and the plugin's PluginNewInstance can reach
// it. A class of that name described earlier is replaced in the lookup.
void DescribeClass(ClassDescription& description);

class Object {
 public:
  explicit Object(const ClassDescription& cls) : class_(&cls) {}
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object() = default;

  const ClassDescription& Class() const { return *class_; }
  void AddRef() { ++refCount_; }
  // Drops one reference; the last one runs the class's destructor hook and frees the object.
  void Release();
  std::int64_t RefCount() const { return refCount_; }

  // Instance data of an object of a plugin class, at the offset the host writes into the
  // plugin's class record. Null for objects of other classes.
  virtual std::byte* InstanceData() { return nullptr; }

 protected:
  // Lets a subclass run its own teardown before the memory goes (the destructor hook has
  // already run by then).
  virtual void Destroy() { delete this; }

 private:
  const ClassDescription* class_;
  std::int64_t refCount_ = 1;
};

// Creates an object of the described class with its first reference: for a plugin class,
// zero-filled instance data at the registered offset, then the constructor hook. Raises
// (see exception.h) when the class is a plugin class that the plugin never registered.
Ref<Object> RuntimeNewObject(const ClassDescription& cls);

// Answers the object when it is of the class (or a subclass) and nil for nil; raises
// IllegalCastException for an object of another class.
Ref<Object> RuntimeCheckCast(Ref<Object> object, const ClassDescription& cls);

}  // namespace host
