// Weak references: a link to an object that does not keep it alive and answers nil once the
// object is gone. Windows, controls and timers can be weakly referenced.
#pragma once

#include <memory>

#include "host/object.h"

namespace host {

// Mixed into every class whose objects may be weakly referenced. A class whose destructor
// does work that a weak holder could observe calls ExpireWeakReferences first.
class WeakReferenceable {
 public:
  WeakReferenceable() = default;
  WeakReferenceable(const WeakReferenceable&) = delete;
  WeakReferenceable& operator=(const WeakReferenceable&) = delete;
  virtual ~WeakReferenceable() { ExpireWeakReferences(); }

 protected:
  void ExpireWeakReferences() { *alive_ = false; }

 private:
  friend class WeakRef;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class WeakRef {
 public:
  WeakRef() = default;
  // Raises RuntimeException for an object whose class can't be weakly referenced.
  explicit WeakRef(Object* object);

  // The object with a new reference, or nil when none was given or it is gone.
  Ref<Object> Value() const;

 private:
  Object* object_ = nullptr;
  std::weak_ptr<bool> alive_;
};

}  // namespace host
