#include "host/events.h"

#include <string>

#include "host/runtime.h"

namespace host {

void EventSource::SetEventHandler(int eventIndex, Delegate handler) {
  if (!RaisesEvent(eventIndex)) {
    Raise("RuntimeException", "no event " + std::to_string(eventIndex) + " to attach a handler to");
  }
  handlers_[eventIndex] = std::move(handler);
}

void EventSource::RaiseEvent(Object& sender, int eventIndex) {
  const auto found = handlers_.find(eventIndex);
  if (found == handlers_.end() || !found->second)
    return;
  // Copies, so that a handler replacing itself or releasing the sender stays safe.
  Delegate handler = found->second;
  Ref<Object> keepAlive = Ref<Object>::Retain(&sender);
  RuntimeInvokeHandler([&] { handler(sender); });
}

void RuntimeAddEventHandler(Object& control, int eventIndex, Delegate handler) {
  auto* source = dynamic_cast<EventSource*>(&control);
  if (!source)
    Raise("RuntimeException", "a " + control.Class().name + " raises no events");
  source->SetEventHandler(eventIndex, std::move(handler));
}

}  // namespace host
