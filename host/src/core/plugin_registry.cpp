#include <deque>
#include <string>

#include "core_internal.h"
#include "host/exception.h"
#include "host/plugin_binding.h"
#include "host/plugin_loader.h"

namespace host {
namespace {

std::vector<REALclassDefinition*>& Records() {
  static std::vector<REALclassDefinition*> records;
  return records;
}

std::int32_t& PluginVersion() {
  static std::int32_t version = 0;
  return version;
}

// Descriptions made for classes the program had not described; they live as long as the
// process, like the records they stand for.
std::deque<ClassDescription>& DescriptionsMadeAtRegistration() {
  static std::deque<ClassDescription> descriptions;
  return descriptions;
}

REALobject Handle(Object& object) {
  return reinterpret_cast<REALobject>(&object);
}

ClassDescription& DescribeRegisteredClass(const std::string& name) {
  ClassDescription& made = DescriptionsMadeAtRegistration().emplace_back();
  made.name = name;
  // The hooks read the record at each call, so a later registration of the same name is
  // the one that runs.
  const ClassDescription* self = &made;
  made.constructor = [self](Object& object) {
    // Only what the constructor itself raised belongs to this creation: a plugin member may
    // create objects while an exception it raised earlier waits for the member to return.
    const bool raisedBefore = HasPendingException();
    if (self->pluginRecord->constructor)
      self->pluginRecord->constructor(Handle(object));
    if (!raisedBefore)
      RaisePendingException();
  };
  made.destructor = [self](Object& object) {
    if (self->pluginRecord->destructor)
      self->pluginRecord->destructor(Handle(object));
  };
  DescribeClass(made);
  return made;
}

const REALproperty* FindProperty(const REALproperty* table, std::uint64_t count,
                                 std::string_view name) {
  for (std::uint64_t i = 0; table && i < count; ++i) {
    if (table[i].name && name == table[i].name)
      return &table[i];
  }
  return nullptr;
}

const REALproperty* FindAnyProperty(const REALclassDefinition& record, std::string_view name) {
  const REALproperty* p = FindProperty(record.properties, record.propertyCount, name);
  return p ? p : FindProperty(record.sharedProperties, record.sharedPropertyCount, name);
}

void* FindMethod(const REALmethodDefinition* table, std::uint64_t count,
                 std::string_view declaration) {
  for (std::uint64_t i = 0; table && i < count; ++i) {
    if (table[i].declaration && declaration == table[i].declaration) {
      return reinterpret_cast<void*>(table[i].function);
    }
  }
  return nullptr;
}

void* FindAccessor(const REALclassDefinition& record, std::string_view member) {
  for (const char* suffix : {".Get", ".Set"}) {
    if (!member.ends_with(suffix))
      continue;
    const std::string_view name = member.substr(0, member.size() - 4);
    const REALproperty* p = FindAnyProperty(record, name);
    if (!p)
      return nullptr;
    return reinterpret_cast<void*>(suffix == std::string_view(".Get") ? p->getter : p->setter);
  }
  return nullptr;
}

}  // namespace

std::int32_t core::RegisterPluginClass(REALclassDefinition* record) {
  if (!record || !record->name || !*record->name)
    return 0;
  record->instanceDataOffset = PluginInstanceDataOffset();
  std::vector<REALclassDefinition*>& records = Records();
  bool replaced = false;
  for (REALclassDefinition*& kept : records) {
    if (std::string_view(kept->name) == record->name) {
      kept = record;
      replaced = true;
    }
  }
  if (!replaced)
    records.push_back(record);
  ClassDescription* description = FindClass(record->name);
  if (!description)
    description = &DescribeRegisteredClass(record->name);
  description->pluginRecord = record;
  return 1;
}

void core::NotePluginVersion(std::int32_t recordVersion) {
  PluginVersion() = recordVersion;
}

std::int32_t RegisteredPluginVersion() {
  return PluginVersion();
}

const std::vector<REALclassDefinition*>& RegisteredPluginClasses() {
  return Records();
}

REALclassDefinition* FindRegisteredPluginClass(std::string_view className) {
  for (REALclassDefinition* record : Records()) {
    if (className == record->name)
      return record;
  }
  return nullptr;
}

void* FindPluginMember(std::string_view bindingKey) {
  const std::size_t dot = bindingKey.find('.');
  if (dot == std::string_view::npos)
    return nullptr;
  const REALclassDefinition* record = FindRegisteredPluginClass(bindingKey.substr(0, dot));
  if (!record)
    return nullptr;
  const std::string_view member = bindingKey.substr(dot + 1);
  if (member == "__init")
    return reinterpret_cast<void*>(record->constructor);
  if (member == "__exit")
    return reinterpret_cast<void*>(record->destructor);
  if (void* method = FindMethod(record->methods, record->methodCount, member))
    return method;
  if (void* method = FindMethod(record->sharedMethods, record->sharedMethodCount, member)) {
    return method;
  }
  return FindAccessor(*record, member);
}

std::intptr_t GetPluginPropertyParam(std::string_view className, std::string_view propertyName,
                                     int getter) {
  const REALclassDefinition* record = FindRegisteredPluginClass(className);
  const REALproperty* property = record ? FindAnyProperty(*record, propertyName) : nullptr;
  if (!property || !(getter ? property->getter : property->setter)) {
    Raise("PluginException", "no plugin registered a " + std::string(getter ? "getter" : "setter") +
                                 " for " + std::string(className) + "." +
                                 std::string(propertyName));
  }
  // The accessor's own record: a parameter that stays valid for the life of the plugin.
  return reinterpret_cast<std::intptr_t>(property);
}

}  // namespace host
