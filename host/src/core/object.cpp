#include "host/object.h"

#include <cstring>
#include <new>
#include <string>
#include <unordered_map>

#include "core_internal.h"
#include "host/exception.h"
#include "real_plugin_abi.h"

namespace host {
namespace {

std::unordered_map<std::string, ClassDescription*>& Classes() {
  static std::unordered_map<std::string, ClassDescription*> classes;
  return classes;
}

constexpr std::size_t kInstanceDataAlignment = 16;

// An object of a plugin class: the framework's object header followed, at a fixed offset,
// by the plugin's instance data in the same allocation.
class PluginObject final : public Object {
 public:
  static Object* Create(const ClassDescription& cls, std::size_t dataSize);
  std::byte* InstanceData() override {
    return reinterpret_cast<std::byte*>(static_cast<Object*>(this)) +
           core::PluginInstanceDataOffset();
  }

 protected:
  void Destroy() override {
    void* memory = this;
    this->~PluginObject();
    ::operator delete (memory, std::align_val_t{kInstanceDataAlignment});
  }

 private:
  using Object::Object;
};

Object* PluginObject::Create(const ClassDescription& cls, std::size_t dataSize) {
  const std::size_t offset = core::PluginInstanceDataOffset();
  void* memory = ::operator new (offset + dataSize, std::align_val_t{kInstanceDataAlignment});
  auto* object = new (memory) PluginObject(cls);
  // The plugin reads its data at REALobject + offset, and a REALobject is the Object*.
  static_assert(std::is_base_of_v<Object, PluginObject>);
  std::memset(object->InstanceData(), 0, dataSize);
  return object;
}

}  // namespace

std::size_t core::PluginInstanceDataOffset() {
  return (sizeof(PluginObject) + kInstanceDataAlignment - 1) / kInstanceDataAlignment *
         kInstanceDataAlignment;
}

bool ClassDescription::IsA(const ClassDescription& other) const {
  for (const ClassDescription* c = this; c; c = c->super) {
    if (c == &other)
      return true;
  }
  return false;
}

ClassDescription* FindClass(const std::string& name) {
  core::DescribeBuiltinClasses();
  auto it = Classes().find(name);
  return it == Classes().end() ? nullptr : it->second;
}

void DescribeClass(ClassDescription& description) {
  Classes()[description.name] = &description;
}

void Object::Release() {
  if (--refCount_ > 0)
    return;
  // A destructor hook may take and drop references of its own without freeing us twice.
  refCount_ = 1;
  if (class_->destructor) {
    try {
      class_->destructor(*this);
    } catch (...) {
      // The object goes regardless: a release has no caller to report to.
    }
  }
  Destroy();
}

Ref<Object> RuntimeNewObject(const ClassDescription& cls) {
  Ref<Object> object;
  if (const REALclassDefinition* record = cls.pluginRecord) {
    object = Ref<Object>::Adopt(PluginObject::Create(cls, record->dataSize));
  } else if (core::IsBoundPluginClass(cls.name)) {
    Raise("PluginException",
          "no object of class " + cls.name + " can be created: its plugin did not register it");
  } else if (const ClassDescription* runtime = ExceptionClass("RuntimeException");
             runtime && cls.IsA(*runtime)) {
    object = Ref<Object>::Adopt(new ExceptionObject(cls));
  } else {
    object = Ref<Object>::Adopt(new Object(cls));
  }
  if (cls.constructor)
    cls.constructor(*object);
  return object;
}

Ref<Object> RuntimeCheckCast(Ref<Object> object, const ClassDescription& cls) {
  if (!object || object->Class().IsA(cls))
    return object;
  Raise("IllegalCastException",
        "an object of class " + object->Class().name + " is not a " + cls.name);
}

}  // namespace host
