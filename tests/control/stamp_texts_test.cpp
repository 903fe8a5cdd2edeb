#include "control/stamp_texts.h"

#include <gtest/gtest.h>

#include "dlg_fixture.h"

namespace linkwatch::testing {
namespace {

class TextsTest : public DlgTest {};

TEST_F(TextsTest, StampAndElapsed) {
  EXPECT_EQ(StampText(At(2004, 11, 9, 17, 5, 3)), "09-11-2004   17:05:03");
  const struct {
    Seconds e;
    const char* text;
  } cases[] = {
      {0, "00d-00h-00m-00s"},     {86400 + 2 * 3600 + 3 * 60 + 4, "01d-02h-03m-04s"},
      {900, "00d-00h-15m-00s"},   {-5, "00d-00h-00m--5s"},
      {-3725, "00d--1h--2m--5s"}, {100 * 86400 + 59, "100d-00h-00m-59s"},
  };
  for (const auto& c : cases) EXPECT_EQ(ElapsedText(c.e), c.text) << c.e;
}

}  // namespace
}  // namespace linkwatch::testing
