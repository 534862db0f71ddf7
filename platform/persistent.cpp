#include "persistent.h"

#include "exceptions.h"

void TPersistent::Assign(TPersistent* Source) {
  if (Source == nullptr) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  Dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* Source) const {
  const char* sourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError(std::string("Cannot assign a ") + sourceName + " to a " + ClassName());
}

void TPersistent::DefineProperties(TFiler*) {}

void TFiler::DefineBinaryProperty(const std::string& Name, TStreamProc ReadData,
                                  TStreamProc WriteData, bool HasData) {
  properties_.push_back({Name, std::move(ReadData), std::move(WriteData), HasData});
}

const TFiler::TBinaryProperty* TFiler::FindBinaryProperty(const std::string& Name) const {
  for (const auto& property : properties_)
    if (property.Name == Name) return &property;
  return nullptr;
}
