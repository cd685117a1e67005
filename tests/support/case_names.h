// Test names from each case's `what`, for parameterized tests.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

struct readable_case_name {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
    std::string name = param.param.what;
    for (char& ch : name)
      if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
  }
};
