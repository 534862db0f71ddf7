#pragma once

#include "object.h"
#include "streams.h"

#include <functional>
#include <string>
#include <vector>

class TFiler;

// Base of every object that can be copied from another (Assign) and streamed
// (DefineProperties). Assign hands the work to the source's AssignTo, so a
// source that knows how to fill the destination can do it; when neither side
// knows the other, the conversion error names both classes.
class TPersistent : public TObject {
public:
  const char* ClassName() const override { return "TPersistent"; }

  virtual void Assign(TPersistent* Source);

protected:
  virtual void AssignTo(TPersistent* Dest);
  [[noreturn]] void AssignError(const TPersistent* Source) const;

public:
  // Streaming hook: an object declares the extra properties it stores.
  virtual void DefineProperties(TFiler* Filer);

  friend class TFiler;
};

// The least filer of component streaming: it knows the ancestor of the
// object being stored (if any) and records each binary property the object
// defines, with its reader, its writer and whether it should be stored.
class TFiler {
public:
  using TStreamProc = std::function<void(TStream& Stream)>;

  struct TBinaryProperty {
    std::string Name;
    TStreamProc ReadData;
    TStreamProc WriteData;
    bool HasData = false;
  };

  explicit TFiler(TPersistent* Ancestor = nullptr) : ancestor_(Ancestor) {}
  virtual ~TFiler() = default;

  TPersistent* Ancestor() const { return ancestor_; }

  virtual void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData,
                                    TStreamProc WriteData, bool HasData);

  const std::vector<TBinaryProperty>& BinaryProperties() const { return properties_; }
  const TBinaryProperty* FindBinaryProperty(const std::string& Name) const;

private:
  TPersistent* ancestor_;
  std::vector<TBinaryProperty> properties_;
};
