// Control events: a control raises an event by its index and the delegate attached for that
// index runs, on the main thread, through RuntimeInvokeHandler (an exception that leaves it
// is reported as unhandled).
#pragma once

#include <functional>
#include <map>
#include <string>

#include "host/exception.h"
#include "host/object.h"
#include "host/weak_ref.h"

namespace host {

using Delegate = std::function<void(Object& sender)>;

// Binds a handler method of a window (or any weakly referenceable object) to a control
// kind. The delegate holds its target weakly: once the target is gone, invoking it raises
// NilObjectException. A sender of another kind raises IllegalCastException.
template <class Target, class Sender>
Delegate RuntimeCreateDelegate(Target& target, void (Target::*method)(Sender&)) {
  return [weak = WeakRef(&target), method](Object& sender) {
    Ref<Object> alive = weak.Value();
    if (!alive) {
      Raise("NilObjectException", "the object that handles this event no longer exists");
    }
    auto* typedSender = dynamic_cast<Sender*>(&sender);
    if (!typedSender) {
      Raise("IllegalCastException",
            "an event of a " + sender.Class().name + " reached a handler for another kind");
    }
    (static_cast<Target&>(*alive).*method)(*typedSender);
  };
}

// Implemented by every object that raises events: controls and timers.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Attaches the delegate to the event, replacing an earlier one. Raises RuntimeException
  // for an index the object never raises.
  void SetEventHandler(int eventIndex, Delegate handler);

 protected:
  virtual bool RaisesEvent(int eventIndex) const = 0;
  // Runs the delegate attached for the event, if any; the sender stays alive meanwhile.
  void RaiseEvent(Object& sender, int eventIndex);

 private:
  std::map<int, Delegate> handlers_;
};

// Attaches a delegate to one event of a control: the delegate runs on each event. Raises
// RuntimeException for an object that raises no events or for an unknown index.
void RuntimeAddEventHandler(Object& control, int eventIndex, Delegate handler);

}  // namespace host
