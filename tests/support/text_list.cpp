#include "support/text_list.h"

#include <gtest/gtest.h>

void FillTexts(TypedArray<String>& list, const std::vector<std::string>& texts) {
  list.ClearArray();
  for (const std::string& text : texts) ASSERT_TRUE(AppendTextCopy(list, text.c_str())) << text;
}

std::vector<std::string> TextsOf(const TypedArray<String>& list) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < list.count; ++i) texts.push_back(list[i].TextOrEmpty());
  return texts;
}
