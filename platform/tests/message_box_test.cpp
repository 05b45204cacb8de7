#include "platform/message_box.h"

#include <gtest/gtest.h>

namespace {

// Without a dialog to show, a box is printed and answered as if Enter
// had been pressed: with its default button.
TEST(MessageBoxOnStderr, AnswersWithTheDefaultButton) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox(nullptr, "Do you wish to proceed?", "Warning", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBox(nullptr, "Do you wish to proceed?", "Warning", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBox(nullptr, "Really?", "Warning", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(MessageBox(nullptr, "Saved.", "Information", MB_OK), IDOK);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("Warning: Do you wish to proceed?\n"), std::string::npos);
}

}  // namespace
