// What the command table's rows say without a window: when a command runs,
// and which text tells its failure.
#include "viewer/shell/command_rules.h"

#include <gtest/gtest.h>

#include "base/susie_abi.h"
#include "viewer/resources/resource.h"

namespace {

TEST(NeedsMet, ACommandRunsOnlyWithThePicturesItNeeds) {
  for (bool foreground : {false, true}) {
    for (bool background : {false, true}) {
      EXPECT_TRUE(NeedsMet(Needs::Nothing, foreground, background));
      EXPECT_EQ(NeedsMet(Needs::Foreground, foreground, background), foreground);
      EXPECT_EQ(NeedsMet(Needs::Background, foreground, background), background);
      EXPECT_EQ(NeedsMet(Needs::AnyPicture, foreground, background), foreground || background);
    }
  }
}

constexpr int32_t Code(SpiResult result) { return static_cast<int32_t>(result); }

// An open that fails says why: the plug-in's read error and a shortage of
// memory have texts of their own; every other code says the picture is
// broken or of the wrong kind for the command.
TEST(FailureMessageId, OpensTellReadErrorsAndMemoryApart) {
  EXPECT_EQ(FailureMessageId(FailureText::OpenForeground, Code(SpiResult::FileReadError)), IDS_IMAGE_UNREADABLE);
  EXPECT_EQ(FailureMessageId(FailureText::OpenBackground, Code(SpiResult::FileReadError)), IDS_IMAGE_UNREADABLE);
  EXPECT_EQ(FailureMessageId(FailureText::OpenForeground, Code(SpiResult::OutOfMemory)), IDS_WRITER_RESULT_FIRST + 4);
  EXPECT_EQ(FailureMessageId(FailureText::OpenBackground, Code(SpiResult::OutOfMemory)), IDS_WRITER_RESULT_FIRST + 4);
  for (SpiResult other : {SpiResult::UnsupportedFormat, SpiResult::BrokenData, SpiResult::MemoryError,
                          SpiResult::Aborted, SpiResult::NotImplemented}) {
    EXPECT_EQ(FailureMessageId(FailureText::OpenForeground, Code(other)), IDS_BROKEN_OR_NO_ALPHA);
    EXPECT_EQ(FailureMessageId(FailureText::OpenBackground, Code(other)), IDS_BROKEN_OR_ALPHA_BACKGROUND);
  }
}

TEST(FailureMessageId, OutputsTellTheWritersResultOrTheirOwnText) {
  EXPECT_EQ(FailureMessageId(FailureText::WriterResult, 9), IDS_WRITER_RESULT_FIRST + 9);
  EXPECT_EQ(FailureMessageId(FailureText::WriterResult, 10), IDS_WRITER_RESULT_FIRST + 10);
  EXPECT_EQ(FailureMessageId(FailureText::WriterResult, 11), IDS_WRITER_RESULT_OTHER);
  EXPECT_EQ(FailureMessageId(FailureText::WriterResult, -1), IDS_WRITER_RESULT_OTHER);
  EXPECT_EQ(FailureMessageId(FailureText::Wallpaper, 9), IDS_WALLPAPER_FAILED);
  EXPECT_EQ(FailureMessageId(FailureText::CannotShow, 129), IDS_IMAGE_UNREADABLE);
  EXPECT_EQ(FailureMessageId(FailureText::None, 9), 0u) << "nothing to say";
}

}  // namespace
