#include "host/weak_ref.h"

#include "host/exception.h"

namespace host {

WeakRef::WeakRef(Object* object) {
  if (!object)
    return;
  auto* target = dynamic_cast<WeakReferenceable*>(object);
  if (!target) {
    Raise("RuntimeException", "a " + object->Class().name + " can't be weakly referenced");
  }
  object_ = object;
  alive_ = target->alive_;
}

Ref<Object> WeakRef::Value() const {
  const std::shared_ptr<bool> alive = alive_.lock();
  if (!alive || !*alive)
    return nullptr;
  return Ref<Object>::Retain(object_);
}

}  // namespace host
