// The property parameter of one plugin property accessor: asked of the framework on the
// accessor's first call and kept for the life of the process.
#pragma once

#include <cstdint>
#include <string_view>

class PropertyParam {
 public:
  using Source = std::intptr_t (*)(std::string_view className, std::string_view propertyName,
                                   int getter);

  // getter: 1 for a getter, 0 for a setter.
  PropertyParam(std::string_view className, std::string_view propertyName, int getter,
                Source source = DefaultSource());

  // The parameter, asked for on the first call. A request that raised is asked again on
  // the next call rather than leaving a made-up parameter behind.
  std::intptr_t Get();
  bool Requested() const { return requested_; }

 private:
  static Source DefaultSource();

  std::string_view className_;
  std::string_view propertyName_;
  int getter_;
  Source source_;
  bool requested_ = false;
  std::intptr_t value_ = 0;
};
