#include "platform/exceptions.h"
#include "platform/persistent.h"

#include <gtest/gtest.h>

namespace {

class TBar : public TPersistent {
public:
  const char* ClassName() const override { return "TBar"; }
  int value = 0;
};

class TFoo : public TPersistent {
public:
  const char* ClassName() const override { return "TFoo"; }
};

// A source that knows how to fill a TBar: Assign must hand over to it.
class TBarSource : public TPersistent {
public:
  const char* ClassName() const override { return "TBarSource"; }

protected:
  void AssignTo(TPersistent* Dest) override {
    if (auto* bar = dynamic_cast<TBar*>(Dest)) {
      bar->value = 42;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

TEST(Persistent, AssignHandsOverToTheSourcesAssignTo) {
  TBar bar;
  TBarSource source;
  bar.Assign(&source);
  EXPECT_EQ(bar.value, 42);
}

TEST(Persistent, UnknownPairRaisesConversionErrorNamingBothClasses) {
  TBar bar;
  TFoo foo;
  TBarSource source;
  struct Case {
    TPersistent* dest;
    TPersistent* source;
    const char* message;
  } cases[] = {
      {&bar, &foo, "Cannot assign a TFoo to a TBar"},
      {&bar, nullptr, "Cannot assign a nil to a TBar"},
      {&foo, &source, "Cannot assign a TBarSource to a TFoo"},
  };
  for (const auto& c : cases) {
    try {
      c.dest->Assign(c.source);
      ADD_FAILURE() << "no error for: " << c.message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(Persistent, FilerRecordsBinaryPropertiesWithAncestor) {
  TFoo ancestor;
  TFiler filer(&ancestor);
  EXPECT_EQ(filer.Ancestor(), &ancestor);

  int written = 0;
  filer.DefineBinaryProperty("Data", nullptr, [&](TStream&) { ++written; }, true);
  filer.DefineBinaryProperty("Other", nullptr, nullptr, false);

  ASSERT_EQ(filer.BinaryProperties().size(), 2u);
  const auto* data = filer.FindBinaryProperty("Data");
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->HasData);
  TMemoryStream stream;
  data->WriteData(stream);
  EXPECT_EQ(written, 1);
  EXPECT_FALSE(filer.FindBinaryProperty("Other")->HasData);
  EXPECT_EQ(filer.FindBinaryProperty("Missing"), nullptr);
}

}  // namespace
